#ifndef LEXPAINT_HIGHLIGHT_LINE_READER_H_
#define LEXPAINT_HIGHLIGHT_LINE_READER_H_

#include <algorithm>
#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

#include "byte_masks.h"

namespace lexpaint {

// Splits a stream into lines at line feeds, however long the lines are. Memory grows with the
// longest line, not with the stream.
class LineReader {
 public:
  // `input` must outlive the reader.
  explicit LineReader(std::istream& input);

  // Stores the next line, without its line feed, in `*line` and returns true; returns false once
  // the input is exhausted or fails. A last line without a line feed is returned like any other.
  // `*line` stays valid until the next call, and at least kPadding bytes after its end may be read,
  // so that a scan may load a whole word past the line's end. The byte right after the line is a
  // line feed; the values of the rest are unspecified.
  bool Next(std::string_view* line) {
    std::size_t textSize;
    return Next(line, &textSize);
  }
  // Next that also stores in `*textSize` the length of the line's text before its first NUL (the
  // line's length if it holds none), found in the same scan as the line feed. The text is followed
  // by that NUL or by the line feed, so a scan stopping at either needs no length check.
  bool Next(std::string_view* line, std::size_t* textSize) {
    const char* unread = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    std::size_t nul = kNoNul;
    const std::size_t length = FindLineEnd(unread, available, &nul);
    if (length == available) return NextAfterRefill(line, textSize, nul);
    *line = std::string_view(unread, length);
    *textSize = std::min(nul, length);
    begin_ += length + 1;
    return true;
  }

  static constexpr std::size_t kPadding = 64;
  static_assert(kPadding >= kMaskWidth);

  // True if reading stopped because the stream failed, not because it ended.
  bool failed() const { return failed_; }

 private:
  static constexpr std::size_t kNoNul = static_cast<std::size_t>(-1);

  // Index of the first line feed in [p, p + size), or size; a NUL before it is stored in `*nul`
  // unless `*nul` already holds one. Lines are short, so an inline scan of 16 bytes at a time beats
  // a call to memchr; the padding keeps its loads in the buffer.
  static std::size_t FindLineEnd(const char* p, std::size_t size, std::size_t* nul) {
    for (std::size_t i = 0; i < size; i += kMaskWidth) {
      const unsigned ends = EitherByteMask(p + i, '\n', '\0');
      if (ends == 0) continue;
      const std::size_t at = i + LowestBit(ends);
      if (at >= size) return size;
      if (p[at] == '\n') return at;
      *nul = std::min(*nul, at);
      return at + 1 + FindLineFeed(p + at + 1, size - at - 1);
    }
    return size;
  }
  // FindLineEnd for the rest of a line that holds a NUL.
  static std::size_t FindLineFeed(const char* p, std::size_t size) {
    for (std::size_t i = 0; i < size; i += kMaskWidth) {
      const unsigned feeds = ByteMask(p + i, '\n');
      if (feeds != 0) return std::min(i + LowestBit(feeds), size);
    }
    return size;
  }
  // Next for a line that does not end within the bytes read so far; `nul` is where the bytes
  // searched so far hold their first NUL, or kNoNul.
  bool NextAfterRefill(std::string_view* line, std::size_t* textSize, std::size_t nul);
  // Reads more of the stream into the buffer behind the unread bytes; false if nothing came.
  bool Refill();

  std::istream& input_;
  std::vector<char> buffer_;  // the bytes read, a line feed, then padding never read into
  std::size_t begin_ = 0;     // first unread byte
  std::size_t end_ = 0;       // one past the last byte read from the stream
  bool exhausted_ = false;
  bool failed_ = false;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_LINE_READER_H_
