// How LocalScopes reads the kept tokens of an item: whether they declare a name, which one, and
// the name of its type.
#include <optional>
#include <string>

#include "local_scopes.h"
#include "local_words.h"

namespace lexpaint {

using namespace local_words;

// A label means itself in its block, from where it is named: after "goto" or before its ':'.
void LocalScopes::DeclareLabel(const Token& token) {
  const std::size_t at = tokens_.size();
  Keep(token);
  Declare(at);
  tokens_.Truncate(at);
}

// Decides whether the kept head of a class's member declaration, or a declarator after a comma,
// declares a data member, which means itself in the class's body, as a local name does in a
// function. A class key declares one only at the end of a declaration with no body, as in
// "struct S s, *p;": never in a class's head, nor in "struct S;".
void LocalScopes::DecideMember(Group& group, bool atEnd) {
  if (!group.classBody) return;
  bool declared = false;
  if (group.state == ItemState::kDeclarator) {
    declared = DeclareDeclarator(group.itemStart, tokens_.size());
  } else if (group.state == ItemState::kHead) {
    const std::size_t end = tokens_.size();
    const bool keyed = group.typeKey || group.enumKey;
    const bool elaborated = keyed && atEnd && !group.namespaceKey && !group.initColon &&
                            end - group.itemStart >= 3 &&
                            (ClassesOf(tokens_[end - 2]) & (kTypeKey | kEnumKey)) == 0;
    if ((!keyed || elaborated) && !group.parens &&
        IsDeclaration(group.itemStart, end, false, false)) {
      Declare(DeclaredName(group.itemStart, end), group.itemStart);
      declared = true;
    }
  } else {
    return;
  }
  group.state = declared ? ItemState::kDeclared : ItemState::kOther;
  tokens_.Truncate(group.itemStart);
}

// The kept head of a class's member declaration that a '(' follows declares a member function,
// if it has the shape "type name", as a constructor's "explicit C" has too; never a friend, which
// is no member. The name lasts to the end of the class's body, before any template parameters that
// wait for the declaration's end.
void LocalScopes::DeclareMemberFunction(Group& group) {
  const std::size_t end = tokens_.size();
  if (group.state != ItemState::kHead || !IsDeclaration(group.itemStart, end, false, false)) return;
  const std::size_t at = DeclaredName(group.itemStart, end);
  if ((ClassesOf(tokens_[at - 1]) & kOperator) != 0) return;  // "operator bool", a conversion
  for (std::size_t i = group.itemStart; i < at; ++i) {
    if ((ClassesOf(tokens_[i]) & kStatementStart) != 0) return;  // a friend after its template
  }
  const Token name = tokens_[at];
  open_.insert(open_.begin() + static_cast<std::ptrdiff_t>(group.pending), names_.size());
  ++group.pending;
  names_.push_back({std::string(name.text), name.line, name.line, std::string(), true});
}

// The alias of "using X = ...;", or the last word of "typedef ... X;" where it is a name: a
// pointer to function's name stands in parentheses, whose tokens are not kept.
void LocalScopes::DeclareAlias(const Group& group) {
  const std::size_t first = group.itemStart;
  const std::size_t end = tokens_.size();
  if (end < first + 2) return;
  if (tokens_[first].Is("using")) {
    if (end >= first + 3 && IsNameWord(tokens_[first + 1]) && tokens_[first + 2].Is('=')) {
      Declare(first + 1);
    }
  } else if (IsNameWord(tokens_[end - 1])) {
    Declare(end - 1);
  }
}

// Decides whether the kept head of a statement, or a declarator after a comma, declares a name.
void LocalScopes::Decide(Group& group) {
  const std::size_t end = tokens_.size();
  if (group.state == ItemState::kDeclarator) {
    DeclareDeclarator(group.itemStart, end);
    group.state = ItemState::kDeclared;
  } else if (IsDeclaration(group.itemStart, end, false, false)) {
    Declare(DeclaredName(group.itemStart, end), group.itemStart);
    group.state = ItemState::kDeclared;
  } else {
    group.state = ItemState::kOther;
  }
  tokens_.Truncate(group.itemStart);
}

// Declares the name of the declarator [from, to) after a comma, such as "*p" or "const q", if it
// is one; true if it is.
bool LocalScopes::DeclareDeclarator(std::size_t from, std::size_t to) {
  while (from < to && (tokens_[from].Is('*') || tokens_[from].Is('&') ||
                       (ClassesOf(tokens_[from]) & kNoName) != 0)) {
    ++from;
  }
  if (from + 1 != to || !IsNameWord(tokens_[from])) return false;
  Declare(from);
  return true;
}

// Whether the tokens [from, to) are a type followed by a name. A parameter's type may not end
// with an elaborated-type keyword or a cv-qualifier, which the name of a type would follow, but
// in a template's head "class T" declares T.
bool LocalScopes::IsDeclaration(std::size_t from, std::size_t to, bool parameter,
                                bool templateHead) const {
  while (from < to && (tokens_[from].Is(']') || tokens_[from].Is(')'))) ++from;  // attributes
  while (to > from && tokens_[to - 1].Is(']')) --to;                             // array bounds
  if (to - from < 2 || !IsNameWord(tokens_[to - 1])) return false;
  const Token first = tokens_[from];
  if (IsWord(first) ? (ClassesOf(first) & kStatementStart) != 0 : !parameter) return false;
  int angles = 0;
  for (std::size_t i = from; i + 1 < to; ++i) {
    const Token t = tokens_[i];
    const char c = t.Punctuation();
    if (c == '<') ++angles;
    if (c == '>' && angles > 0 && !tokens_[i - 1].Is('-')) --angles;
    if (angles > 0 && c != '>') continue;  // template arguments may hold any expression
    if (t.kind == TokenType::kPunctuation && !MayStandInDeclaration(c)) return false;
    if (c == '>' && i > from && tokens_[i - 1].Is('-')) return false;  // p->x
    if (c == '.' && !(i + 2 < to && tokens_[i + 1].Is('.') && tokens_[i + 2].Is('.'))) {
      if (!(i >= from + 2 && tokens_[i - 1].Is('.') && tokens_[i - 2].Is('.')) &&
          !(i > from && tokens_[i - 1].Is('.') && i + 1 < to && tokens_[i + 1].Is('.'))) {
        return false;  // a member: a.b
      }
    }
  }
  const Token before = tokens_[to - 2];
  const char b = before.Punctuation();
  if (IsWord(before)) {
    const unsigned classes = ClassesOf(before);
    if ((classes & kStatementStart) != 0) return false;
    return !(parameter && !templateHead && (classes & kNoName) != 0);
  }
  return b == '>' || b == '*' || b == '&' || b == '.';
}

// The name of a declaration that IsDeclaration accepted in [from, to): the last token before the
// ']' of any array bounds.
std::size_t LocalScopes::DeclaredName(std::size_t from, std::size_t to) const {
  std::size_t name = to - 1;
  while (name > from && tokens_[name].Is(']')) --name;
  return name;
}

void LocalScopes::ReadParameter(std::size_t from, std::size_t to, bool templateHead) {
  int angles = 0;
  for (std::size_t i = from; i < to; ++i) {
    const char c = tokens_[i].Punctuation();
    if (c == '<') ++angles;
    if (c == '>' && angles > 0) --angles;
    if (c == '=' && angles == 0) {
      to = i;  // a default argument
      break;
    }
  }
  if (IsDeclaration(from, to, true, templateHead)) {
    Declare(DeclaredName(from, to), templateHead ? kNoType : from);
  }
}

bool LocalScopes::IsStructuredBinding(const Group& group) const {
  if (group.state != ItemState::kHead) return false;
  for (std::size_t i = group.itemStart; i < tokens_.size(); ++i) {
    if ((ClassesOf(tokens_[i]) & kAuto) != 0) return true;
  }
  return false;
}

void LocalScopes::Declare(std::size_t token, std::size_t typeFrom) {
  const Token t = tokens_[token];
  Group& group = groups_.back();
  const bool owned = open_.size() == group.pending;
  open_.push_back(names_.size());
  names_.push_back({std::string(t.text), t.line, t.line,
                    typeFrom == kNoType ? std::string() : TypeName(typeFrom, token)});
  if (owned) group.pending = open_.size();
}

// The last word outside template arguments that is no keyword, if no keyword such as "auto" or
// "int" is the type's last word; followed by '*' for a pointer to it.
std::string LocalScopes::TypeName(std::size_t from, std::size_t to) const {
  int angles = 0;
  std::optional<std::size_t> last;
  std::optional<std::size_t> qualifier;  // of `last`
  bool scoped = false;                   // "::" since the last word
  bool pointer = false;
  for (std::size_t i = from; i < to; ++i) {
    const Token t = tokens_[i];
    if (t.Is('<')) ++angles;
    if (t.Is('>') && angles > 0) --angles;
    if (angles == 0 && t.Is('*')) pointer = true;
    if (angles == 0 && t.Is(':')) scoped = true;
    if (angles > 0 || !IsWord(t)) continue;
    const unsigned classes = ClassesOf(t);
    if ((classes & kKeyword) == 0) {
      qualifier = scoped ? last : std::nullopt;
      last = i;
    } else if ((classes & kQualifier) == 0) {
      last.reset();  // int, auto, struct...
      qualifier.reset();
    }
    scoped = false;
  }
  if (!last) return std::string();
  std::string type;
  if (qualifier) type.append(tokens_[*qualifier].text).append("::");
  type.append(tokens_[*last].text);
  if (pointer) type += '*';
  return type;
}

}  // namespace lexpaint
