#ifndef LEXPAINT_SITE_CODE_LEXER_H_
#define LEXPAINT_SITE_CODE_LEXER_H_

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "line_reader.h"

namespace lexpaint {

// The kinds of token of C or C++ as the definition finder reads it: comments are dropped, a
// literal is one token, and every punctuation character is a token of its own.
enum class TokenType : unsigned char {
  kIdentifier,  // a word: a name or a keyword
  kNumber,
  kLiteral,       // a string or character literal, raw strings included
  kPunctuation,   // one character
  kDirective,     // '#' starting a line; the directive's own tokens follow
  kDirectiveEnd,  // the end of a directive's last line
};

// A token whose text is `Text`: a view into the lexer's buffer, or a string of its own.
template <class Text>
struct BasicToken {
  TokenType kind = TokenType::kPunctuation;
  Text text;
  std::uint64_t line = 0;  // counted from 1, as the page numbers lines

  bool Is(char c) const {
    return kind == TokenType::kPunctuation && text.size() == 1 && text[0] == c;
  }
  bool Is(std::string_view word) const { return kind == TokenType::kIdentifier && text == word; }
};

// A token as the lexer hands it over, valid until the lexer's next call.
using LexedToken = BasicToken<std::string_view>;

// A token that is kept.
struct CodeToken : BasicToken<std::string> {
  CodeToken() = default;
  explicit CodeToken(const LexedToken& token) {
    kind = token.kind;
    text.assign(token.text.data(), token.text.size());
    line = token.line;
  }
};

// True if `c` may stand in a word: an ASCII letter or digit, '_', '$', or a byte from 0x80 up.
bool IsWordByte(char c);

// Splits C or C++ source into tokens, a run of lines at a time, so that memory follows the
// longest line. A NUL ends its line's text, as on a page.
class CodeLexer {
 public:
  // `input` must outlive the lexer.
  explicit CodeLexer(std::istream& input) : reader_(input) {}

  // Stores the next token in `*token` and returns true, or returns false at the end. The token's
  // text stays valid until the next call.
  bool Next(LexedToken* token);

 private:
  bool NextLine();
  // Each reads a token that starts at p_, stores it and moves p_ past it.
  void ReadWordOrLiteral(LexedToken* token);
  void ReadQuoted(LexedToken* token, const char* first);
  void ReadRawLiteral(LexedToken* token, const char* first);
  void ReadNumber(LexedToken* token);
  // Moves p_ past the end of an open raw literal or block comment, or to the line's end.
  void SkipRawLiteral();
  void SkipBlockComment();

  void Set(LexedToken* token, TokenType kind, const char* first, const char* last) const;

  LineReader reader_;
  const char* next_ = nullptr;     // the start of the next line in the current run
  const char* runEnd_ = nullptr;   // the end of the current run
  const char* p_ = nullptr;        // the next character of the current line
  const char* lineEnd_ = nullptr;  // the end of the current line's text
  std::uint64_t line_ = 0;
  bool atLineStart_ = false;    // nothing but white space so far on this line
  bool lineContinues_ = false;  // the line ends with a backslash, which joins the next to it
  bool inBlockComment_ = false;
  bool inLineComment_ = false;  // a line comment goes on in a joined line
  bool inDirective_ = false;    // the current line belongs to a directive
  std::string rawEnd_;          // ")delimiter\"" while a raw literal is open
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_CODE_LEXER_H_
