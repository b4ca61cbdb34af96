#include "code_lexer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "byte_masks.h"

namespace lexpaint {
namespace {

enum ByteClass : unsigned char {
  kBlank = 1,
  kWord = 2,
  kDigit = 4,  // a word byte too
  kQuote = 8,
  kPunctuation = 16,  // a token of its own wherever it stands in a line's text
};

constexpr std::array<unsigned char, 256> MakeByteClasses() {
  std::array<unsigned char, 256> classes{};
  for (int c = 0; c < 0x80; ++c) classes[c] = kPunctuation;
  // What may start a comment, a directive or a number, and what may end a line's text.
  for (char c : std::string_view("/#.\\\n")) classes[static_cast<unsigned char>(c)] = 0;
  classes['\0'] = 0;
  classes['"'] = classes['\''] = kQuote;
  for (char c : std::string_view(" \t\r\f\v")) classes[static_cast<unsigned char>(c)] = kBlank;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] = kWord;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] = kWord;
  for (int c = '0'; c <= '9'; ++c) classes[c] = kWord | kDigit;
  for (int c = 0x80; c < 0x100; ++c) classes[c] = kWord;
  classes['_'] = classes['$'] = kWord;
  return classes;
}

constexpr std::array<unsigned char, 256> kByteClasses = MakeByteClasses();

unsigned char ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }

bool IsBlank(char c) { return ClassOf(c) == kBlank; }

bool IsDigit(char c) { return (ClassOf(c) & kDigit) != 0; }

// The end of the word that goes on at `p`, found a mask at a time; bytes such as '$' and those
// from 0x80 up, which the mask leaves out, are passed a byte at a time. The byte after every line's
// text ends a word, and the scan may read kMaskWidth bytes past it.
const char* WordEnd(const char* p) {
  for (;;) {
    const unsigned others = ~IdentifierMask(p) & ((1u << kMaskWidth) - 1);
    if (others == 0) {
      p += kMaskWidth;
      continue;
    }
    p += LowestBit(others);
    if ((ClassOf(*p) & kWord) == 0) return p;
    ++p;
  }
}

// The first "*/" in [p, end), or `end`. Reads up to kMaskWidth bytes past `end`; the byte at `end`
// must not be '/'.
const char* FindCommentEnd(const char* p, const char* end) {
  for (; p < end; p += kMaskWidth) {
    const unsigned stars = ByteMask(p, '*') & ByteMask(p + 1, '/');
    if (stars != 0) return std::min(p + LowestBit(stars), end);
  }
  return end;
}

// Index of the lowest set bit of a block's mask that is not zero.
std::size_t LowestBlockBit(std::uint64_t mask) {
#if defined(__GNUC__)
  return static_cast<std::size_t>(__builtin_ctzll(mask));
#else
  const auto low = static_cast<unsigned>(mask);
  return low != 0 ? LowestBit(low) : 32 + LowestBit(static_cast<unsigned>(mask >> 32));
#endif
}

// As FindLineEnd, but with a first look at 64 bytes from the line's start `p`, in which most lines
// end: one branch then finds the end where a loop over single masks would mispredict its exit.
LineEnd FindLineEndFromStart(const char* p) {
  constexpr std::size_t kLook = 64;
  std::uint64_t ends = 0;
  for (std::size_t i = 0; i < kLook; i += kMaskWidth) {
    ends |= std::uint64_t{EitherByteMask(p + i, '\n', '\0')} << i;
  }
  if (ends == 0) return FindLineEnd(p + kLook);
  const char* const text = p + LowestBlockBit(ends);
  return *text == '\n' ? LineEnd{text, text} : FindLineEnd(text);
}

bool IsLiteralPrefix(std::string_view word) {
  return word == "L" || word == "u" || word == "U" || word == "u8";
}

bool IsRawPrefix(std::string_view word) {
  return word == "R" || word == "LR" || word == "uR" || word == "UR" || word == "u8R";
}

}  // namespace

bool IsWordByte(char c) { return (ClassOf(c) & kWord) != 0; }

bool IsWordText(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsWordByte);
}

static_assert(LineReader::kPadding >= Tokens::kShortText);

void Tokens::Grow(std::size_t more) {
  const std::size_t capacity = std::max(2 * textCapacity_, textSize_ + more);
  std::unique_ptr<char[]> text(new char[capacity]);
  if (textSize_ > 0) std::memcpy(text.get(), text_.get(), textSize_);
  text_ = std::move(text);
  textCapacity_ = capacity;
}

// Most tokens are words and punctuation that the masks delimit alone: these are read here, and
// the rest by the general loop of ReadNext.
bool CodeLexer::Next(Token* token) {
  if (starts_ != 0) {
    const char* const first = block_ + LowestBlockBit(starts_);
    const unsigned char byteClass = ClassOf(*first);
    if (byteClass == kPunctuation) return Take(token, TokenType::kPunctuation, first, first + 1);
    if (byteClass == kWord) {
      // A word that goes on past the block, or with a byte that the mask leaves out, or the prefix
      // of a literal is left to ReadNext.
      const BlockMask others = ~words_ >> (first - block_);
      if (others != 0) {
        const char* const last = first + LowestBlockBit(others);
        if ((ClassOf(*last) & (kWord | kQuote)) == 0) {
          return Take(token, TokenType::kIdentifier, first, last);
        }
      }
    }
  }
  return ReadNext(token);
}

// The token's end lies within its start's word, so dropping that start leaves the next token's
// the lowest.
bool CodeLexer::Take(Token* token, TokenType kind, const char* first, const char* last) {
  Set(token, kind, first, last);
  p_ = last;
  starts_ &= starts_ - 1;
  atLineStart_ = false;
  return true;
}

bool CodeLexer::ReadNext(Token* token) {
  for (;;) {
    if (starts_ == 0) {
      ScanBlock(std::max(p_, block_ + kBlockSize));
      continue;
    }
    p_ = block_ + LowestBlockBit(starts_);
    if (ClassOf(*p_) == kWord) {
      ReadWordOrLiteral(token);
    } else if (p_ == lineEnd_) {
      if (inDirective_ && !lineContinues_) {
        inDirective_ = false;
        Set(token, TokenType::kDirectiveEnd, p_, p_);
        return true;
      }
      if (!NextLine()) return false;
      continue;
    } else if (IsBlank(*p_)) {  // '\f' or '\v', which the masks leave out
      ++p_;
      Advance();
      continue;
    } else if (*p_ == '/' && (p_[1] == '/' || p_[1] == '*')) {
      SkipComment();
      Advance();
      continue;
    } else {
      ReadToken(token);
    }
    Advance();
    atLineStart_ = false;
    return true;
  }
}

// Lines with no token, which comments often fill, are passed here at once, but for those of a
// directive, whose end is a token.
bool CodeLexer::NextLine() {
  do {
    if (!ReadLine()) return false;
  } while (p_ == lineEnd_ && !inDirective_);
  ScanBlock(p_);
  return true;
}

bool CodeLexer::ReadLine() {
  if (next_ == runEnd_) {
    std::string_view run;
    if (!reader_ || !reader_->NextLines(&run)) return false;
    next_ = run.data();
    runEnd_ = run.data() + run.size();
  }
  p_ = next_;
  lineStart_ = p_;
  const LineEnd end = FindLineEndFromStart(p_);
  next_ = end.feed + 1;
  lineEnd_ = end.text;
  const char* last = lineEnd_;
  while (last > p_ && IsBlank(last[-1])) --last;
  lineContinues_ = last > p_ && last[-1] == '\\';
  if (lineContinues_) lineEnd_ = last - 1;
  ++line_;
  atLineStart_ = true;
  if (inLineComment_) {
    inLineComment_ = lineContinues_;
    p_ = lineEnd_;
  } else if (inBlockComment_) {
    SkipBlockComment();
  } else if (!rawEnd_.empty()) {
    SkipRawLiteral();
  }
  return true;
}

void CodeLexer::ScanBlock(const char* first) {
  // Reads kBlockSize bytes from `first`, past the line's text too, as LineReader's padding allows.
  static_assert(LineReader::kPadding + 1 >= kBlockSize);
  static_assert(kBlockSize % kMaskWidth == 0);
  block_ = first;
  BlockMask blanks = 0;
  BlockMask words = 0;
  for (std::size_t i = 0; i < kBlockSize; i += kMaskWidth) {
    blanks |= BlockMask{EitherByteMask(first + i, ' ', '\t') | ByteMask(first + i, '\r')} << i;
    words |= BlockMask{IdentifierMask(first + i)} << i;
  }
  words_ = words;
  starts_ = ~blanks & ~(words & (words << 1));
  // The line's end is a start too; what follows it is not.
  const auto size = static_cast<std::size_t>(lineEnd_ - first);
  starts_ &= (BlockMask{2} << std::min(size, kBlockSize - 1)) - 1;
}

void CodeLexer::Advance() {
  const auto passed = static_cast<std::size_t>(p_ - block_);
  starts_ &= passed < kBlockSize ? ~BlockMask{0} << passed : 0;
}

void CodeLexer::SkipComment() {
  if (p_[1] == '/') {
    inLineComment_ = lineContinues_;
    p_ = lineEnd_;
  } else {
    p_ += 2;
    SkipBlockComment();
  }
}

// ReadNext's loop reads many tokens through the three below, which are inline so that the
// compiler may fold them into it.
inline void CodeLexer::ReadToken(Token* token) {
  const char c = *p_;
  if (IsDigit(c) || (c == '.' && IsDigit(p_[1]))) return ReadNumber(token);
  if (c == '"' || c == '\'') return ReadQuoted(token, p_);
  const bool directive = c == '#' && atLineStart_ && !inDirective_;
  inDirective_ |= directive;
  Set(token, directive ? TokenType::kDirective : TokenType::kPunctuation, p_, p_ + 1);
  ++p_;
}

inline void CodeLexer::Set(Token* token, TokenType kind, const char* first,
                           const char* last) const {
  token->kind = kind;
  token->text = std::string_view(first, static_cast<std::size_t>(last - first));
  token->line = line_;
  token->firstColumn = first == lineStart_;
}

// The word's end is mostly in the block's mask; the byte loop takes over at a byte it leaves out.
inline void CodeLexer::ReadWordOrLiteral(Token* token) {
  const char* const first = p_;
  const BlockMask others = ~words_ >> (first - block_);
  p_ = others != 0 ? first + LowestBlockBit(others) : block_ + kBlockSize;
  if (IsWordByte(*p_)) p_ = WordEnd(p_);
  if (*p_ == '"' || *p_ == '\'') {
    const std::string_view word(first, static_cast<std::size_t>(p_ - first));
    if (*p_ == '"' && IsRawPrefix(word)) return ReadRawLiteral(token, first);
    if (IsLiteralPrefix(word)) return ReadQuoted(token, first);
  }
  Set(token, TokenType::kIdentifier, first, p_);
}

// A literal left open at its line's end ends there.
void CodeLexer::ReadQuoted(Token* token, const char* first) {
  const char* p = p_;
  while (*p != '"' && *p != '\'') ++p;
  const char quote = *p++;
  while (p < lineEnd_ && *p != quote) p += *p == '\\' ? 2 : 1;
  if (p > lineEnd_) p = lineEnd_;
  if (p < lineEnd_) ++p;
  p_ = p;
  Set(token, TokenType::kLiteral, first, p_);
}

void CodeLexer::ReadRawLiteral(Token* token, const char* first) {
  const char* const open =
      static_cast<const char*>(std::memchr(p_, '(', static_cast<std::size_t>(lineEnd_ - p_)));
  if (open == nullptr) return ReadQuoted(token, first);
  rawEnd_ = ")" + std::string(p_ + 1, open) + "\"";
  p_ = open + 1;
  Set(token, TokenType::kLiteral, first, p_);
  SkipRawLiteral();
}

void CodeLexer::SkipRawLiteral() {
  const std::string_view rest(p_, static_cast<std::size_t>(lineEnd_ - p_));
  const std::size_t end = rest.find(rawEnd_);
  if (end == std::string_view::npos) {
    p_ = lineEnd_;
    return;
  }
  p_ += end + rawEnd_.size();
  rawEnd_.clear();
}

void CodeLexer::SkipBlockComment() {
  const char* const end = FindCommentEnd(p_, lineEnd_);
  inBlockComment_ = end == lineEnd_;
  p_ = inBlockComment_ ? lineEnd_ : end + 2;
}

// Digits, letters, '.', digit separators, and a sign after an exponent.
void CodeLexer::ReadNumber(Token* token) {
  const char* const first = p_;
  const char* p = p_;
  for (;; ++p) {
    const char c = *p;
    const bool sign =
        (c == '+' || c == '-') && (p[-1] == 'e' || p[-1] == 'E' || p[-1] == 'p' || p[-1] == 'P');
    if (!IsWordByte(c) && c != '.' && c != '\'' && !sign) break;
  }
  p_ = p;
  Set(token, TokenType::kNumber, first, p_);
}

}  // namespace lexpaint
