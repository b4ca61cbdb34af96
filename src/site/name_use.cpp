#include "name_use.h"

#include <algorithm>

#include "code_lexer.h"
#include "definition_index.h"

namespace lexpaint {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The last character before `p` that is no blank, or '\n' at the line's start.
const char* SkipBlanksBack(const char* p) {
  while (IsBlank(p[-1])) --p;
  return p - 1;
}

// The word that ends at `end`, exclusive.
std::string_view WordBefore(const char* end) {
  const char* start = end;
  while (IsWordByte(start[-1])) --start;
  return std::string_view(start, static_cast<std::size_t>(end - start));
}

// The qualifier that ends right before the "::" whose first ':' is at `colon`: the word before
// it, past template arguments ("A<T>::"), or "" if there is none.
std::string_view QualifierBefore(const char* colon) {
  const char* p = SkipBlanksBack(colon);
  if (*p == '>') {
    int depth = 0;
    for (; *p != '\n'; --p) {
      if (*p == '>') ++depth;
      if (*p == '<' && --depth == 0) break;
    }
    if (*p == '\n') return {};
    p = SkipBlanksBack(p);
  }
  return WordBefore(p + 1);
}

// Whether what follows `word` on its line lets it name a function: a call's '(', template
// arguments that a call follows, a qualifier's "::", or nothing, as the rest may be on the next
// line. A '<' that a statement's end or a ')' follows before any '>', that no '>' follows on a
// line which does not end in ',' or '<', or whose '>' no call follows, is a comparison.
bool MayBeCalled(std::string_view word) {
  const char* p = word.data() + word.size();
  while (IsBlank(*p)) ++p;
  if (*p == '<') {
    int depth = 0;
    int parentheses = 0;
    for (; *p != '\n'; ++p) {
      if (*p == '(') ++parentheses;
      // The end of a statement, or of the parentheses the name stands in: a comparison's '<'.
      if (*p == ';' || *p == '{' || (*p == ')' && --parentheses < 0)) return false;
      if (*p == '<') ++depth;
      if (*p == '>' && p[-1] != '-' && --depth == 0) break;
    }
    if (*p == '\n') {  // the arguments may go on, after a ',' or '<'
      p = SkipBlanksBack(p);
      if (*p == '\r') p = SkipBlanksBack(p);
      return *p == ',' || *p == '<' || *p == '\\';
    }
    ++p;
    while (IsBlank(*p)) ++p;
  }
  return *p == '(' || *p == ':' || *p == '\n' || *p == '\r' || *p == '\\' ||
         (*p == '/' && (p[1] == '/' || p[1] == '*'));
}

// Whether the "->" whose '-' is at `dash` may start a trailing return type, as it does at a line's
// start and after the parameters of a function, a lambda or a deduction guide, with their
// qualifiers: "auto f() const -> T". After a call's parentheses, as in "p.f()->x" or
// "return g(x)->x", it reaches a member of the call's result.
bool MayReturnType(const char* dash) {
  const char* p = SkipBlanksBack(dash);
  for (;;) {
    const std::string_view word = WordBefore(p + 1);
    if (*p == '&') {
      p = SkipBlanksBack(p);
    } else if (word == "const" || word == "volatile" || word == "noexcept" || word == "mutable" ||
               word == "override" || word == "final") {
      p = SkipBlanksBack(word.data());
    } else {
      break;
    }
  }
  if (*p == '\n') return true;
  if (*p != ')') return false;
  for (int depth = 0; *p != '\n'; --p) {
    if (*p == ')') ++depth;
    if (*p == '(' && --depth == 0) break;
  }
  if (*p == '\n') return true;  // parameters from an earlier line
  p = SkipBlanksBack(p);
  if (*p == ']') return true;  // a lambda's captures
  const std::string_view name = WordBefore(p + 1);
  if (name.empty()) return false;  // a cast's '>' or an operator's result
  const char* before = SkipBlanksBack(name.data());
  if (*before == '.' || (*before == '>' && before[-1] == '-')) return false;
  const std::string_view keyword = WordBefore(before + 1);
  return keyword != "return" && keyword != "throw" && keyword != "case" && keyword != "else" &&
         keyword != "co_return" && keyword != "co_yield";
}

}  // namespace

NameUse NameUses::At(std::string_view word, std::uint64_t line) {
  const char* before = SkipBlanksBack(word.data());
  // "x.template f<T>()" reaches a member as "x.f" does.
  if (const std::string_view keyword = WordBefore(before + 1); keyword == "template") {
    const char* access = SkipBlanksBack(keyword.data());
    if (*access == '.' || (*access == '>' && access[-1] == '-')) before = access;
  }
  const bool dot = *before == '.' && before[-1] != '.';
  const bool arrow = *before == '>' && before[-1] == '-';
  if ((dot || arrow) && !MayBeCalled(word)) {
    return {arrow && MayReturnType(before - 1) ? NameUse::kType : NameUse::kData, {}};
  }
  if (dot) return {NameUse::kMember, ObjectType(before, line, false)};
  if (arrow) return {NameUse::kMember, ObjectType(before - 1, line, true)};
  if (*before == ':' && before[-1] == ':')
    return {NameUse::kQualified, QualifierBefore(before - 1)};
  MoveTo(line);
  // The innermost declaration, the one declared last, if several of the name cover the line.
  for (auto local = locals_.rbegin(); local != locals_.rend(); ++local) {
    if ((*local)->last() < line || !scopes_.Names(**local, word)) continue;
    if (!(*local)->function) return {NameUse::kLocal, {}, (*local)->first};
    const std::string_view owner = ClassEndingOn((*local)->last());
    if (!owner.empty() && owner != word) return {NameUse::kClassMember, owner};
    break;  // a constructor's declaration: the name means the class
  }
  if (classes_.empty()) return {};
  return {NameUse::kPlain, scopes_.NameOf(*classes_.back())};
}

// The innermost class around the line moved to whose body ends on `line`: the one whose body
// declares a member that lasts to that line.
std::string_view NameUses::ClassEndingOn(std::uint64_t line) const {
  for (auto c = classes_.rbegin(); c != classes_.rend(); ++c) {
    if ((*c)->last() == line) return scopes_.NameOf(**c);
  }
  return {};
}

// The type of the object whose member `access`, the '.' or the '-' of "->", reaches: that of a
// local name or parameter declared as one word's type, the class whose body "this" stands in, or
// in a class's stretch, that of its data member; after its qualifier if it has one ("Q::T").
// Through `arrow` only a pointer's type is known: a class's own operator-> leads elsewhere.
std::string_view NameUses::ObjectType(const char* access, std::uint64_t line, bool arrow) {
  const std::string_view object = WordBefore(SkipBlanksBack(access) + 1);
  if (object.empty()) return {};
  MoveTo(line);
  if (object == "this") {
    return arrow && !classes_.empty() ? scopes_.NameOf(*classes_.back()) : std::string_view();
  }
  const PageScopes::Stretch* declaration = nullptr;
  std::string_view type;
  for (auto local = locals_.rbegin(); local != locals_.rend() && !declaration; ++local) {
    if ((*local)->last() < line || !scopes_.Names(**local, object)) continue;
    declaration = *local;
    type = scopes_.TypeOf(**local);
  }
  if (!declaration) type = MemberType(object);
  const bool pointer = !type.empty() && type.back() == '*';
  if (pointer != arrow) return {};
  if (pointer) type.remove_suffix(1);
  return IsDeclaredAround(SplitType(type).name, line, declaration) ? std::string_view() : type;
}

// The type of the data member `object` of the class whose stretch the line moved to is in, where
// nothing before it ("p->object", "A::object") makes it another's.
std::string_view NameUses::MemberType(std::string_view object) const {
  if (index_ == nullptr || classes_.empty()) return {};
  const char* before = SkipBlanksBack(object.data());
  if (*before == '.' || *before == ':') return {};
  if (*before == '>' && before[-1] == '-' && WordBefore(SkipBlanksBack(before - 1) + 1) != "this") {
    return {};
  }
  return index_->DataMemberType(scopes_.NameOf(*classes_.back()), object);
}

// Whether the type `name` of `object`, a local's declaration or a data member's (null), is itself
// declared around the line moved to, and is no class that the page defines there: a template
// parameter or a block's alias, which may stand for any class.
bool NameUses::IsDeclaredAround(std::string_view name, std::uint64_t line,
                                const PageScopes::Stretch* object) const {
  if (name.empty()) return false;
  const auto declares = [&](const PageScopes::Stretch* local) {
    return local != object && local->last() >= line && !local->function &&
           scopes_.Names(*local, name);
  };
  if (std::none_of(locals_.begin(), locals_.end(), declares)) return false;
  return std::none_of(scopes_.classes.begin(), scopes_.classes.end(),
                      [&](const PageScopes::Stretch& c) { return scopes_.Names(c, name); });
}

void NameUses::MoveTo(std::uint64_t line) {
  if (line == line_) return;  // most lines hold several names
  line_ = line;
  const auto ended = [line](const PageScopes::Stretch* s) { return s->last() < line; };
  locals_.erase(std::remove_if(locals_.begin(), locals_.end(), ended), locals_.end());
  for (; nextLocal_ < scopes_.locals.size() && scopes_.locals[nextLocal_].first <= line;
       ++nextLocal_) {
    if (!ended(&scopes_.locals[nextLocal_])) locals_.push_back(&scopes_.locals[nextLocal_]);
  }
  // Class stretches nest or follow each other, so those that ended are the innermost.
  for (; nextClass_ < scopes_.classes.size() && scopes_.classes[nextClass_].first <= line;
       ++nextClass_) {
    while (!classes_.empty() && ended(classes_.back())) classes_.pop_back();
    classes_.push_back(&scopes_.classes[nextClass_]);
  }
  while (!classes_.empty() && ended(classes_.back())) classes_.pop_back();
}

}  // namespace lexpaint
