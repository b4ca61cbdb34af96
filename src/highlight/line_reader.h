#ifndef LEXPAINT_HIGHLIGHT_LINE_READER_H_
#define LEXPAINT_HIGHLIGHT_LINE_READER_H_

#include <cstddef>
#include <istream>
#include <memory>
#include <string_view>

#include "byte_masks.h"

namespace lexpaint {

// Splits a stream into runs of whole lines, however long the lines are. Memory grows with the
// longest line, not with the stream.
class LineReader {
 public:
  // A run holds as many whole lines as fit in kRunSize bytes, or one longer line alone.
  static constexpr std::size_t kRunSize = 4096;
  // Bytes after a run that may be read, so that a scan may load a whole mask past its end.
  static constexpr std::size_t kPadding = 64;
  static_assert(kPadding >= kMaskWidth);

  // `input` must outlive the reader.
  explicit LineReader(std::istream& input);

  // Stores the next run of lines in `*lines` and returns true; returns false once the input is
  // exhausted or fails. Every line of the run ends with a line feed: a last line that has none in
  // the input is given one. `*lines` stays valid until the next call. The byte before it is a line
  // feed too, and kPadding bytes after it may be read; their values are unspecified.
  bool NextLines(std::string_view* lines);

  // True if reading stopped because the stream failed, not because it ended.
  bool failed() const { return failed_; }

 private:
  // The size of the run that begins at begin_, after reading more of the stream if its one line
  // goes on past the bytes read so far.
  std::size_t LongLineSize();
  // Reads more of the stream into the buffer behind the unread bytes; false if nothing came.
  bool Refill();

  std::istream& input_;
  // A line feed, the bytes read, a line feed, then padding never read into. It is not cleared
  // when made, as the stream fills it; only the padding after the bytes read is.
  std::unique_ptr<char[]> buffer_;
  std::size_t size_;
  std::size_t begin_;  // first unread byte
  std::size_t end_;    // one past the last byte read from the stream
  bool exhausted_ = false;
  bool failed_ = false;
};

// Where a line handed over by LineReader::NextLines ends: its text at its first NUL or its line
// feed, and the line at that line feed. `p` lies in the line's text.
struct LineEnd {
  const char* text;
  const char* feed;
};

inline LineEnd FindLineEnd(const char* p) {
  for (;; p += kMaskWidth) {
    const unsigned ends = EitherByteMask(p, '\n', '\0');
    if (ends == 0) continue;
    const char* const text = p + LowestBit(ends);
    if (*text == '\n') return {text, text};
    for (const char* feed = text;; feed += kMaskWidth) {
      const unsigned feeds = ByteMask(feed, '\n');
      if (feeds != 0) return {text, feed + LowestBit(feeds)};
    }
  }
}

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_LINE_READER_H_
