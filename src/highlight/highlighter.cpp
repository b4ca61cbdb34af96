#include "highlighter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "byte_masks.h"

namespace lexpaint {
namespace {

constexpr std::string_view kTabText = "    ";
constexpr std::string_view kOperatorChars = "!%&()*+,-./:;<=>?[]^{|}~";
constexpr std::string_view kNumberChars = "0123456789xo.+-fFeE";
constexpr std::string_view kClassNames[] = {"Identifier", "Comment", "Keyword",     "Operator",
                                            "Number",     "String",  "Preprocessor"};

// Character classes of the "C" locale, looked up by unsigned byte value; bytes from 0x80 up
// belong to none.
enum CharClass : unsigned char {
  kSpace = 1,
  kOperator = 2,
  kDigit = 4,
  kLetter = 8,
  kNumberPart = 16,  // may continue a number
};

constexpr std::array<unsigned char, 256> MakeCharClasses() {
  std::array<unsigned char, 256> classes{};
  for (char c : std::string_view(" \t\n\v\f\r")) classes[static_cast<unsigned char>(c)] |= kSpace;
  for (char c : kOperatorChars) classes[static_cast<unsigned char>(c)] |= kOperator;
  for (char c : kNumberChars) classes[static_cast<unsigned char>(c)] |= kNumberPart;
  for (int c = '0'; c <= '9'; ++c) classes[c] |= kDigit;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] |= kLetter;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] |= kLetter;
  return classes;
}

constexpr std::array<unsigned char, 256> kCharClasses = MakeCharClasses();

bool Is(char c, unsigned char classes) {
  return (kCharClasses[static_cast<unsigned char>(c)] & classes) != 0;
}

// What a character says about the run it starts. '/' and the quotes need a look at their
// neighbours before ChooseState can tell.
enum StartClass : unsigned char {
  kStartsNothing,
  kStartsSpace,
  kStartsWord,
  kStartsOperator,
  kStartsNumber,
  kStartsDirective,
  kStartsSlash,
  kStartsQuote
};

constexpr std::array<unsigned char, 256> MakeStartClasses() {
  std::array<unsigned char, 256> starts{};
  for (int c = 0; c < 256; ++c) {
    const unsigned char classes = kCharClasses[c];
    if (classes & kLetter) starts[c] = kStartsWord;
    if (classes & kSpace) starts[c] = kStartsSpace;
    if (classes & kDigit) starts[c] = kStartsNumber;
    if (classes & kOperator) starts[c] = kStartsOperator;
  }
  starts['_'] = kStartsWord;
  starts['#'] = kStartsDirective;
  starts['/'] = kStartsSlash;
  starts['"'] = kStartsQuote;
  starts['\''] = kStartsQuote;
  return starts;
}

constexpr std::array<unsigned char, 256> kStartClasses = MakeStartClasses();

// "<span class=\"Kind\">" for each kind, padded so that it can be copied as one fixed-size block.
struct OpenTag {
  char text[32];
  std::size_t size;
};

constexpr std::size_t kOpenTagBlock = sizeof(OpenTag::text);
constexpr char kCloseTag[] = "</span>";  // stored with its NUL, a whole 8-byte block
constexpr std::size_t kCloseTagSize = sizeof kCloseTag - 1;

constexpr OpenTag MakeOpenTag(std::string_view className) {
  OpenTag tag{};
  for (char c : std::string_view("<span class=\"")) tag.text[tag.size++] = c;
  for (char c : className) tag.text[tag.size++] = c;
  for (char c : std::string_view("\">")) tag.text[tag.size++] = c;
  return tag;
}

constexpr OpenTag kOpenTags[] = {MakeOpenTag(kClassNames[0]), MakeOpenTag(kClassNames[1]),
                                 MakeOpenTag(kClassNames[2]), MakeOpenTag(kClassNames[3]),
                                 MakeOpenTag(kClassNames[4]), MakeOpenTag(kClassNames[5]),
                                 MakeOpenTag(kClassNames[6])};

// The longest text a character escapes to ("&amp;", "&#13;").
constexpr std::size_t kMaxEscapedSize = 5;
// WriteRange escapes at most this many characters per call to the output buffer, so that their
// worst case fits in it.
constexpr std::size_t kRangeChunk = 8192;
static_assert(kRangeChunk * kMaxEscapedSize + kMaskWidth <= OutputBuffer::kCapacity);
static_assert(LineReader::kPadding >= kMaskWidth, "scans load whole masks past a line's end");

// Index of the first NUL in `text`, or its size.
std::size_t FirstNul(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); i += kMaskWidth) {
    const unsigned nuls = ByteMask(text.data() + i, '\0');
    if (nuls != 0) return std::min(i + LowestBit(nuls), text.size());
  }
  return text.size();
}

// Words and numbers hold none of "&<>" and no CR, which are space, operator or neither.
bool NeedsEscaping(TokenKind kind) {
  return kind != TokenKind::Identifier && kind != TokenKind::Keyword && kind != TokenKind::Number;
}

}  // namespace

std::string_view ClassName(TokenKind kind) { return kClassNames[static_cast<int>(kind)]; }

Highlighter::Highlighter(std::istream& input, std::ostream& output, KeywordSet keywords)
    : keywords_(std::move(keywords)), reader_(input), output_(output) {}

void Highlighter::Run() {
  state_ = StateNone;
  std::string_view raw;
  while (reader_.Next(&raw)) {
    line_ = raw.substr(0, FirstNul(raw));  // a line's text ends at its first NUL
    ScanLine();
    output_.Put('\n');
  }
  output_.Flush();
}

void Highlighter::ScanLine() {
  std::size_t i = 0;
  while (i < line_.size()) {
    if (state_ == StateNone) state_ = ChooseState(i);
    switch (state_) {
      case StateNone:
        WritePlain(i);
        break;
      case StateSpace:
        ScanSpace(i);
        break;
      case StateWord:
        ScanWord(i);
        break;
      case StateOperator:
        ScanOperator(i);
        break;
      case StateLiteral:
        ScanLiteral(i);
        break;
      case StateNumber:
        ScanNumber(i);
        break;
      case StateDirective:
        ScanDirective(i);
        break;
      case StateComment:
        ScanComment(i);
        break;
    }
  }
}

// Returns the state whose run starts at `i`, or StateNone for a character that starts no token.
// A '.' is an operator character, so a number can only start with a digit.
inline Highlighter::ScanState Highlighter::ChooseState(std::size_t i) const {
  switch (kStartClasses[static_cast<unsigned char>(line_[i])]) {
    case kStartsSpace:
      return StateSpace;
    case kStartsWord:
      return StateWord;
    case kStartsOperator:
      return StateOperator;
    case kStartsNumber:
      return StateNumber;
    case kStartsDirective:
      return StateDirective;
    case kStartsSlash:
      return IsCommentStart(i) ? StateComment : StateOperator;
    case kStartsQuote:
      return IsQuoteAt(i) ? StateLiteral : StateNone;
  }
  return StateNone;
}

bool Highlighter::IsCommentStart(std::size_t i) const {
  return line_[i] == '/' && i + 1 < line_.size() && (line_[i + 1] == '/' || line_[i + 1] == '*');
}

bool Highlighter::IsQuoteAt(std::size_t i) const {
  return (line_[i] == '"' || line_[i] == '\'') && (i == 0 || line_[i - 1] != '\\');
}

inline void Highlighter::WritePlain(std::size_t& i) {
  WriteRange(i, i + 1);
  ++i;
}

inline void Highlighter::ScanSpace(std::size_t& i) {
  // Most runs are a single blank between tokens; the byte after the line is readable padding.
  if (line_[i] == ' ' && !Is(line_[i + 1], kSpace)) {
    output_.Put(' ');
    ++i;
    state_ = StateNone;
    return;
  }
  const char* const text = line_.data();
  const std::size_t size = line_.size();
  std::size_t pending = i;
  for (; i < size && Is(text[i], kSpace); ++i) {
    if (text[i] == '\t') {
      WriteRange(pending, i);
      output_.Append(kTabText);
      pending = i + 1;
    }
  }
  WriteRange(pending, i);
  state_ = StateNone;
}

inline void Highlighter::ScanWord(std::size_t& i) {
  const std::size_t first = i;
  i = WordEnd(i);
  const bool keyword = IsKeyword(line_.substr(first, i - first));
  WriteToken(first, i, keyword ? TokenKind::Keyword : TokenKind::Identifier);
  state_ = StateNone;
}

// A word runs to the next space or operator character. Letters, digits and '_' are skipped a
// mask at a time; anything else (a quote, '#', a byte from 0x80 up) is looked up on its own.
inline std::size_t Highlighter::WordEnd(std::size_t i) const {
  const std::size_t size = line_.size();
  while (i < size) {
    const unsigned others = ~IdentifierMask(line_.data() + i) & 0xFFFFu;
    if (others == 0) {
      i += kMaskWidth;
      continue;
    }
    i += LowestBit(others);
    if (i >= size || Is(line_[i], kSpace | kOperator)) break;
    ++i;
  }
  return std::min(i, size);
}

// End of the run from `i` on of characters in `classes`.
inline std::size_t Highlighter::RunEnd(std::size_t i, unsigned char classes) const {
  const char* const text = line_.data();
  const std::size_t size = line_.size();
  while (i < size && Is(text[i], classes)) ++i;
  return i;
}

inline void Highlighter::ScanOperator(std::size_t& i) {
  const std::size_t first = i;
  i = RunEnd(i, kOperator);
  WriteToken(first, i, TokenKind::Operator);
  state_ = StateNone;
}

inline void Highlighter::ScanNumber(std::size_t& i) {
  const std::size_t first = i;
  i = RunEnd(i, kNumberPart);
  WriteToken(first, i, TokenKind::Number);
  state_ = StateNone;
}

inline void Highlighter::ScanDirective(std::size_t& i) {
  const std::size_t first = i;
  while (i < line_.size() && !Is(line_[i], kSpace)) ++i;
  WriteToken(first, i, TokenKind::Preprocessor);
  state_ = StateNone;
}

void Highlighter::ScanLiteral(std::size_t& i) {
  const std::size_t first = i;
  if (line_[i] == '"') inDoubleQuote_ = true;
  // The first character never closes the literal; on a continuation line it is simply the
  // line's first character.
  for (++i; (i = NextQuoteChar(i)) < line_.size(); ++i) {
    if (!IsQuoteAt(i)) continue;
    if (!inDoubleQuote_) {
      ++i;
      break;
    }
    if (line_[i] != '\'') {
      inDoubleQuote_ = false;
      ++i;
      break;
    }
  }
  if (i < line_.size()) {
    WriteToken(first, i, TokenKind::String);
    state_ = StateNone;
    return;
  }
  const std::size_t backslash = FindContinuation();
  if (backslash == std::string_view::npos) {
    WriteToken(first, i, TokenKind::String);
    state_ = StateNone;
    return;
  }
  // The literal goes on in the next line; the white space after the backslash is dropped.
  WriteToken(first, backslash, TokenKind::String);
  output_.Put('\\');
}

// Index of the first quote character from `i` on, or the line's size.
std::size_t Highlighter::NextQuoteChar(std::size_t i) const {
  const std::size_t size = line_.size();
  for (; i < size; i += kMaskWidth) {
    const unsigned quotes = EitherByteMask(line_.data() + i, '"', '\'');
    if (quotes != 0) return std::min(i + LowestBit(quotes), size);
  }
  return size;
}

std::size_t Highlighter::FindContinuation() const {
  std::size_t i = line_.size();
  while (i > 0 && Is(line_[i - 1], kSpace)) --i;
  if (i > 0 && line_[i - 1] == '\\') return i - 1;
  return std::string_view::npos;
}

void Highlighter::ScanComment(std::size_t& i) {
  const std::size_t first = i;
  if (!inBlockComment_) {
    if (i + 1 < line_.size() && line_[i + 1] == '/') {
      i = line_.size();
      WriteToken(first, i, TokenKind::Comment);
      state_ = StateNone;
      return;
    }
    inBlockComment_ = true;
  }
  // The search starts on the opener's '/', so "/*/" is a whole comment.
  i = BlockCommentEnd(i);
  if (i == std::string_view::npos) {
    i = line_.size();
  } else {
    inBlockComment_ = false;
    state_ = StateNone;
  }
  WriteToken(first, i, TokenKind::Comment);
}

std::size_t Highlighter::BlockCommentEnd(std::size_t i) const {
  const std::size_t size = line_.size();
  while (i < size) {
    const unsigned stars = ByteMask(line_.data() + i, '*');
    if (stars == 0) {
      i += kMaskWidth;
      continue;
    }
    i += LowestBit(stars);
    if (i + 1 < size && line_[i + 1] == '/') return i + 2;
    ++i;
  }
  return std::string_view::npos;
}

inline void Highlighter::WriteToken(std::size_t first, std::size_t end, TokenKind kind) {
  if (end - first > kRangeChunk) {
    WriteLongToken(first, end, kind);
    return;
  }
  char* out = output_.Reserve(kOpenTagBlock + (end - first) * kMaxEscapedSize + kMaskWidth +
                              sizeof kCloseTag);
  const OpenTag& open = kOpenTags[static_cast<int>(kind)];
  std::memcpy(out, open.text, kOpenTagBlock);
  out = NeedsEscaping(kind) ? Escape(first, end, out + open.size)
                            : CopyPlain(first, end, out + open.size);
  std::memcpy(out, kCloseTag, sizeof kCloseTag);
  output_.Advance(out + kCloseTagSize);
}

void Highlighter::WriteLongToken(std::size_t first, std::size_t end, TokenKind kind) {
  const OpenTag& open = kOpenTags[static_cast<int>(kind)];
  output_.Append(std::string_view(open.text, open.size));
  WriteLongRange(first, end);
  output_.Append(std::string_view(kCloseTag, kCloseTagSize));
}

inline void Highlighter::WriteRange(std::size_t first, std::size_t end) {
  if (end - first > kRangeChunk) {
    WriteLongRange(first, end);
    return;
  }
  char* out = output_.Reserve((end - first) * kMaxEscapedSize + kMaskWidth);
  output_.Advance(Escape(first, end, out));
}

void Highlighter::WriteLongRange(std::size_t first, std::size_t end) {
  while (first < end) {
    const std::size_t size = std::min(end - first, kRangeChunk);
    WriteRange(first, first + size);
    first += size;
  }
}

// Copies line_[first, end) to `out` a mask's width at a time; the room Escape needs is enough.
inline char* Highlighter::CopyPlain(std::size_t first, std::size_t end, char* out) const {
  for (std::size_t i = first; i < end; i += kMaskWidth) {
    std::memcpy(out + (i - first), line_.data() + i, kMaskWidth);
  }
  return out + (end - first);
}

// Copies a mask's width of bytes at a time, then steps back to just after the last plain one.
inline char* Highlighter::Escape(std::size_t first, std::size_t end, char* out) const {
  const char* p = line_.data() + first;
  const char* const stop = line_.data() + end;
  while (p < stop) {
    const unsigned escapable = EscapableMask(p);
    std::memcpy(out, p, kMaskWidth);
    const std::size_t left = static_cast<std::size_t>(stop - p);
    if (escapable == 0) {
      if (left <= kMaskWidth) return out + left;
      p += kMaskWidth;
      out += kMaskWidth;
      continue;
    }
    const std::size_t plain = LowestBit(escapable);
    if (plain >= left) return out + left;
    out = EscapeChar(p + plain, out + plain);
    p += plain + 1;
  }
  return out;
}

char* Highlighter::EscapeChar(const char* c, char* out) const {
  std::string_view entity;
  switch (*c) {
    case '&':
      entity = "&amp;";
      break;
    case '<':
      entity = "&lt;";
      break;
    case '>':
      entity = "&gt;";
      break;
    default:  // '\r'
      // A bare CR ending a CR LF line would show as a line break of its own in a browser.
      if (c + 1 != line_.data() + line_.size()) {
        *out = *c;
        return out + 1;
      }
      entity = "&#13;";
  }
  std::memcpy(out, entity.data(), kMaxEscapedSize);
  return out + entity.size();
}

}  // namespace lexpaint
