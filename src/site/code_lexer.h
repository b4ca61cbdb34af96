#ifndef LEXPAINT_SITE_CODE_LEXER_H_
#define LEXPAINT_SITE_CODE_LEXER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// A token whose text is a view: into the lexer's buffer, or into the Tokens that keep it.
struct Token {
  TokenType kind = TokenType::kPunctuation;
  std::string_view text;
  std::uint64_t line = 0;    // counted from 1, as the page numbers lines
  bool firstColumn = false;  // the token starts its line, with no blank before it

  bool Is(char c) const {
    return kind == TokenType::kPunctuation && text.size() == 1 && text[0] == c;
  }
  bool Is(std::string_view word) const { return kind == TokenType::kIdentifier && text == word; }
  // The character of a punctuation token, or '\0' for any other token.
  char Punctuation() const { return kind == TokenType::kPunctuation ? text[0] : '\0'; }
};

// Tokens that are kept, such as a declaration's: their texts are copied into one buffer, which
// clear() keeps for the next tokens, so that keeping a token seldom allocates.
class Tokens {
 public:
  // A text this long or shorter is copied in one move of this many bytes.
  static constexpr std::size_t kShortText = 2 * kMaskWidth;

  Tokens() = default;
  // A moved-from list is empty.
  Tokens(Tokens&& other) noexcept { *this = std::move(other); }
  Tokens& operator=(Tokens&& other) noexcept {
    tokens_ = std::exchange(other.tokens_, {});
    text_ = std::move(other.text_);
    textSize_ = std::exchange(other.textSize_, 0);
    textCapacity_ = std::exchange(other.textCapacity_, 0);
    return *this;
  }

  std::size_t size() const { return tokens_.size(); }
  bool empty() const { return tokens_.empty(); }

  // The token's text stays valid until the next push_back.
  Token operator[](std::size_t i) const {
    const Kept& kept = tokens_[i];
    return {kept.kind, std::string_view(text_.get() + kept.offset, kept.size), kept.line};
  }
  Token back() const { return (*this)[size() - 1]; }

  // Keeps a token that CodeLexer handed over, whose text may be read kShortText bytes from its
  // start, past its end too.
  void push_back(const Token& token) {
    Append(token.kind, token.line, token.text.size());
    char* const to = text_.get() + textSize_;
    const std::size_t size = token.text.size();
    if (size <= kShortText) {
      std::memcpy(to, token.text.data(), kShortText);  // a few instructions, not a call
    } else {
      std::memcpy(to, token.text.data(), size);
    }
    textSize_ += size;
  }
  // Keeps a punctuation token of no line.
  void PushPunctuation(char c) {
    Append(TokenType::kPunctuation, 0, 1);
    text_[textSize_++] = c;
  }
  void clear() {
    tokens_.clear();
    textSize_ = 0;
  }
  // Keeps the first `count` tokens only; `count` is at most size().
  void Truncate(std::size_t count) {
    tokens_.resize(count);
    textSize_ = count == 0 ? 0 : tokens_.back().offset + tokens_.back().size;
  }

 private:
  struct Kept {
    TokenType kind;
    std::size_t offset;  // of the text in text_
    std::size_t size;
    std::uint64_t line;
  };

  // Adds a token whose text of `size` bytes goes at textSize_, with room for a move of
  // kShortText bytes.
  void Append(TokenType kind, std::uint64_t line, std::size_t size) {
    // Filled in place: a copy of a whole Kept would be loaded right after its fields were stored,
    // which stalls.
    Kept& kept = tokens_.emplace_back();
    kept.kind = kind;
    kept.offset = textSize_;
    kept.size = size;
    kept.line = line;
    if (textCapacity_ - textSize_ < size + kShortText) Grow(size + kShortText);
  }
  // Makes room for `more` bytes of text at textSize_.
  void Grow(std::size_t more);

  std::vector<Kept> tokens_;
  std::unique_ptr<char[]> text_;
  std::size_t textSize_ = 0;
  std::size_t textCapacity_ = 0;
};

// True if `c` may stand in a word: an ASCII letter or digit, '_', '$', or a byte from 0x80 up.
bool IsWordByte(char c);
// True if `text` is not empty and every byte of it may stand in a word.
bool IsWordText(std::string_view text);

// Splits C or C++ source into tokens, a run of lines at a time, so that memory follows the
// longest line. A NUL ends its line's text, as on a page.
//
// The lexer finds where tokens start through masks of a block of a line's bytes, computed
// kMaskWidth bytes at a time: going from one token to the next then takes a few operations on a
// register, where scanning the bytes between them would wait for each load and mispredict where
// a run of them ends. Literals, numbers and comments are read a byte at a time, and the masks
// follow.
class CodeLexer {
 public:
  // `input` must outlive the lexer.
  explicit CodeLexer(std::istream& input) : reader_(std::in_place, input) {}
  // Reads a whole file in place: `lines` as one run of LineReader::NextLines, such as
  // SourceText::lines. They must outlive the lexer.
  explicit CodeLexer(std::string_view lines)
      : next_(lines.data()), runEnd_(lines.data() + lines.size()) {}

  // Stores the next token in `*token` and returns true, or returns false at the end. The token's
  // text stays valid until the next call, and Tokens::kShortText bytes may be read from its start,
  // past its end too, as LineReader pads its runs.
  bool Next(Token* token);

 private:
  // A block's bytes, as bits of a mask: bit k stands for block_[k].
  using BlockMask = std::uint64_t;
  static constexpr std::size_t kBlockSize = 8 * sizeof(BlockMask);

  // Reads any token, as Next does.
  bool ReadNext(Token* token);
  // Stores the token [first, last) that starts at the first start, and moves past it.
  bool Take(Token* token, TokenType kind, const char* first, const char* last);
  // Moves to the next line that holds a token or a directive's end, at its first token. False at
  // the end of the input.
  bool NextLine();
  // Moves to the next line and past what goes on there from the lines before: the rest of a
  // comment or of a raw literal. False at the end of the input.
  bool ReadLine();
  // Computes the masks of the block that starts at `first`, which lies in the current line.
  void ScanBlock(const char* first);
  // Drops the starts before p_, which has moved past a token or a comment.
  void Advance();
  // Moves p_ past the comment that starts there.
  void SkipComment();
  // Each reads a token that starts at p_, stores it and moves p_ past it.
  void ReadToken(Token* token);  // a number, a literal without a prefix, or punctuation
  void ReadWordOrLiteral(Token* token);
  void ReadQuoted(Token* token, const char* first);
  void ReadRawLiteral(Token* token, const char* first);
  void ReadNumber(Token* token);
  // Moves p_ past the end of an open raw literal or block comment, or to the line's end.
  void SkipRawLiteral();
  void SkipBlockComment();

  void Set(Token* token, TokenType kind, const char* first, const char* last) const;

  // Where p_, lineEnd_ and block_ point before the first line. Every line's text ends before a
  // byte that no token, blank or comment takes in, as this line feed: a line feed, a NUL or the
  // backslash that joins the next line. Scans stop there without a bound check.
  static constexpr char kNoLine[] = "\n";

  std::optional<LineReader> reader_;  // none when the lexer reads lines in place
  const char* next_ = nullptr;        // the start of the next line in the current run
  const char* runEnd_ = nullptr;      // the end of the current run
  const char* p_ = kNoLine;           // the next character of the current line
  const char* lineEnd_ = kNoLine;     // the end of the current line's text
  const char* lineStart_ = nullptr;   // the start of the current line
  // The block of kBlockSize bytes from block_ on, as masks. Its starts are the bytes from p_ on, up
  // to the line's end and with it, that are neither blank (' ', '\t', '\r') nor a letter, digit or
  // '_' right after another; the first of them is where the next token, comment or the line's end
  // is. With none left, only blanks stand between p_ and the block's end.
  const char* block_ = kNoLine;
  BlockMask starts_ = 1;  // the end of no line, to read the first
  BlockMask words_ = 0;   // letters, digits and '_'
  std::uint64_t line_ = 0;
  bool atLineStart_ = false;    // no token has started on this line
  bool lineContinues_ = false;  // the line ends with a backslash, which joins the next to it
  bool inBlockComment_ = false;
  bool inLineComment_ = false;  // a line comment goes on in a joined line
  bool inDirective_ = false;    // the current line belongs to a directive
  std::string rawEnd_;          // ")delimiter\"" while a raw literal is open
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_CODE_LEXER_H_
