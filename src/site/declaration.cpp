#include "declaration.h"

#include <algorithm>

namespace lexpaint {

using namespace declaration_words;

namespace {

// The end of the requires-clause of a template's head that starts at `i`: the class key that
// follows it, outside parentheses and angle brackets, or the end of `s`. A function's clause is
// left alone, as no class key follows it.
std::size_t RequiresClauseEnd(const Tokens& s, std::size_t i) {
  for (std::size_t k = i + 1; k < s.size(); ++k) {
    if (s[k].Is('(') || s[k].Is('<')) k = GroupEnd(s, k);
    if (k < s.size() && (s[k].Is("class") || s[k].Is("struct") || s[k].Is("union"))) return k;
  }
  return i;
}

// The index of the '(' that the ')' at `close` closes, or `close` itself if none does.
std::size_t GroupStart(const Tokens& s, std::size_t close) {
  int depth = 0;
  for (std::size_t k = close + 1; k-- > 0;) {
    if (s[k].Is(')')) ++depth;
    if (s[k].Is('(') && --depth == 0) return k;
  }
  return close;
}

// The operator function whose parameters open at `open`, such as "operator+" or
// "operator bool", if the tokens before `open` name one; `*index` is then that of "operator".
std::optional<Found> OperatorName(const Tokens& s, std::size_t open, std::size_t* index) {
  constexpr std::size_t kLongestName = 16;  // "operator const std::vector<int>&", for one
  for (std::size_t k = open; k-- > 0 && open - k <= kLongestName;) {
    const Token t = s[k];
    const char c = t.Punctuation();
    if (c == ')') {  // a function type in the name: "operator Action<R(Args...)>"
      k = GroupStart(s, k);
      continue;
    }
    if (c == '(' && !(k > 0 && s[k - 1].Is("operator"))) return std::nullopt;
    if (c == ';' || c == '{' || c == '}') return std::nullopt;
    if (!t.Is("operator")) continue;
    std::string name = "operator";
    for (std::size_t t = k + 1; t < open; ++t) {
      if (s[t].Is('[') && t + 1 < open && s[t + 1].Is('[')) break;  // an attribute of the name
      if (IsName(s[t]) && IsName(s[t - 1])) name += ' ';
      name += s[t].text;
    }
    *index = k;
    return Found{name, s[k].line};
  }
  return std::nullopt;
}

// Whether the name at `name`, whose arguments open at `open`, is a macro's call after macros that
// no ';' ended, as "DIAG_POP TEST_F(Suite, Name) {" is: a name in capitals after nothing but words
// in capitals and their arguments, and arguments that declare no parameters.
bool IsMacroCallAfterMacros(const Tokens& s, std::size_t name, std::size_t open) {
  return IsMacroLike(s[name]) && !NextIs(s, open, ')') && !HoldsParameters(s, open) &&
         OnlyMacrosBefore(s, name);
}

// True if the tokens [from, to) may stand between a function's parameters and its body.
bool IsFunctionTail(const Tokens& s, std::size_t from, std::size_t to, bool* initList) {
  for (std::size_t i = from; i < to; ++i) {
    const Token t = s[i];
    const char c = t.Punctuation();
    if (c == '-' && i + 1 < to && s[i + 1].Is('>')) return true;  // a trailing return type
    if (t.Is("requires")) return true;
    if (c == ':' && !IsScopeColon(s, i)) {
      *initList = true;
      return true;
    }
    if (c == '&' || c == '*') continue;
    if (c == '[' && i + 1 < to && s[i + 1].Is('[')) {
      i = GroupEnd(s, i);
      continue;
    }
    if (IsOneOf(t, kFunctionTail) || IsMacroLike(t)) {
      if (i + 1 < to && s[i + 1].Is('(')) i = GroupEnd(s, i + 1);
      continue;
    }
    return false;
  }
  return true;
}

// Whether the tokens before a function's name hold a return type, or the name needs none. A
// word such as _GLIBCXX_NODISCARD may be a macro, but counts as a type: T, a template's
// parameter, looks the same.
bool HasDeclarationBefore(const Tokens& s, std::size_t name, std::string_view className) {
  bool type = false;
  for (std::size_t i = 0; i < name; ++i) {
    const Token t = s[i];
    const char c = t.Punctuation();
    if (c == '=' || t.Is("return")) return false;
    if (t.Is("template") && i + 1 < name && s[i + 1].Is('<')) {
      i = GroupEnd(s, i + 1);
    } else if (c == '[' && i + 1 < name && s[i + 1].Is('[')) {
      i = GroupEnd(s, i);
    } else if (c == '(') {
      i = GroupEnd(s, i);  // an attribute's or a macro's arguments
    } else if ((IsName(t) && !IsOneOf(t, kSpecifier)) || c == '*' || c == '&' || c == '>') {
      type = true;
    }
  }
  if (type) return true;
  const std::string_view word = s[name].text;
  return word == className || word.rfind("operator", 0) == 0 || word[0] == '~' ||
         (name >= 2 && s[name - 1].Is(':'));
}

// The name that qualifies the name at `name`, as B in "A::B<T>::name", if any.
std::optional<std::string> QualifierBefore(const Tokens& s, std::size_t name) {
  if (name < 3 || !s[name - 1].Is(':') || !s[name - 2].Is(':')) return std::nullopt;
  std::size_t i = name - 3;
  if (s[i].Is('>')) {  // template arguments
    int depth = 0;
    for (;; --i) {
      if (s[i].Is('>')) ++depth;
      if (s[i].Is('<') && --depth == 0) break;
      if (i == 0) return std::nullopt;
    }
    if (i == 0) return std::nullopt;
    --i;
  }
  if (!IsName(s[i])) return std::nullopt;
  return std::string(s[i].text);
}

}  // namespace

bool MayStartBodyDefinition(const Token& token) {
  return IsOneOf(token, kBodyDefinitionStart) || token.Is('[');
}

// Skips what may stand before a declaration: template heads, attributes, specifiers, and macros
// with or without arguments. Returns the index of the first token after them.
std::size_t SkipDecorations(const Tokens& s, std::size_t i) {
  while (i < s.size()) {
    const Token t = s[i];
    if (t.Is('[') && NextIs(s, i, '[')) {
      i = GroupEnd(s, i) + 1;
      continue;
    }
    if (!IsName(t)) break;
    if (t.Is("template") && NextIs(s, i, '<')) {
      i = GroupEnd(s, i + 1) + 1;
      continue;
    }
    if (t.Is("requires")) {
      const std::size_t end = RequiresClauseEnd(s, i);
      if (end != i) {
        i = end;
        continue;
      }
    }
    const bool macroLike = IsMacroLike(t);
    if ((t.Is("__attribute__") || t.Is("__declspec") || t.Is("alignas") || macroLike) &&
        NextIs(s, i, '(')) {
      i = GroupEnd(s, i + 1) + 1;
    } else if (macroLike || IsOneOf(t, kSpecifier)) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

// The name that the parentheses closing at `close` hold, as in "int (isalpha)(int c)" or
// "png_uint_32 (PNGAPI png_get_uint_32)(...)", where they keep a function-like macro of the
// name from replacing it. Only macro-like words may come before it in them, and the return type
// before them: "MACRO(name)(...)" is a macro's call.
std::optional<std::size_t> ParenthesizedName(const Tokens& s, std::size_t close) {
  const std::size_t name = close - 1;
  if (close < 3 || !IsName(s[name]) || IsOneOf(s[name], kNotFunctionName)) return std::nullopt;
  std::size_t open = name - 1;
  while (open > 0 && IsMacroLike(s[open])) --open;
  if (open == 0 || !s[open].Is('(')) return std::nullopt;
  const Token before = s[open - 1];
  if (before.Is('*') || before.Is('&') || (IsName(before) && !IsMacroLike(before))) return name;
  return std::nullopt;
}

// The name of a function that returns a pointer to a function or to an array, declared in the
// parentheses from `open` to `close`: "hash" of "int (*hash(int key))(const void *)". Its own
// parameters close right before those parentheses do.
std::optional<std::size_t> NameReturningPointer(const Tokens& s, std::size_t open,
                                                std::size_t close) {
  if (close + 1 >= s.size() || !(s[close + 1].Is('(') || s[close + 1].Is('['))) return std::nullopt;
  std::size_t k = open + 1;
  while (k < close && (s[k].Is('*') || s[k].Is('&') || s[k].Is("const"))) ++k;
  if (k == open + 1 || k == close || !IsName(s[k])) return std::nullopt;
  const std::size_t params = QualifiedNameEnd(s, k);
  if (params >= close || !s[params].Is('(') || GroupEnd(s, params) + 1 != close ||
      !IsName(s[params - 1])) {
    return std::nullopt;
  }
  return params - 1;
}

bool IsLabel(const Tokens& s) {
  if (s.size() == 1) return IsName(s[0]) && !IsBuiltInType(s[0]) && !IsOneOf(s[0], kSpecifier);
  return s.size() == 2 && IsOneOf(s[0], kAccessOrVirtual) && !s[0].Is("virtual") && IsName(s[1]);
}

bool InTemplateHead(const Tokens& s) {
  for (std::size_t k = 0; k + 1 < s.size(); ++k) {
    if (!s[k].Is("template") || !s[k + 1].Is('<')) continue;
    k = GroupEnd(s, k + 1);
    if (k == s.size()) return true;
  }
  return false;
}

// The function that `s`, a declaration ending before a '{', defines, if it is one.
std::optional<FunctionHead> FindFunction(const Tokens& s, std::string_view className) {
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (!s[i].Is('(')) continue;
    const std::size_t close = GroupEnd(s, i);
    if (close == s.size()) return std::nullopt;
    std::size_t nameIndex = i - 1;
    std::optional<Found> name = OperatorName(s, i, &nameIndex);
    std::size_t word = 0;                // the name's own token, when it is no operator's
    std::size_t declarator = nameIndex;  // the return type stands before it
    std::size_t params = close;          // the tail follows these parentheses
    bool destructor = false;
    if (!name) {
      if (const std::optional<std::size_t> inner = NameReturningPointer(s, i, close)) {
        declarator = i;
        nameIndex = word = *inner;
        params = GroupEnd(s, close + 1);
        if (params == s.size()) return std::nullopt;
      } else {
        if (s[nameIndex].Is(')')) nameIndex = ParenthesizedName(s, nameIndex).value_or(nameIndex);
        if (s[nameIndex].Is('>')) {  // a template's arguments: f<T>(...)
          std::size_t depth = 0;
          for (; nameIndex > 0; --nameIndex) {
            if (s[nameIndex].Is('>')) ++depth;
            if (s[nameIndex].Is('<') && --depth == 0) break;
          }
          if (nameIndex == 0) continue;
          --nameIndex;
        }
        if (!IsName(s[nameIndex]) || IsOneOf(s[nameIndex], kNotFunctionName)) {
          i = close;
          continue;
        }
        if (IsMacroCallAfterMacros(s, nameIndex, i)) {
          i = close;
          continue;
        }
        word = nameIndex;
        destructor = nameIndex > 0 && s[nameIndex - 1].Is('~');
        if (destructor) --nameIndex;
        declarator = nameIndex;
      }
    }
    bool initList = false;
    if (IsFunctionTail(s, params + 1, s.size(), &initList) &&
        HasDeclarationBefore(s, declarator, className)) {
      if (!name) name = FoundAt(s, word);  // the last word of a qualified name: f of A::B::f
      if (destructor) name->name.insert(0, "~");
      return FunctionHead{std::move(*name), initList, QualifierBefore(s, nameIndex)};
    }
    i = close;
  }
  return std::nullopt;
}

std::optional<std::size_t> OldStyleNamesEnd(const Tokens& s, std::size_t first,
                                            std::size_t* count) {
  std::size_t open = first;
  while (open < s.size() && !s[open].Is('(')) ++open;
  // A return type, then the name.
  if (open < first + 2 || open == s.size() || !IsName(s[open - 1]) ||
      IsOneOf(s[open - 1], kNotFunctionName)) {
    return std::nullopt;
  }
  std::size_t names = 0;
  std::size_t k = open + 1;
  for (;; k += 2) {
    if (k >= s.size() || !IsName(s[k]) || IsOneOf(s[k], WordList(kSpecifier | kBuiltInType))) {
      return std::nullopt;
    }
    ++names;
    if (!NextIs(s, k, ',')) break;
  }
  if (!NextIs(s, k, ')')) return std::nullopt;
  *count = names;
  return k + 1;
}

bool DeclaresOldStyleParameter(const Tokens& s, std::size_t from) {
  if (from + 1 >= s.size() || !IsName(s[from])) return false;
  // Not a member function's qualifiers: "void f(T) const;"
  const Token last = s.back();
  const bool qualifier = s[from].Is("const") || s[from].Is("volatile");
  return (qualifier || !IsOneOf(s[from], kFunctionTail)) &&
         ((IsName(last) && !IsOneOf(last, kFunctionTail)) || last.Is(']') || last.Is(')'));
}

namespace {

// The names of the base classes listed from `first` on, up to the end of a class's head: the
// last name of each, outside template arguments, as B of "public virtual ns::B<T>".
std::vector<std::string> BaseNames(const Tokens& s, std::size_t first) {
  std::vector<std::string> bases;
  std::optional<std::size_t> name;
  for (std::size_t i = first; i <= s.size(); ++i) {
    if (i == s.size() || s[i].Is(',')) {
      if (name) bases.emplace_back(s[*name].text);
      name.reset();
    } else if (s[i].Is('<') || s[i].Is('(')) {
      i = GroupEnd(s, i);
    } else if (IsName(s[i]) && !IsOneOf(s[i], kAccessOrVirtual)) {
      name = i;
    }
  }
  return bases;
}

}  // namespace

std::optional<TypeHead> FindTypeHead(const Tokens& s, std::size_t first) {
  std::size_t i = first;
  if (i < s.size() && s[i].Is("typedef")) i = SkipDecorations(s, i + 1);
  if (i >= s.size()) return std::nullopt;
  TypeHead head{};
  std::optional<std::size_t> name;
  if (s[i].Is("class")) {
    head.kind = Definition::kClass;
  } else if (s[i].Is("struct")) {
    head.kind = Definition::kStruct;
  } else if (s[i].Is("union")) {
    head.kind = Definition::kUnion;
  } else if (s[i].Is("enum")) {
    head.kind = Definition::kEnum;
    if (i + 1 < s.size() && (s[i + 1].Is("class") || s[i + 1].Is("struct"))) ++i;
  } else {
    return std::nullopt;
  }
  for (++i; i < s.size(); ++i) {
    const Token t = s[i];
    const char c = t.Punctuation();
    if (c == ':' && !IsScopeColon(s, i)) {
      head.bases = BaseNames(s, i + 1);
      break;
    }
    if (t.Is("final")) {
      if (i + 1 < s.size() && s[i + 1].Is(':')) head.bases = BaseNames(s, i + 2);
      break;
    }
    if (c == '[' && NextIs(s, i, '[')) {
      i = GroupEnd(s, i);
    } else if (c == '<' && name) {
      i = GroupEnd(s, i);  // a specialization's arguments
    } else if (c == '(') {
      if (i == 0 || !(s[i - 1].Is("__attribute__") || s[i - 1].Is("__declspec") ||
                      s[i - 1].Is("alignas") || IsMacroLike(s[i - 1]))) {
        return std::nullopt;  // a function returning the type
      }
      name.reset();
      i = GroupEnd(s, i);
    } else if (IsName(t) && !IsOneOf(t, kSpecifier)) {
      name = i;
    } else if (c == '=' || c == '*' || c == '&' || c == ',') {
      return std::nullopt;
    }
  }
  if (name) head.name = FoundAt(s, *name);
  if (name && *name >= 3 && s[*name - 1].Is(':') && s[*name - 2].Is(':') && IsName(s[*name - 3])) {
    head.qualifier = std::string(s[*name - 3].text);
  }
  return head;
}

}  // namespace lexpaint
