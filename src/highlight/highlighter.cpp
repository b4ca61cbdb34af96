#include "highlighter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "byte_masks.h"
#include "char_classes.h"
#include "include_directive.h"
#include "span_tags.h"

// The scan loop is compiled once for each kind of run and page (see ScanLines); each copy must
// still take its per-token scanners inline, or every token pays a call and the loop's registers.
#define LEXPAINT_SCAN_INLINE [[gnu::always_inline]] inline

namespace lexpaint {
namespace {

constexpr char kTabText[] = "    ";
constexpr char kBlanks[] = "                ";  // kMaskWidth blanks
// The longest text a character escapes to ("&amp;", "&#13;").
constexpr std::size_t kMaxEscapedSize = 5;
// Text is escaped into the output buffer at most this many characters at a time, so that their
// worst case fits in it.
constexpr std::size_t kRangeChunk = 8192;
static_assert(kRangeChunk * kMaxEscapedSize + kMaskWidth <= OutputBuffer::kCapacity);

// A run of lines (see LineReader::NextLines) of up to kRunSize bytes has room for its largest
// output reserved before it is scanned, so that its tokens need not check for room (nor for
// chunks): each byte may start a token, and the largest reservation any writer asks for, at a
// token's start, fits in kOutputSlack beyond those.
static_assert(LineReader::kRunSize <= kRangeChunk);
constexpr std::size_t kMaxOutputPerByte = kOpenTagBlock + kMaxEscapedSize + sizeof kCloseTag;
constexpr std::size_t kOutputSlack = kOpenTagBlock + kMaskWidth + sizeof kCloseTag + 1;
// Each byte may also end a line, which the next line's anchor follows.
template <bool numbered>
constexpr std::size_t MaxOutputSize(std::size_t runSize) {
  const std::size_t perByte = kMaxOutputPerByte + (numbered ? LineAnchor::kBlockSize : 0);
  return perByte * runSize + kOutputSlack + (numbered ? LineAnchor::kBlockSize : 0);
}
static_assert(MaxOutputSize<true>(LineReader::kRunSize) <= OutputBuffer::kCapacity);
static_assert(LineReader::kPadding >= kMaskWidth, "scans load whole masks past a line's end");

// The text each byte is written as: itself, or the entity of a character that markup reserves. A
// CR, whose text depends on where it lies, is left to EscapeChar.
struct ByteText {
  char text[7];
  unsigned char size;
};

constexpr std::array<ByteText, 256> MakeByteTexts() {
  std::array<ByteText, 256> texts{};
  for (int c = 0; c < 256; ++c) texts[c] = {{static_cast<char>(c)}, 1};
  texts['&'] = {"&amp;", 5};
  texts['<'] = {"&lt;", 4};
  texts['>'] = {"&gt;", 4};
  return texts;
}

constexpr std::array<ByteText, 256> kByteTexts = MakeByteTexts();

// Words and numbers hold none of "&<>" and no CR, which are space, operator or neither.
bool NeedsEscaping(TokenKind kind) {
  return kind != TokenKind::Identifier && kind != TokenKind::Keyword && kind != TokenKind::Number;
}

// The end of the run of blanks from `p` on.
const char* BlankRunEnd(const char* p) {
  for (;;) {
    const std::size_t run = LowestBit(~ByteMask(p, ' '));
    p += run;
    if (run < kMaskWidth) return p;
  }
}

// 1 if `p`, at most the end of a line's text, holds a blank that is the whole white-space run
// between two tokens, else 0.
std::size_t LoneBlankAt(const char* p) { return p[0] == ' ' && !Is(p[1], kSpace); }

// The end of the text of the line that `p` lies in: its first NUL or its line feed.
const char* TextEnd(const char* p) {
  for (;; p += kMaskWidth) {
    const unsigned ends = EitherByteMask(p, '\n', '\0');
    if (ends != 0) return p + LowestBit(ends);
  }
}

// The line feed that ends the line that `p` lies in.
const char* LineFeedAfter(const char* p) {
  for (;; p += kMaskWidth) {
    const unsigned feeds = ByteMask(p, '\n');
    if (feeds != 0) return p + LowestBit(feeds);
  }
}

// Copies [first, last) to `out` a mask's width at a time; the room Escape needs is enough. Most
// words take the first copy alone.
char* CopyPlain(const char* first, const char* last, char* out) {
  const char* p = first;
  char* o = out;
  do {
    std::memcpy(o, p, kMaskWidth);
    p += kMaskWidth;
    o += kMaskWidth;
  } while (p < last);
  return out + (last - first);
}

}  // namespace

std::string_view ClassName(TokenKind kind) { return kClassNames[static_cast<int>(kind)]; }

Highlighter::Highlighter(std::istream& input, std::ostream& output, KeywordSet keywords,
                         HighlightOptions options)
    : keywords_(std::move(keywords)), options_(options), reader_(input), output_(output) {}

void Highlighter::Run() {
  state_ = StateNone;
  const bool linked = options_.includeHref || options_.nameHref;
  if (options_.lineNumbers) {
    linked ? ScanLines<true, true>() : ScanLines<true, false>();
  } else {
    linked ? ScanLines<false, true>() : ScanLines<false, false>();
  }
  output_.Flush();
}

// A run of lines longer than kRunSize is one long line, whose tokens reserve their own room; the
// scan is compiled for each case, so that neither tests which it is at every token.
template <bool numbered, bool linked>
void Highlighter::ScanLines() {
  std::string_view lines;
  char* out = output_.cursor();
  while (reader_.NextLines(&lines)) {
    const char* const last = lines.data() + lines.size();
    if (lines.size() <= LineReader::kRunSize) {
      out = output_.Room(out, MaxOutputSize<numbered>(lines.size()));
      out = ScanRun<true, numbered, linked>(lines.data(), last, out);
    } else {
      out = ScanRun<false, numbered, linked>(lines.data(), last, out);
    }
  }
  output_.Advance(out);
}

// Scans each line of [p, last) a token at a time, after finishing a token the line before left
// open; the loops share one function so that their pointers stay in registers. A '.' is an
// operator character, so a number can only start with a digit. Every scan stops at the end of a
// line's text, whose NUL or line feed starts no token, so none compares against a length.
template <bool roomy, bool numbered, bool linked>
char* Highlighter::ScanRun(const char* p, const char* last, char* out) {
  // `out` is handed back to output_ around the scanners that do not take it.
  if constexpr (numbered) out = WriteLineAnchor<roomy>(out);
  if constexpr (linked) ++line_;
  p = StartLine(p, out);
  for (;;) {
    if constexpr (linked) {
      if (link_.close != nullptr && p >= link_.close)
        out = CloseLink<roomy, numbered>(p, last, out);
      if (p == link_.open) out = OpenLink<roomy, numbered>(p, last, out);
    }
    switch (StartClassOf(*p)) {
      case kStartsSpace:
        p = ScanSpace(p, out, roomy);
        continue;
      case kStartsWord:
        if constexpr (linked) {
          if (options_.nameHref && !includeLine_) {
            p = ScanLinkedWord<roomy, numbered>(p, last, out);
            continue;
          }
        }
        p = ScanWord(p, out, roomy);
        continue;
      case kStartsOperator:
        p = ScanOperator(p, out, roomy);
        continue;
      case kStartsNumber:
        p = ScanNumber(p, out, roomy);
        continue;
      case kStartsDirective:
        if constexpr (linked) {
          PrepareIncludeLink(p);
          if (p == link_.open) out = OpenLink<roomy, numbered>(p, last, out);
        }
        p = ScanDirective(p, out, roomy);
        continue;
      case kStartsSlash:
        if (!IsCommentStart(p)) {
          p = ScanOperator(p, out, roomy);
          continue;
        }
        state_ = StateComment;
        output_.Advance(out);
        p = ScanComment(p);
        out = output_.cursor();
        continue;
      case kStartsOther:
        output_.Advance(out);
        if (IsQuoteAt(p)) {
          state_ = StateLiteral;
          p = ScanLiteral(p);
        } else {
          p = WritePlain(p);
        }
        out = output_.cursor();
        continue;
      case kStartsLineEnd:
        // A link that did not find its token start stays unwritten.
        if constexpr (linked) {
          link_.open = nullptr;
          includeLine_ = false;
        }
        // What follows a NUL is not part of the line's text.
        if (*p == '\0') p = LineFeedAfter(p);
        if (!roomy) out = output_.Room(out, 1);
        *out++ = '\n';
        if (++p == last) return out;
        if constexpr (numbered) out = WriteLineAnchor<roomy>(out);
        if constexpr (linked) ++line_;
        p = StartLine(p, out);
        continue;
    }
  }
}

// The link opens at the token that holds the opening delimiter. That is the delimiter itself,
// unless it follows "include" with no blank between: then "#include<" is one directive token, and
// in "# include\"" the word takes the quote.
void Highlighter::PrepareIncludeLink(const char* p) {
  const char* lineStart = p;
  while (lineStart[-1] == ' ' || lineStart[-1] == '\t') --lineStart;
  if (lineStart[-1] != '\n') return;
  const std::optional<IncludeDirective> directive =
      ParseIncludeDirective(std::string_view(p, static_cast<std::size_t>(TextEnd(p) - p)));
  if (!directive) return;
  includeLine_ = true;
  if (!options_.includeHref) return;
  std::string href = options_.includeHref(directive->name, directive->angled);
  if (href.empty() || href.size() > kRangeChunk) return;
  const char* const open = p + directive->open;
  const char* start = open;
  if (!Is(open[-1], kSpace)) {
    if (!Is(p[1], kSpace)) {
      start = p;
    } else if (*open == '"') {
      start = open - (sizeof "include" - 1);
    }
  }
  link_.open = start;
  link_.end = p + directive->close;
  link_.href = std::move(href);
}

template <bool roomy, bool numbered>
char* Highlighter::OpenLink(const char* p, const char* last, char* out) {
  out = WriteLinkStart<roomy, numbered>(link_.href, p, last, out);
  link_.open = nullptr;
  link_.close = link_.end;
  return out;
}

// A token that takes the lone blank after it has written it already, after its close tag; the
// link closes before that blank.
template <bool roomy, bool numbered>
char* Highlighter::CloseLink(const char* p, const char* last, char* out) {
  const bool blank = p[-1] == ' ' && out[-1] == ' ' && out[-2] == '>';
  out = WriteLinkEnd<roomy, numbered>(p - blank, last, out - blank);
  if (blank) *out++ = ' ';
  link_.close = nullptr;
  return out;
}

template <bool roomy, bool numbered>
char* Highlighter::WriteLinkStart(std::string_view href, const char* p, const char* last,
                                  char* out) {
  constexpr std::string_view kOpen = "<a href=\"";
  constexpr std::string_view kOpenEnd = "\">";
  const std::size_t size = kOpen.size() + href.size() + kOpenEnd.size();
  out = output_.Room(out, size + (roomy ? MaxOutputSize<numbered>(last - p) : 0));
  for (std::string_view part : {kOpen, href, kOpenEnd}) {
    std::memcpy(out, part.data(), part.size());
    out += part.size();
  }
  return out;
}

// Room is kept for the rest of the run from `p` on, a blank that precedes it included.
template <bool roomy, bool numbered>
char* Highlighter::WriteLinkEnd(const char* p, const char* last, char* out) {
  constexpr std::string_view kClose = "</a>";
  out = output_.Room(out, kClose.size() + (roomy ? MaxOutputSize<numbered>(last - p) : 0));
  std::memcpy(out, kClose.data(), kClose.size());
  return out + kClose.size();
}

// An identifier that links is wrapped, span and all, with the lone blank after it outside. A word
// inside an include's link, or where one opens, does not link: links do not nest.
template <bool roomy, bool numbered>
const char* Highlighter::ScanLinkedWord(const char* p, const char* last, char*& out) {
  const char* const first = p;
  p = WordEnd(p);
  const std::string_view word(first, static_cast<std::size_t>(p - first));
  const std::size_t blank = LoneBlankAt(p);
  if (IsKeyword(word)) {
    out = WriteSpan(out, first, p, TokenKind::Keyword, false, blank, roomy);
    return p + blank;
  }
  std::string_view href;
  if (link_.close == nullptr && first != link_.open) href = options_.nameHref(word, line_);
  if (href.empty() || href.size() > kRangeChunk) {
    out = WriteSpan(out, first, p, TokenKind::Identifier, false, blank, roomy);
    return p + blank;
  }
  out = WriteLinkStart<roomy, numbered>(href, first, last, out);
  out = WriteSpan(out, first, p, TokenKind::Identifier, false, 0, roomy);
  out = WriteLinkEnd<roomy, numbered>(p, last, out);
  if (blank != 0) *out++ = ' ';
  return p + blank;
}

template <bool roomy>
LEXPAINT_SCAN_INLINE char* Highlighter::WriteLineAnchor(char* out) {
  if (!roomy) out = output_.Room(out, LineAnchor::kBlockSize);
  out = anchor_.Write(out);
  anchor_.Next();
  return out;
}

LEXPAINT_SCAN_INLINE const char* Highlighter::StartLine(const char* p, char*& out) {
  if (state_ == StateNone || Is(*p, kTextEnd)) return p;
  output_.Advance(out);
  p = ContinueToken(p);
  out = output_.cursor();
  return p;
}

const char* Highlighter::ContinueToken(const char* p) {
  if (state_ == StateLiteral) p = ScanLiteral(p);
  if (!Is(*p, kTextEnd) && state_ == StateComment) p = ScanComment(p);
  return p;
}

bool Highlighter::IsCommentStart(const char* p) const { return p[1] == '/' || p[1] == '*'; }

// The byte before a line is a line feed, so a quote may look back at its line's start too.
bool Highlighter::IsQuoteAt(const char* p) const {
  return (*p == '"' || *p == '\'') && p[-1] != '\\';
}

const char* Highlighter::WritePlain(const char* p) {
  WriteRange(p, p + 1);
  return p + 1;
}

// Most runs are blanks alone, copied as they are; tabs, CR and the rest take WriteSpaces unless
// the line has room reserved and the run holds blanks and tabs alone.
LEXPAINT_SCAN_INLINE const char* Highlighter::ScanSpace(const char* p, char*& out, bool roomy) {
  const char* last = BlankRunEnd(p);
  if (!Is(*last, kSpace)) {
    out = WriteBlanks(out, static_cast<std::size_t>(last - p), roomy);
    return last;
  }
  if (roomy) {
    // Runs of blanks and tabs, most of the rest, expand in the room the line has.
    char* o = out;
    for (last = p;; ++last) {
      if (*last == ' ') {
        *o++ = ' ';
      } else if (*last == '\t') {
        std::memcpy(o, kTabText, sizeof kTabText - 1);
        o += sizeof kTabText - 1;
      } else {
        break;
      }
    }
    if (!Is(*last, kSpace)) {
      out = o;
      return last;
    }
  }
  while (Is(*last, kSpace)) ++last;
  output_.Advance(out);
  WriteSpaces(p, last);
  out = output_.cursor();
  return last;
}

// Letters, digits and '_' are skipped a mask at a time; anything else but a space or an operator
// character (a quote, '#', a byte from 0x80 up) goes on the word too.
LEXPAINT_SCAN_INLINE const char* Highlighter::WordEnd(const char* p) {
  for (;;) {
    const unsigned others = ~IdentifierMask(p) & 0xFFFFu;
    p += others == 0 ? kMaskWidth : LowestBit(others);
    if (others != 0) {
      if (Is(*p, kSpace | kOperator | kTextEnd)) return p;
      ++p;
    }
  }
}

LEXPAINT_SCAN_INLINE const char* Highlighter::ScanWord(const char* p, char*& out, bool roomy) {
  const char* const first = p;
  p = WordEnd(p);
  const bool keyword = IsKeyword(std::string_view(first, static_cast<std::size_t>(p - first)));
  const std::size_t blank = LoneBlankAt(p);
  out = WriteSpan(out, first, p, keyword ? TokenKind::Keyword : TokenKind::Identifier, false, blank,
                  roomy);
  return p + blank;
}

LEXPAINT_SCAN_INLINE const char* Highlighter::ScanOperator(const char* p, char*& out, bool roomy) {
  const char* const first = p;
  if (!roomy) {
    while (Is(*++p, kOperator)) {
    }
    const std::size_t blank = LoneBlankAt(p);
    out = WriteSpan(out, first, p, TokenKind::Operator, true, blank, false);
    return p + blank;
  }
  // Operators are short and a third of them hold a character to escape, so each character is
  // written as it is scanned.
  char* o = OpenSpan(out, TokenKind::Operator);
  do {
    const ByteText& text = kByteTexts[static_cast<unsigned char>(*p)];
    std::memcpy(o, &text, sizeof text);
    o += text.size;
  } while (Is(*++p, kOperator));
  const std::size_t blank = LoneBlankAt(p);
  out = CloseSpan(o, blank);
  return p + blank;
}

LEXPAINT_SCAN_INLINE const char* Highlighter::ScanNumber(const char* p, char*& out, bool roomy) {
  const char* const first = p;
  while (Is(*p, kNumberPart)) ++p;
  const std::size_t blank = LoneBlankAt(p);
  out = WriteSpan(out, first, p, TokenKind::Number, false, blank, roomy);
  return p + blank;
}

LEXPAINT_SCAN_INLINE const char* Highlighter::ScanDirective(const char* p, char*& out, bool roomy) {
  const char* const first = p;
  while (!Is(*p, kSpace | kTextEnd)) ++p;
  const std::size_t blank = LoneBlankAt(p);
  out = WriteSpan(out, first, p, TokenKind::Preprocessor, true, blank, roomy);
  return p + blank;
}

const char* Highlighter::ScanLiteral(const char* p) {
  const char* const first = p;
  const char* const end = TextEnd(p);
  if (*p == '"') inDoubleQuote_ = true;
  // The first character never closes the literal; on a continuation line it is simply the
  // line's first character.
  for (++p; p < end; ++p) {
    const unsigned quotes = EitherByteMask(p, '"', '\'');
    if (quotes == 0) {
      p += kMaskWidth - 1;
      continue;
    }
    p += LowestBit(quotes);
    if (p >= end) break;
    if (!IsQuoteAt(p)) continue;
    if (!inDoubleQuote_) {
      ++p;
      break;
    }
    if (*p != '\'') {
      inDoubleQuote_ = false;
      ++p;
      break;
    }
  }
  if (p < end) {
    WriteToken(first, p, TokenKind::String);
    state_ = StateNone;
    return p;
  }
  const char* const backslash = FindContinuation(first, end);
  if (backslash == nullptr) {
    WriteToken(first, end, TokenKind::String);
    state_ = StateNone;
    return end;
  }
  // The literal goes on in the next line; the white space after the backslash is dropped.
  WriteToken(first, backslash, TokenKind::String);
  output_.Put('\\');
  return end;
}

// A literal that does not start its line starts with a quote, so looking back no further than its
// first character is looking back no further than the line's start.
const char* Highlighter::FindContinuation(const char* first, const char* end) {
  const char* p = end;
  while (p > first && Is(p[-1], kSpace)) --p;
  if (p > first && p[-1] == '\\') return p - 1;
  return nullptr;
}

const char* Highlighter::ScanComment(const char* p) {
  const char* const first = p;
  if (!inBlockComment_) {
    if (p[1] == '/') {
      const char* const end = TextEnd(p);
      WriteToken(first, end, TokenKind::Comment);
      state_ = StateNone;
      return end;
    }
    inBlockComment_ = true;
  }
  // The search starts on the opener's '/', so "/*/" is a whole comment. It stops at the first
  // star, or at the end of the text, whichever comes first.
  for (;;) {
    const unsigned stops = EitherByteMask(p, '\n', '\0') | ByteMask(p, '*');
    if (stops == 0) {
      p += kMaskWidth;
      continue;
    }
    p += LowestBit(stops);
    if (*p != '*') break;
    if (p[1] == '/') {
      p += 2;
      inBlockComment_ = false;
      state_ = StateNone;
      WriteToken(first, p, TokenKind::Comment);
      return p;
    }
    ++p;
  }
  WriteToken(first, p, TokenKind::Comment);
  return p;
}

inline void Highlighter::WriteToken(const char* first, const char* last, TokenKind kind) {
  output_.Advance(WriteSpan(output_.cursor(), first, last, kind, NeedsEscaping(kind), 0, false));
}

inline char* Highlighter::WriteSpan(char* out, const char* first, const char* last, TokenKind kind,
                                    bool escape, std::size_t blank, bool roomy) {
  const auto size = static_cast<std::size_t>(last - first);
  if (!roomy) {
    if (size > kRangeChunk) {
      output_.Advance(out);
      WriteLongToken(first, last, kind);
      if (blank != 0) output_.Put(' ');
      return output_.cursor();
    }
    out = output_.Room(out, kOpenTagBlock + size * kMaxEscapedSize + kMaskWidth + sizeof kCloseTag);
  }
  out = OpenSpan(out, kind);
  out = escape ? Escape(first, last, out) : CopyPlain(first, last, out);
  return CloseSpan(out, blank);
}

inline char* Highlighter::OpenSpan(char* out, TokenKind kind) {
  const OpenTag& open = kOpenTags[static_cast<int>(kind)];
  std::memcpy(out, open.text, kOpenTagBlock);
  return out + open.size;
}

inline char* Highlighter::CloseSpan(char* out, std::size_t blank) {
  std::memcpy(out, kCloseTags[blank], sizeof kCloseTag);
  return out + kCloseTagSize + blank;
}

void Highlighter::WriteLongToken(const char* first, const char* last, TokenKind kind) {
  const OpenTag& open = kOpenTags[static_cast<int>(kind)];
  output_.Append(std::string_view(open.text, open.size));
  WriteLongRange(first, last);
  output_.Append(std::string_view(kCloseTag, kCloseTagSize));
}

inline void Highlighter::WriteRange(const char* first, const char* last) {
  const auto size = static_cast<std::size_t>(last - first);
  if (size > kRangeChunk) {
    WriteLongRange(first, last);
    return;
  }
  char* out = output_.Reserve(size * kMaxEscapedSize + kMaskWidth);
  output_.Advance(Escape(first, last, out));
}

void Highlighter::WriteLongRange(const char* first, const char* last) {
  while (first < last) {
    const char* const stop = first + std::min<std::size_t>(last - first, kRangeChunk);
    WriteRange(first, stop);
    first = stop;
  }
}

inline char* Highlighter::WriteBlanks(char* out, std::size_t count, bool roomy) {
  if (roomy) {
    for (std::size_t i = 0; i < count; i += kMaskWidth) std::memcpy(out + i, kBlanks, kMaskWidth);
    return out + count;
  }
  while (count > 0) {
    const std::size_t size = std::min(count, kRangeChunk);
    out = output_.Room(out, size + kMaskWidth);
    for (std::size_t i = 0; i < size; i += kMaskWidth) std::memcpy(out + i, kBlanks, kMaskWidth);
    out += size;
    count -= size;
  }
  return out;
}

void Highlighter::WriteSpaces(const char* first, const char* last) {
  while (first < last) {
    const char* const stop = first + std::min<std::size_t>(last - first, kRangeChunk);
    char* out = output_.Reserve((stop - first) * kMaxEscapedSize);
    for (; first < stop; ++first) {
      if (*first == '\t') {
        std::memcpy(out, kTabText, sizeof kTabText - 1);
        out += sizeof kTabText - 1;
      } else if (*first == '\r') {
        out = EscapeChar(first, out);
      } else {
        *out++ = *first;
      }
    }
    output_.Advance(out);
  }
}

// Copies a mask's width of bytes at a time, then steps back to just after the last plain one.
inline char* Highlighter::Escape(const char* first, const char* last, char* out) const {
  const char* p = first;
  while (p < last) {
    const unsigned escapable = EscapableMask(p);
    std::memcpy(out, p, kMaskWidth);
    const auto left = static_cast<std::size_t>(last - p);
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
      if (!Is(c[1], kTextEnd)) {
        *out = *c;
        return out + 1;
      }
      entity = "&#13;";
  }
  std::memcpy(out, entity.data(), kMaxEscapedSize);
  return out + entity.size();
}

}  // namespace lexpaint
