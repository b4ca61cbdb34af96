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
constexpr std::array<std::string_view, 9> kFunctionTailWords = {
    "const",   "volatile", "noexcept", "override",     "final",
    "mutable", "throw",    "try",      "__attribute__"};

// Words that may stand before a base class's name.
constexpr std::array<std::string_view, 4> kBaseSpecifiers = {"public", "protected", "private",
                                                             "virtual"};

// The lists above, as bits.
enum WordList : unsigned {
  kNotFunctionName = 1,
  kSpecifier = 2,
  kBuiltInType = 4,
  kBodyDefinitionStart = 8,
  kFunctionTail = 16,
  kAccessOrVirtual = 32,
};

// The lists above in one hash table, built at compile time: looking up a word takes a hash and
// mostly one comparison, or none, where a search of a list would compare it with every word.
class WordLists {
 public:
  constexpr WordLists();

  // The lists that hold `word`, which is not empty.
  unsigned Of(std::string_view word) const {
    for (std::size_t i = Hash(word);; i = (i + 1) % kSlots) {
      if (slots_[i].word.empty() || slots_[i].word == word) return slots_[i].lists;
    }
  }

 private:
  static constexpr std::size_t kSlots = 256;  // a few times the words, for short probes

  struct Slot {
    std::string_view word;  // empty in a free slot
    unsigned lists = 0;
  };

  static constexpr std::size_t Hash(std::string_view word) {
    return (word.size() * 31 + static_cast<unsigned char>(word.front()) * 7 +
            static_cast<unsigned char>(word.back())) %
           kSlots;
  }

  template <std::size_t n>
  constexpr void Add(const std::array<std::string_view, n>& words, WordList list) {
    for (const std::string_view word : words) {
      std::size_t i = Hash(word);
      while (!slots_[i].word.empty() && slots_[i].word != word) i = (i + 1) % kSlots;
      slots_[i].word = word;
      slots_[i].lists |= list;
    }
  }

  std::array<Slot, kSlots> slots_{};
};

// Out of the class, where the definition of Add is complete, as clang requires of a constant
// expression that calls it.
constexpr WordLists::WordLists() {
  Add(kNotFunctionNames, kNotFunctionName);
  Add(kSpecifiers, kSpecifier);
  Add(kBuiltInTypes, kBuiltInType);
  Add(kBodyDefinitionStarts, kBodyDefinitionStart);
  Add(kFunctionTailWords, kFunctionTail);
  Add(kBaseSpecifiers, kAccessOrVirtual);
}

constexpr WordLists kWordLists;

bool IsOneOf(const Token& token, WordList list) {
  return token.kind == TokenType::kIdentifier && (kWordLists.Of(token.text) & list) != 0;
}

// An upper-case word such as _GLIBCXX_NOEXCEPT or __THROW: most likely a macro that expands to
// an attribute or a specifier.
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

// True if the token after `i` is the punctuation `c`.
bool NextIs(const Tokens& s, std::size_t i, char c) { return i + 1 < s.size() && s[i + 1].Is(c); }

// The index of the token that closes the group opened at `open`, or s.size(). Angle brackets
// count only themselves and parentheses; the others count their own kind.
std::size_t GroupEnd(const Tokens& s, std::size_t open) {
  const char opener = s[open].text[0];
  const char closer = opener == '(' ? ')' : opener == '[' ? ']' : opener == '{' ? '}' : '>';
  int depth = 0;
  int parens = 0;
  for (std::size_t i = open; i < s.size(); ++i) {
    const char c = s[i].Punctuation();
    if (opener == '<' && c == '(') ++parens;
    if (opener == '<' && c == ')') --parens;
    if (parens > 0) continue;
    if (c == opener) ++depth;
    if (c == closer && --depth == 0) return i;
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

// The operator function whose parameters open at `open`, such as "operator+" or
// "operator bool", if the tokens before `open` name one; `*index` is then that of "operator".
std::optional<Found> OperatorName(const Tokens& s, std::size_t open, std::size_t* index) {
  constexpr std::size_t kLongestName = 16;  // "operator const std::vector<int>&", for one
  for (std::size_t k = open; k-- > 0 && open - k <= kLongestName;) {
    const Token t = s[k];
    const char c = t.Punctuation();
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

bool IsBuiltInType(const Token& token) { return IsOneOf(token, kBuiltInType); }

Found FoundAt(const Tokens& s, std::size_t i) { return {std::string(s[i].text), s[i].line}; }

// The index after a name "a::b<c>::template d" that starts at `i`.
std::size_t QualifiedNameEnd(const Tokens& s, std::size_t i) {
  while (i < s.size() && IsName(s[i])) {
    ++i;
    if (i < s.size() && s[i].Is('<')) i = std::min(GroupEnd(s, i) + 1, s.size());
    if (!(i + 1 < s.size() && s[i].Is(':') && s[i + 1].Is(':'))) break;
    i += 2;
    if (i < s.size() && s[i].Is("template")) ++i;
  }
  return i;
}

// Words that, with parentheses, name a type.
bool IsTypeOperator(const Token& t) {
  return t.Is("decltype") || t.Is("typeof") || t.Is("__typeof__") || t.Is("__typeof") ||
         t.Is("_Atomic");
}

bool IsAttributeWord(const Token& t) {
  return t.Is("__attribute__") || t.Is("__declspec") || t.Is("alignas");
}

// The index after a class key's name, base clause and body, from `i`, the token after the key.
std::size_t ElaboratedTypeEnd(const Tokens& s, std::size_t i) {
  while (i < s.size() &&
         ((s[i].Is('[') && NextIs(s, i, '[')) || (IsAttributeWord(s[i]) && NextIs(s, i, '(')))) {
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

// Whether the parentheses that open at `open` declare parameters, as "(STATE *state, int tok)" or
// "(void)" do, rather than hold a macro's arguments, as "(f)" or "(1, 2)" do: a built-in type, or a
// word followed by another word or by '*' or '&', at their own level.
bool HoldsParameters(const Tokens& s, std::size_t open) {
  const std::size_t close = GroupEnd(s, open);
  for (std::size_t i = open + 1; i < close; ++i) {
    const Token t = s[i];
    if (t.Is('(') || t.Is('[') || t.Is('{')) {
      i = std::min(GroupEnd(s, i), close);
    } else if (IsBuiltInType(t)) {
      return true;
    } else if (IsName(t) && i + 1 < close &&
               (IsName(s[i + 1]) || s[i + 1].Is('*') || s[i + 1].Is('&'))) {
      return true;
    }
  }
  return false;
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
