#ifndef LEXPAINT_HIGHLIGHT_HIGHLIGHTER_H_
#define LEXPAINT_HIGHLIGHT_HIGHLIGHTER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "keyword_set.h"
#include "line_anchor.h"
#include "line_reader.h"
#include "output_buffer.h"

namespace lexpaint {

// The kinds of token; each is written as a span whose class is the kind's name.
enum class TokenKind { Identifier, Comment, Keyword, Operator, Number, String, Preprocessor };

// The class name written for `kind`, such as "Identifier".
std::string_view ClassName(TokenKind kind);

// What a page body carries besides the highlighted source.
struct HighlightOptions {
  // Start every line with an empty anchor naming its number (see LineAnchor).
  bool lineNumbers = false;
  // Where the name of an `#include "name"` or `#include <name>` line links to: given the name and
  // whether it is angled, returns an href, or "" for no link. The link wraps the tokens that hold
  // the name and its delimiters. The href is written as it is, so it must hold no '"', '&', '<'
  // or '>'.
  std::function<std::string(std::string_view name, bool angled)> includeHref;
  // Where an identifier links to: given its text and the number of its line (from 1), returns an
  // href, or "" for no link; the href need stay valid only until the next call. Keywords are not
  // asked about, nor identifiers on an #include line. The href is written as includeHref's is.
  // `word` views the input in place, within its whole line: the callback may read back from it
  // to the line feed before the line and on to the line feed that ends it (one ends every line).
  std::function<std::string_view(std::string_view word, std::uint64_t line)> nameHref;
};

// Converts C or C++ source text into HTML markup, a line at a time: each token becomes a
// <span> naming its kind, and every character of source text is HTML-escaped.
class Highlighter {
 public:
  // What a line that ends inside a token leaves the next line to finish.
  enum ScanState {
    StateNone = -1,  // between tokens
    StateLiteral,
    StateComment,
  };

  // Borrows both streams, which must outlive the Highlighter.
  Highlighter(std::istream& input, std::ostream& output, KeywordSet keywords,
              HighlightOptions options = {});

  // Converts the whole input to `output`, one output line per input line. Stops at the end of
  // the input or at the first read failure (see input_failed()). All output has reached `output`
  // when Run returns, so its state tells whether writing failed.
  void Run();

  // True if Run stopped because the input stream failed rather than ended.
  bool input_failed() const { return reader_.failed(); }

 private:
  // The scanners take the start of a token or of white space in the current line, and return the
  // end of what they wrote, at most the end of the line's text: its first NUL or its line feed.
  // Those taking `out` write there, and move it, instead of through output_. `roomy` tells that
  // the room for the output of the line's run was reserved before its scan; `numbered`, that
  // each line starts with its anchor.
  // `linked`, that include lines or identifiers may link.
  template <bool numbered, bool linked>
  void ScanLines();
  // Scans the lines [p, last), writing at `out`; returns the end of what it wrote.
  template <bool roomy, bool numbered, bool linked>
  char* ScanRun(const char* p, const char* last, char* out);
  // Writes the anchor of the line about to start and moves on to the next line's.
  template <bool roomy>
  char* WriteLineAnchor(char* out);
  // At the '#' at `p`: if its line includes a name that links somewhere, prepares the link, to
  // open before the token at link_.open and close after the token that reaches link_.close.
  void PrepareIncludeLink(const char* p);
  // Write the two ends of the prepared link at `p`, which lies in the run that ends at `last`.
  template <bool roomy, bool numbered>
  char* OpenLink(const char* p, const char* last, char* out);
  template <bool roomy, bool numbered>
  char* CloseLink(const char* p, const char* last, char* out);
  // The markup of a link's two ends, written with room for the rest of the run behind them.
  template <bool roomy, bool numbered>
  char* WriteLinkStart(std::string_view href, const char* p, const char* last, char* out);
  template <bool roomy, bool numbered>
  char* WriteLinkEnd(const char* p, const char* last, char* out);
  // ScanWord for a page whose identifiers may link (see HighlightOptions::nameHref).
  template <bool roomy, bool numbered>
  const char* ScanLinkedWord(const char* p, const char* last, char*& out);
  // At the start of a line: finishes the token the line before left open, if this line has text.
  const char* StartLine(const char* p, char*& out);
  const char* ContinueToken(const char* p);
  const char* ScanSpace(const char* p, char*& out, bool roomy);
  const char* ScanWord(const char* p, char*& out, bool roomy);
  // The end of the word that starts at `p`.
  static const char* WordEnd(const char* p);
  const char* ScanOperator(const char* p, char*& out, bool roomy);
  const char* ScanNumber(const char* p, char*& out, bool roomy);
  const char* ScanDirective(const char* p, char*& out, bool roomy);
  const char* ScanLiteral(const char* p);
  const char* ScanComment(const char* p);
  const char* WritePlain(const char* p);

  // Whether the '/' at `p` opens a comment.
  bool IsCommentStart(const char* p) const;
  bool IsQuoteAt(const char* p) const;
  // `word` lies in the current line, whose padding ContainsPadded may read.
  bool IsKeyword(std::string_view word) const { return keywords_.ContainsPadded(word); }
  // The backslash that ends the text [first, end) of a literal, white space after it allowed, or
  // nullptr.
  static const char* FindContinuation(const char* first, const char* end);

  // Writes [first, last) as a span of `kind`.
  void WriteToken(const char* first, const char* last, TokenKind kind);
  // WriteToken for a caller that knows whether the text holds a character to escape, and that
  // has the span followed by `blank` (0 or 1) blanks, and that tells whether the run is `roomy`.
  // Writes at `out` and returns the end of what it wrote.
  char* WriteSpan(char* out, const char* first, const char* last, TokenKind kind, bool escape,
                  std::size_t blank, bool roomy);
  // The two ends of WriteSpan: the open tag of a span of `kind`, and the close tag followed by
  // `blank` blanks. Each writes at `out` and returns the end of what it wrote.
  char* OpenSpan(char* out, TokenKind kind);
  char* CloseSpan(char* out, std::size_t blank);
  // Writes [first, last) as HTML-escaped text.
  void WriteRange(const char* first, const char* last);
  // Writes a run of white space, tabs expanded.
  void WriteSpaces(const char* first, const char* last);
  char* WriteBlanks(char* out, std::size_t count, bool roomy);
  // WriteToken and WriteRange for text too long to escape into the output buffer at once.
  void WriteLongToken(const char* first, const char* last, TokenKind kind);
  void WriteLongRange(const char* first, const char* last);
  // Stores [first, last) escaped at `out`, which has room for kMaxEscapedSize bytes per
  // character plus kMaskWidth; returns the end of what it stored.
  char* Escape(const char* first, const char* last, char* out) const;
  char* EscapeChar(const char* c, char* out) const;

  KeywordSet keywords_;
  HighlightOptions options_;
  LineReader reader_;
  LineAnchor anchor_;
  ScanState state_ = StateNone;
  OutputBuffer output_;
  bool inBlockComment_ = false;
  // Set when a literal, or a continuation line of one, begins with a double quote; cleared only
  // when a quote closes a literal. While set, a single quote does not close a literal.
  bool inDoubleQuote_ = false;
  // The link of the current line: open is the token start it opens at until it has opened, close
  // the point whose token closes it while it is open; both are nullptr otherwise.
  struct PendingLink {
    const char* open = nullptr;
    const char* close = nullptr;
    const char* end = nullptr;  // close, kept while the link waits to open
    std::string href;
  } link_;
  // Of a page whose identifiers may link: the current line's number, and whether it includes a
  // file, in which case its identifiers do not link.
  std::uint64_t line_ = 0;
  bool includeLine_ = false;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_HIGHLIGHTER_H_
