#include "local_words.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace lexpaint {
namespace local_words {
namespace {

struct ClassedWord {
  std::string_view word;
  unsigned classes;
};

constexpr ClassedWord kWords[] = {
    {"_Bool", kKeyword},
    {"alignas", kKeyword},
    {"alignof", kKeyword},
    {"asm", kKeyword | kStatementStart},
    {"auto", kKeyword | kAuto},
    {"bool", kKeyword},
    {"break", kKeyword | kStatementStart},
    {"case", kKeyword | kLabel},
    {"catch", kKeyword | kCatch},
    {"char", kKeyword},
    {"char16_t", kKeyword},
    {"char32_t", kKeyword},
    {"char8_t", kKeyword},
    {"class", kKeyword | kTypeKey | kNoName | kQualifier},
    {"co_await", kKeyword | kStatementStart},
    {"co_return", kKeyword | kStatementStart},
    {"co_yield", kKeyword | kStatementStart},
    {"const", kKeyword | kBodyTail | kNoName | kQualifier},
    {"const_cast", kKeyword},
    {"consteval", kKeyword | kBodyTail},
    {"constexpr", kKeyword | kBodyTail | kConstexpr | kQualifier},
    {"constinit", kKeyword},
    {"continue", kKeyword | kStatementStart},
    {"decltype", kKeyword},
    {"default", kKeyword | kLabel},
    {"delete", kKeyword | kStatementStart},
    {"do", kKeyword | kPrefix},
    {"double", kKeyword},
    {"dynamic_cast", kKeyword},
    {"else", kKeyword | kPrefix},
    {"enum", kKeyword | kEnumKey | kNoName | kQualifier},
    {"explicit", kKeyword},
    {"extern", kKeyword | kExtern | kQualifier},
    {"false", kKeyword},
    {"final", kKeyword | kBodyTail},
    {"float", kKeyword},
    {"for", kKeyword | kFor},
    {"friend", kKeyword | kStatementStart},
    {"goto", kKeyword | kStatementStart | kGoto},
    {"if", kKeyword | kCondition},
    {"inline", kKeyword | kQualifier},
    {"int", kKeyword},
    {"long", kKeyword},
    {"mutable", kKeyword | kBodyTail | kQualifier},
    {"namespace", kKeyword | kTypeKey | kNamespace},
    {"new", kKeyword | kStatementStart | kNoName},
    {"noexcept", kKeyword | kBodyTail},
    {"nullptr", kKeyword},
    {"operator", kKeyword | kOperator},
    {"override", kKeyword | kBodyTail},
    {"private", kKeyword | kAccess},
    {"protected", kKeyword | kAccess},
    {"public", kKeyword | kAccess},
    {"register", kKeyword | kQualifier},
    {"reinterpret_cast", kKeyword},
    {"requires", kKeyword | kRequires},
    {"return", kKeyword | kStatementStart | kNoName},
    {"short", kKeyword},
    {"signed", kKeyword},
    {"sizeof", kKeyword | kStatementStart | kNoName},
    {"static", kKeyword | kQualifier},
    {"static_assert", kKeyword | kStatementStart},
    {"static_cast", kKeyword},
    {"struct", kKeyword | kTypeKey | kNoName | kQualifier},
    {"switch", kKeyword | kCondition},
    {"template", kKeyword | kTemplate},
    {"this", kKeyword},
    {"thread_local", kKeyword | kQualifier},
    {"throw", kKeyword | kStatementStart | kBodyTail | kNoName},
    {"true", kKeyword},
    {"try", kKeyword | kPrefix | kBodyTail},
    {"typedef", kKeyword | kStatementStart | kAlias},
    {"typeid", kKeyword},
    {"typename", kKeyword | kNoName | kQualifier},
    {"union", kKeyword | kTypeKey | kNoName | kQualifier},
    {"unsigned", kKeyword},
    {"using", kKeyword | kStatementStart | kAlias},
    {"virtual", kKeyword},
    {"void", kKeyword},
    {"volatile", kKeyword | kBodyTail | kNoName | kQualifier},
    {"wchar_t", kKeyword},
    {"while", kKeyword | kCondition},
};

// The words above in a hash table built at compile time, as every word fed is looked up.
class WordTable {
 public:
  constexpr WordTable() {
    for (const ClassedWord& word : kWords) {
      sizes_[static_cast<unsigned char>(word.word[0])] |= std::uint32_t{1} << word.word.size();
      std::size_t i = Hash(word.word);
      while (!slots_[i].word.empty()) i = (i + 1) % kSlots;
      slots_[i] = word;
    }
  }

  // Most words are turned away by their first letter and their size, which no keyword has.
  unsigned Of(std::string_view word) const {
    if (word.empty() || word.size() >= 32) return 0;
    if ((sizes_[static_cast<unsigned char>(word[0])] >> word.size() & 1) == 0) return 0;
    for (std::size_t i = Hash(word);; i = (i + 1) % kSlots) {
      if (slots_[i].word.empty()) return 0;
      if (slots_[i].word == word) return slots_[i].classes;
    }
  }

 private:
  static constexpr std::size_t kSlots = 512;

  static constexpr std::size_t Hash(std::string_view word) {
    return (word.size() * 61 + static_cast<unsigned char>(word[0]) * 7 +
            static_cast<unsigned char>(word[word.size() - 1]) * 3 +
            static_cast<unsigned char>(word[word.size() / 2])) %
           kSlots;
  }

  std::array<ClassedWord, kSlots> slots_{};
  // By first byte, the sizes of the keywords that start with it, as bits.
  std::array<std::uint32_t, 256> sizes_{};
};

constexpr WordTable kWordTable;

}  // namespace

unsigned ClassesOf(const Token& token) {
  return token.kind == TokenType::kIdentifier ? kWordTable.Of(token.text) : 0;
}

}  // namespace local_words
}  // namespace lexpaint
