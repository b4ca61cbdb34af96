#ifndef LEXPAINT_HIGHLIGHT_HIGHLIGHTER_H_
#define LEXPAINT_HIGHLIGHT_HIGHLIGHTER_H_

#include <cstddef>
#include <istream>
#include <ostream>
#include <string_view>

#include "keyword_set.h"
#include "line_reader.h"
#include "output_buffer.h"

namespace lexpaint {

// The kinds of token; each is written as a span whose class is the kind's name.
enum class TokenKind { Identifier, Comment, Keyword, Operator, Number, String, Preprocessor };

// The class name written for `kind`, such as "Identifier".
std::string_view ClassName(TokenKind kind);

// Converts C or C++ source text into HTML markup, a line at a time: each token becomes a
// <span> naming its kind, and every character of source text is HTML-escaped.
class Highlighter {
 public:
  // What the scanner is in the middle of. Only StateLiteral and StateComment outlive a line.
  enum ScanState {
    StateNone = -1,  // between tokens
    StateSpace,
    StateWord,
    StateOperator,
    StateLiteral,
    StateNumber,
    StateDirective,
    StateComment,
  };

  // Borrows both streams, which must outlive the Highlighter.
  Highlighter(std::istream& input, std::ostream& output, KeywordSet keywords);

  // Converts the whole input to `output`, one output line per input line. Stops at the end of
  // the input or at the first read failure (see input_failed()). All output has reached `output`
  // when Run returns, so its state tells whether writing failed.
  void Run();

  // True if Run stopped because the input stream failed rather than ended.
  bool input_failed() const { return reader_.failed(); }

 private:
  void ScanLine();
  ScanState ChooseState(std::size_t i) const;

  void ScanSpace(std::size_t& i);
  void ScanWord(std::size_t& i);
  void ScanOperator(std::size_t& i);
  void ScanNumber(std::size_t& i);
  void ScanDirective(std::size_t& i);
  void ScanLiteral(std::size_t& i);
  void ScanComment(std::size_t& i);
  void WritePlain(std::size_t& i);

  std::size_t RunEnd(std::size_t i, unsigned char classes) const;
  std::size_t WordEnd(std::size_t i) const;
  std::size_t NextQuoteChar(std::size_t i) const;
  // Index just past the "*/" found from `i` on, or npos.
  std::size_t BlockCommentEnd(std::size_t i) const;

  bool IsCommentStart(std::size_t i) const;
  bool IsQuoteAt(std::size_t i) const;
  bool IsKeyword(std::string_view word) const { return keywords_.Contains(word); }
  // Index of a backslash that ends the line, white space after it allowed, or npos.
  std::size_t FindContinuation() const;

  // Writes line_[first, end) as a span of `kind`.
  void WriteToken(std::size_t first, std::size_t end, TokenKind kind);
  // Writes line_[first, end) as HTML-escaped text.
  void WriteRange(std::size_t first, std::size_t end);
  // WriteToken and WriteRange for text too long to escape into the output buffer at once.
  void WriteLongToken(std::size_t first, std::size_t end, TokenKind kind);
  void WriteLongRange(std::size_t first, std::size_t end);
  // Stores line_[first, end) escaped at `out`, which has room for kMaxEscapedSize bytes per
  // character plus kMaskWidth; returns the end of what it stored.
  char* Escape(std::size_t first, std::size_t end, char* out) const;
  char* EscapeChar(const char* c, char* out) const;
  char* CopyPlain(std::size_t first, std::size_t end, char* out) const;

  KeywordSet keywords_;
  LineReader reader_;
  std::string_view line_;  // the current line, cut at its first NUL
  ScanState state_ = StateNone;
  OutputBuffer output_;
  bool inBlockComment_ = false;
  // Set when a literal, or a continuation line of one, begins with a double quote; cleared only
  // when a quote closes a literal. While set, a single quote does not close a literal.
  bool inDoubleQuote_ = false;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_HIGHLIGHTER_H_
