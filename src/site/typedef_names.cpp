#include "typedef_names.h"

#include <algorithm>

#include "declaration_words.h"

namespace lexpaint {

using namespace declaration_words;

namespace {

// Whether the word at `i`, after a class key, is a macro with arguments that stands for an
// attribute, as in "struct ALIGN(16) name {": the body follows its arguments, or a name and then
// the body or the bases. "struct M(x) name;" may use a macro that names the type.
bool IsAttributeMacro(const Tokens& s, std::size_t i) {
  if (!IsMacroLike(s[i]) || !NextIs(s, i, '(')) return false;
  const std::size_t after = GroupEnd(s, i + 1) + 1;
  if (after < s.size() && s[after].Is('{')) return true;
  return after + 1 < s.size() && IsName(s[after]) && (s[after + 1].Is('{') || s[after + 1].Is(':'));
}

// The index after a class key's name, base clause and body, from `i`, the token after the key.
std::size_t ElaboratedTypeEnd(const Tokens& s, std::size_t i) {
  while (i < s.size() && ((s[i].Is('[') && NextIs(s, i, '[')) ||
                          (IsAttributeWord(s[i]) && NextIs(s, i, '(')) || IsAttributeMacro(s, i))) {
    i = std::min(GroupEnd(s, s[i].Is('[') ? i : i + 1) + 1, s.size());
  }
  if (i < s.size() && s[i].Is(':') && NextIs(s, i, ':')) i += 2;
  if (i < s.size() && IsName(s[i]) && !s[i].Is("final")) i = QualifiedNameEnd(s, i);
  if (i < s.size() && s[i].Is("final")) ++i;
  if (i < s.size() && s[i].Is(':') && !IsScopeColon(s, i)) {
    while (i < s.size() && !s[i].Is('{')) ++i;
  }
  if (i < s.size() && s[i].Is('{')) i = std::min(GroupEnd(s, i) + 1, s.size());
  return i;
}

// Whether the parentheses that open at `open` start a declarator, "(*f)" or "(CALLBACK *f)", as no
// macro's arguments do.
bool OpensDeclarator(const Tokens& s, std::size_t open) {
  std::size_t k = open + 1;
  while (k < s.size() && IsMacroLike(s[k])) ++k;
  return k < s.size() && (s[k].Is('*') || s[k].Is('&') || s[k].Is('^'));
}

// The index of the first declarator of a typedef whose type starts at `i`: past specifiers,
// attributes and macros with arguments, built-in types ("unsigned long"), a class key and its
// name or body, or one name of a type, qualified or not. A name right before a built-in type
// is a macro ("EXPORT int").
std::size_t TypeEnd(const Tokens& s, std::size_t i) {
  bool type = false;
  while (i < s.size()) {
    const Token t = s[i];
    if (t.Is('[') && NextIs(s, i, '[')) {
      i = GroupEnd(s, i) + 1;
    } else if (t.Is(':') && NextIs(s, i, ':') && !type) {
      i += 2;
    } else if (!IsName(t)) {
      break;
    } else if (t.Is("struct") || t.Is("union") || t.Is("enum") || t.Is("class")) {
      ++i;
      if (t.Is("enum") && i < s.size() && (s[i].Is("class") || s[i].Is("struct"))) ++i;
      i = ElaboratedTypeEnd(s, i);
      type = true;
    } else if (t.Is("typename") || IsOneOf(t, kSpecifier)) {
      ++i;
    } else if (IsBuiltInType(t)) {
      ++i;
      type = true;
    } else if (NextIs(s, i, '(')) {
      const std::size_t after = GroupEnd(s, i + 1) + 1;
      if (IsTypeOperator(t)) {
        i = after;
        type = true;
      } else if (!type && OpensDeclarator(s, i + 1)) {
        ++i;  // the type, then a declarator in parentheses: "voidpf (*alloc) OF((uInt size))"
        type = true;
      } else if (IsAttributeWord(t) || (after < s.size() && IsName(s[after]))) {
        i = after;  // a macro with arguments before the type
      } else if (type) {
        break;  // the declarator's name and parameters
      } else if (after < s.size() && s[after].Is('(')) {
        ++i;  // the type, then a declarator in parentheses: "GLuint (APIENTRYP f)(...)"
        type = true;
      } else {
        i = after;  // a macro that stands for a type: "STACK_OF(X509) *"
        type = true;
      }
    } else if (type) {
      break;
    } else {
      // The last name is the declarator's, whatever came before it stood for the type.
      const std::size_t end = QualifiedNameEnd(s, i);
      if (end == s.size() || s[end].Is(',') || s[end].Is('[')) break;
      i = end;
      type = true;
    }
  }
  return i;
}

// Whether the word at `i`, before '(', is an attribute or a macro with arguments rather than a
// declarator's name and its parameters: "__attribute__((x))", "ALLOC_SIZE(1) *f", and, after the
// name (`afterName`), "DEPRECATED_FOR(f)" but not "HANDLER(STATE *state)" after "PTRCALL".
bool IsAnnotationCall(const Tokens& s, std::size_t i, std::size_t end, bool afterName) {
  if (IsAttributeWord(s[i])) return true;
  if (afterName && HoldsParameters(s, i + 1)) return false;
  const std::size_t after = GroupEnd(s, i + 1) + 1;
  if (after < end && (IsName(s[after]) || s[after].Is('*'))) return true;
  return afterName && IsMacroLike(s[i]);
}

// The name of the declarator that starts at `i`, up to the next ',' before `end` (or `end`), and
// in `*next` the index of that ','. Words in a row are macros and qualifiers but the last
// ("APIENTRYP PFNPROC", "__bitwise le16"); in a typedef's own declarators (`depth` 0), a last
// word with no lower-case letter right after another is an annotation ("result_type DEPRECATED").
// Parentheses nest a declarator up to kMaxDeclaratorDepth deep, so that the stack stays small.
constexpr int kMaxDeclaratorDepth = 8;
std::optional<std::size_t> DeclaratorNameIn(const Tokens& s, std::size_t i, std::size_t end,
                                            int depth, std::size_t* next) {
  const bool top = depth == 0;
  std::optional<std::size_t> name;
  std::optional<std::size_t> before;  // the word right before the name, if any
  bool done = false;                  // the name's suffixes have started: no later word is it
  for (; i < end && !s[i].Is(','); ++i) {
    const Token t = s[i];
    const char c = t.Punctuation();
    if (c == '(') {
      const std::size_t close = std::min(GroupEnd(s, i), end);
      const bool grouped =
          !done &&
          (!name || (i + 1 < close && (s[i + 1].Is('*') || s[i + 1].Is('^') || s[i + 1].Is('&'))));
      if (grouped && depth < kMaxDeclaratorDepth) {
        std::size_t unused = 0;
        if (std::optional<std::size_t> inner =
                DeclaratorNameIn(s, i + 1, close, depth + 1, &unused)) {
          name = inner;
          before.reset();
        }
      }
      done = name.has_value();
      i = close;
    } else if (c == '[' || c == '{' || (c == '<' && i > 0 && IsName(s[i - 1]))) {
      i = std::min(GroupEnd(s, i), end);
      done |= c != '<' && name.has_value();
    } else if (c == ':' && NextIs(s, i, ':')) {
      name.reset();  // a class of a pointer to member: "A::*"
      before.reset();
      ++i;
    } else if (IsName(t) && NextIs(s, i, '(') &&
               IsAnnotationCall(s, i, end, top && name && !done)) {
      i = std::min(GroupEnd(s, i + 1), end);
    } else if (IsName(t) && !IsOneOf(t, kSpecifier) && !done) {
      before = i > 0 && name && *name == i - 1 ? name : std::nullopt;
      name = i;
    } else if (!IsName(t)) {
      before.reset();
    }
  }
  *next = i;
  // A reserved word before it, such as __bitwise, is a macro rather than the name.
  if (top && before && name && IsMacroLike(s[*name]) && !IsMacroLike(s[*before]) &&
      s[*before].text.rfind("__", 0) != 0) {
    return before;
  }
  return name;
}

}  // namespace

// The names a typedef declares: the type comes first, then each declarator, whose name is the
// last word before its suffixes ("[4]", "(int)"), or the one inside the parentheses of a pointer
// to function.
std::vector<Alias> TypedefNames(const Tokens& s, std::size_t first) {
  std::vector<Alias> names;
  const std::size_t typeEnd = TypeEnd(s, first);
  for (std::size_t i = typeEnd; i < s.size(); ++i) {
    const std::size_t start = i;
    const std::optional<std::size_t> name = DeclaratorNameIn(s, i, s.size(), 0, &i);
    if (!name) continue;
    // Only a declarator that is its name alone stands for the type itself.
    const bool plain = *name == start && i == start + 1;
    names.push_back({FoundAt(s, *name), plain ? AliasedType(s, first, typeEnd) : std::string()});
  }
  return names;
}

std::string AliasedType(const Tokens& s, std::size_t from, std::size_t to) {
  int angles = 0;
  std::optional<std::size_t> last;
  std::optional<std::size_t> qualifier;  // of `last`
  bool scoped = false;                   // "::" since the last word
  for (std::size_t i = from; i < to; ++i) {
    const Token t = s[i];
    const char c = t.Punctuation();
    if (c == '[' && NextIs(s, i, '[')) {
      i = GroupEnd(s, i);
      continue;
    }
    if (c == '<') ++angles;
    if (c == '>' && angles > 0) --angles;
    if (angles > 0) continue;
    if (c == '*' || c == '&' || c == '(' || c == '[' || c == '{') return std::string();
    if (c == ':') scoped = true;
    if (!IsName(t)) continue;
    if (IsBuiltInType(t) && !t.Is("struct") && !t.Is("class") && !t.Is("union") && !t.Is("enum") &&
        !t.Is("typename")) {
      return std::string();  // int, auto...
    }
    if (!IsOneOf(t, kBuiltInType) && !IsOneOf(t, kSpecifier) && !t.Is("template")) {
      qualifier = scoped ? last : std::nullopt;
      last = i;
      scoped = false;
    }
  }
  if (!last) return std::string();
  std::string type;
  if (qualifier) type.append(s[*qualifier].text).append("::");
  type.append(s[*last].text);
  return type;
}

}  // namespace lexpaint
