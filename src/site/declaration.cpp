#include "declaration.h"

#include <algorithm>
#include <array>

namespace lexpaint {
namespace {

// Words that may stand before a parenthesis without naming a function.
constexpr std::array<std::string_view, 29> kNotFunctionNames = {"if",
                                                                "while",
                                                                "for",
                                                                "switch",
                                                                "catch",
                                                                "return",
                                                                "sizeof",
                                                                "alignof",
                                                                "alignas",
                                                                "decltype",
                                                                "noexcept",
                                                                "throw",
                                                                "typeid",
                                                                "new",
                                                                "delete",
                                                                "static_assert",
                                                                "requires",
                                                                "__attribute__",
                                                                "__declspec",
                                                                "_Alignas",
                                                                "_Static_assert",
                                                                "__typeof__",
                                                                "typeof",
                                                                "asm",
                                                                "__asm__",
                                                                "co_await",
                                                                "co_return",
                                                                "co_yield",
                                                                "_Pragma"};

// Words that may come before a declaration without being part of its type.
constexpr std::array<std::string_view, 15> kSpecifiers = {
    "static",    "extern",       "inline",   "constexpr", "consteval",
    "constinit", "thread_local", "register", "mutable",   "virtual",
    "explicit",  "friend",       "const",    "volatile",  "__extension__"};

// The types a name of C or C++ is made of, and the words that introduce one.
constexpr std::array<std::string_view, 22> kBuiltInTypes = {
    "int",      "char",   "short", "long",    "unsigned", "signed",   "float",    "double",
    "void",     "bool",   "_Bool", "wchar_t", "char8_t",  "char16_t", "char32_t", "auto",
    "__int128", "struct", "union", "enum",    "class",    "typename"};

// Words that may start a definition in a function's body.
constexpr std::array<std::string_view, 16> kBodyDefinitionStarts = {
    "typedef",  "using",        "class",         "struct",    "union",    "enum",
    "template", "static",       "const",         "constexpr", "volatile", "inline",
    "extern",   "thread_local", "__extension__", "alignas"};

// Words that may follow a function's parameters, before its body.
constexpr std::array<std::string_view, 9> kFunctionTail = {"const",    "volatile", "noexcept",
                                                           "override", "final",    "mutable",
                                                           "throw",    "try",      "__attribute__"};

template <class Token, std::size_t n>
bool IsOneOf(const Token& token, const std::array<std::string_view, n>& words) {
  return token.kind == TokenType::kIdentifier &&
         std::find(words.begin(), words.end(), token.text) != words.end();
}

// An upper-case word such as _GLIBCXX_NOEXCEPT or __THROW: most likely a macro that expands to
// an attribute or a specifier.
template <class Token>
bool IsMacroLike(const Token& token) {
  if (!IsName(token)) return false;
  bool upper = false;
  for (char c : token.text) {
    if (c >= 'a' && c <= 'z') return false;
    upper |= c >= 'A' && c <= 'Z';
  }
  return upper;
}

bool IsScopeColon(const Tokens& s, std::size_t i) {
  return s[i].Is(':') && ((i + 1 < s.size() && s[i + 1].Is(':')) || (i > 0 && s[i - 1].Is(':')));
}

// The index of the token that closes the group opened at `open`, or s.size(). Angle brackets
// count only themselves and parentheses; the others count their own kind.
std::size_t GroupEnd(const Tokens& s, std::size_t open) {
  const char opener = s[open].text[0];
  const char closer = opener == '(' ? ')' : opener == '[' ? ']' : opener == '{' ? '}' : '>';
  int depth = 0;
  int parens = 0;
  for (std::size_t i = open; i < s.size(); ++i) {
    if (opener == '<' && s[i].Is('(')) ++parens;
    if (opener == '<' && s[i].Is(')')) --parens;
    if (parens > 0) continue;
    if (s[i].Is(opener)) ++depth;
    if (s[i].Is(closer) && --depth == 0) return i;
  }
  return s.size();
}

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

// The last name of a qualified name that ends at `last`: "A::B::f" gives "f".
Found NameAt(const Tokens& s, std::size_t last) { return {s[last].text, s[last].line}; }

// The operator function whose parameters open at `open`, such as "operator+" or
// "operator bool", if the tokens before `open` name one; `*index` is then that of "operator".
std::optional<Found> OperatorName(const Tokens& s, std::size_t open, std::size_t* index) {
  constexpr std::size_t kLongestName = 16;  // "operator const std::vector<int>&", for one
  for (std::size_t k = open; k-- > 0 && open - k <= kLongestName;) {
    if (s[k].Is('(') && !(k > 0 && s[k - 1].Is("operator"))) return std::nullopt;
    if (s[k].Is(';') || s[k].Is('{') || s[k].Is('}')) return std::nullopt;
    if (!s[k].Is("operator")) continue;
    std::string name = "operator";
    for (std::size_t t = k + 1; t < open; ++t) {
      if (IsName(s[t]) && IsName(s[t - 1])) name += ' ';
      name += s[t].text;
    }
    *index = k;
    return Found{name, s[k].line};
  }
  return std::nullopt;
}

// True if the tokens [from, to) may stand between a function's parameters and its body.
bool IsFunctionTail(const Tokens& s, std::size_t from, std::size_t to, bool* initList) {
  for (std::size_t i = from; i < to; ++i) {
    const CodeToken& t = s[i];
    if (t.Is('-') && i + 1 < to && s[i + 1].Is('>')) return true;  // a trailing return type
    if (t.Is("requires")) return true;
    if (t.Is(':') && !IsScopeColon(s, i)) {
      *initList = true;
      return true;
    }
    if (t.Is('&') || t.Is('*')) continue;
    if (t.Is('[') && i + 1 < to && s[i + 1].Is('[')) {
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
    const CodeToken& t = s[i];
    if (t.Is('=') || t.Is("return")) return false;
    if (t.Is("template") && i + 1 < name && s[i + 1].Is('<')) {
      i = GroupEnd(s, i + 1);
    } else if (t.Is('[') && i + 1 < name && s[i + 1].Is('[')) {
      i = GroupEnd(s, i);
    } else if (t.Is('(')) {
      i = GroupEnd(s, i);  // an attribute's or a macro's arguments
    } else if ((IsName(t) && !IsOneOf(t, kSpecifiers)) || t.Is('*') || t.Is('&') || t.Is('>')) {
      type = true;
    }
  }
  if (type) return true;
  const std::string& word = s[name].text;
  return word == className || word.rfind("operator", 0) == 0 || word[0] == '~' ||
         (name >= 2 && s[name - 1].Is(':'));
}

bool IsBuiltInType(const CodeToken& token) { return IsOneOf(token, kBuiltInTypes); }

// A declarator's name: its last word, unless that is an upper-case word right after another
// name, which is then a macro after the name ("foo_t ATTRIBUTE").
struct DeclaratorName {
  std::optional<Found> name;
  std::optional<Found> before;  // the name that the last word follows directly, if any

  void See(const CodeToken& word, bool afterName) {
    before = afterName ? name : std::nullopt;
    name = Found{word.text, word.line};
  }
  std::optional<Found> Take(bool lastIsMacroLike) {
    std::optional<Found> taken = lastIsMacroLike && before ? before : name;
    name.reset();
    before.reset();
    return taken;
  }
};

}  // namespace

bool MayStartBodyDefinition(const LexedToken& token) {
  return IsOneOf(token, kBodyDefinitionStarts) || token.Is('[');
}

// Skips what may stand before a declaration: template heads, attributes, specifiers, and macros
// with or without arguments. Returns the index of the first token after them.
std::size_t SkipDecorations(const Tokens& s, std::size_t i) {
  while (i < s.size()) {
    const bool group = i + 1 < s.size() && s[i + 1].Is('(');
    if (s[i].Is("template") && i + 1 < s.size() && s[i + 1].Is('<')) {
      i = GroupEnd(s, i + 1) + 1;
    } else if (s[i].Is("requires") && RequiresClauseEnd(s, i) != i) {
      i = RequiresClauseEnd(s, i);
    } else if (s[i].Is('[') && i + 1 < s.size() && s[i + 1].Is('[')) {
      i = GroupEnd(s, i) + 1;
    } else if ((s[i].Is("__attribute__") || s[i].Is("__declspec") || s[i].Is("alignas") ||
                IsMacroLike(s[i])) &&
               group) {
      i = GroupEnd(s, i + 1) + 1;
    } else if (IsOneOf(s[i], kSpecifiers) || IsMacroLike(s[i])) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

// The function that `s`, a declaration ending before a '{', defines, if it is one.
std::optional<FunctionHead> FindFunction(const Tokens& s, std::string_view className) {
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (!s[i].Is('(')) continue;
    const std::size_t close = GroupEnd(s, i);
    if (close == s.size()) return std::nullopt;
    std::size_t nameIndex = i - 1;
    std::optional<Found> name = OperatorName(s, i, &nameIndex);
    if (!name) {
      if (s[nameIndex].Is('>')) {  // a template's arguments: f<T>(...)
        std::size_t depth = 0;
        for (; nameIndex > 0; --nameIndex) {
          if (s[nameIndex].Is('>')) ++depth;
          if (s[nameIndex].Is('<') && --depth == 0) break;
        }
        if (nameIndex == 0) continue;
        --nameIndex;
      }
      if (!IsName(s[nameIndex]) || IsOneOf(s[nameIndex], kNotFunctionNames)) {
        i = close;
        continue;
      }
      name = NameAt(s, nameIndex);
      if (nameIndex > 0 && s[nameIndex - 1].Is('~')) {
        name->name.insert(0, "~");
        --nameIndex;
      }
    }
    FunctionHead head{*name, false};
    if (IsFunctionTail(s, close + 1, s.size(), &head.initList) &&
        HasDeclarationBefore(s, nameIndex, className)) {
      return head;
    }
    i = close;
  }
  return std::nullopt;
}

std::optional<TypeHead> FindTypeHead(const Tokens& s) {
  std::size_t i = SkipDecorations(s, 0);
  if (i < s.size() && s[i].Is("typedef")) i = SkipDecorations(s, i + 1);
  if (i >= s.size()) return std::nullopt;
  TypeHead head{};
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
    const CodeToken& t = s[i];
    if ((t.Is(':') && !IsScopeColon(s, i)) || t.Is("final")) break;
    if (t.Is('[') && i + 1 < s.size() && s[i + 1].Is('[')) {
      i = GroupEnd(s, i);
    } else if (t.Is('<') && head.name) {
      i = GroupEnd(s, i);  // a specialization's arguments
    } else if (t.Is('(')) {
      if (i == 0 || !(s[i - 1].Is("__attribute__") || s[i - 1].Is("__declspec") ||
                      s[i - 1].Is("alignas") || IsMacroLike(s[i - 1]))) {
        return std::nullopt;  // a function returning the type
      }
      head.name.reset();
      i = GroupEnd(s, i);
    } else if (IsName(t) && !IsOneOf(t, kSpecifiers)) {
      head.name = Found{t.text, t.line};
    } else if (t.Is('=') || t.Is('*') || t.Is('&') || t.Is(',')) {
      return std::nullopt;
    }
  }
  return head;
}

// The names a typedef declares: each declarator's name, or the name inside the parentheses of a
// pointer to function.
std::vector<Found> TypedefNames(const Tokens& s, std::size_t first) {
  std::vector<Found> names;
  DeclaratorName declarator;
  bool lastIsMacroLike = false;
  const auto finish = [&] {
    if (std::optional<Found> name = declarator.Take(lastIsMacroLike)) names.push_back(*name);
  };
  for (std::size_t i = first; i < s.size(); ++i) {
    const CodeToken& t = s[i];
    if (t.Is('(')) {
      const std::size_t close = GroupEnd(s, i);
      if (i + 1 < s.size() && (s[i + 1].Is('*') || s[i + 1].Is('^') || s[i + 1].Is('&'))) {
        for (std::size_t k = i + 1; k < close; ++k) {
          if (IsName(s[k]) && !IsOneOf(s[k], kSpecifiers)) declarator.See(s[k], false);
        }
        lastIsMacroLike = false;
      }
      i = close;
    } else if (t.Is('[') || t.Is('{')) {
      i = GroupEnd(s, i);
    } else if (t.Is('<') && i > 0 && IsName(s[i - 1])) {
      i = GroupEnd(s, i);
    } else if (t.Is(',')) {
      finish();
    } else if (IsName(t) && !IsOneOf(t, kSpecifiers) && !IsBuiltInType(t)) {
      if (i + 1 < s.size() && s[i + 1].Is('(') && (t.Is("__attribute__") || IsMacroLike(t))) {
        i = GroupEnd(s, i + 1);
        continue;
      }
      const bool afterName =
          IsName(s[i - 1]) && !IsBuiltInType(s[i - 1]) && !IsOneOf(s[i - 1], kSpecifiers);
      declarator.See(t, afterName);
      lastIsMacroLike = IsMacroLike(t);
    }
  }
  finish();
  return names;
}

}  // namespace lexpaint
