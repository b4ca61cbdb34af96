#ifndef LEXPAINT_SITE_DECLARATION_WORDS_H_
#define LEXPAINT_SITE_DECLARATION_WORDS_H_

// The words and groups of tokens that declarations are read by, shared by the readers of
// functions, classes and typedefs.

#include <cstddef>
#include <cstdint>
#include <string>

#include "code_lexer.h"

namespace lexpaint {

// A name that a declaration defines, and the line it stands on.
struct Found {
  std::string name;
  std::uint64_t line = 0;
};

inline bool IsName(const Token& token) { return token.kind == TokenType::kIdentifier; }

namespace declaration_words {

// Lists of the words that declarations are read by, as bits.
enum WordList : unsigned {
  kNotFunctionName = 1,
  kSpecifier = 2,
  kBuiltInType = 4,
  kBodyDefinitionStart = 8,
  kFunctionTail = 16,
  kAccessOrVirtual = 32,
};

// Whether `token` is a word of one of the lists `list` names.
bool IsOneOf(const Token& token, WordList list);

// An upper-case word such as _GLIBCXX_NOEXCEPT or __THROW: most likely a macro that expands to
// an attribute or a specifier.
bool IsMacroLike(const Token& token);

// Whether the ':' at `i` is one of a "::".
bool IsScopeColon(const Tokens& s, std::size_t i);

// True if the token after `i` is the punctuation `c`.
inline bool NextIs(const Tokens& s, std::size_t i, char c) {
  return i + 1 < s.size() && s[i + 1].Is(c);
}

// The index of the token that closes the group opened at `open`, or s.size(). Angle brackets
// count only themselves and parentheses; the others count their own kind.
std::size_t GroupEnd(const Tokens& s, std::size_t open);

bool IsBuiltInType(const Token& token);

inline Found FoundAt(const Tokens& s, std::size_t i) { return {std::string(s[i].text), s[i].line}; }

// The index after a name "a::b<c>::template d" that starts at `i`.
std::size_t QualifiedNameEnd(const Tokens& s, std::size_t i);

// Words that, with parentheses, name a type: decltype, typeof, _Atomic.
bool IsTypeOperator(const Token& t);

// __attribute__, __declspec and alignas.
bool IsAttributeWord(const Token& t);

// Whether the parentheses that open at `open` declare parameters, as "(STATE *state, int tok)" or
// "(void)" do, rather than hold a macro's arguments, as "(f)" or "(1, 2)" do: a built-in type, or a
// word followed by another word or by '*' or '&', at their own level.
bool HoldsParameters(const Tokens& s, std::size_t open);

// Whether the tokens of `s` before `end` are words in capitals and their arguments: macros that no
// ';' ended, as "DIAG_POP" and "SUPPRESS(4189)" before "TEST_F(Suite, Name) {".
bool OnlyMacrosBefore(const Tokens& s, std::size_t end);

}  // namespace declaration_words
}  // namespace lexpaint

#endif  // LEXPAINT_SITE_DECLARATION_WORDS_H_
