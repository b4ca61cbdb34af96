#include "declaration_words.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace lexpaint {
namespace declaration_words {
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

}  // namespace

bool IsOneOf(const Token& token, WordList list) {
  return token.kind == TokenType::kIdentifier && (kWordLists.Of(token.text) & list) != 0;
}

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

bool IsBuiltInType(const Token& token) { return IsOneOf(token, kBuiltInType); }

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

bool IsTypeOperator(const Token& t) {
  return t.Is("decltype") || t.Is("typeof") || t.Is("__typeof__") || t.Is("__typeof") ||
         t.Is("_Atomic");
}

bool IsAttributeWord(const Token& t) {
  return t.Is("__attribute__") || t.Is("__declspec") || t.Is("alignas");
}

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

bool OnlyMacrosBefore(const Tokens& s, std::size_t end) {
  for (std::size_t k = 0; k < end; ++k) {
    if (!IsMacroLike(s[k])) return false;
    if (NextIs(s, k, '(')) k = GroupEnd(s, k + 1);
  }
  return true;
}

}  // namespace declaration_words
}  // namespace lexpaint
