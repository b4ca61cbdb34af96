#ifndef LEXPAINT_HIGHLIGHT_LINE_READER_H_
#define LEXPAINT_HIGHLIGHT_LINE_READER_H_

#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

namespace lexpaint {

// Splits a stream into lines at line feeds, however long the lines are. Memory grows with the
// longest line, not with the stream.
class LineReader {
 public:
  // `input` must outlive the reader.
  explicit LineReader(std::istream& input);

  // Stores the next line, without its line feed, in `*line` and returns true; returns false once
  // the input is exhausted or fails. A last line without a line feed is returned like any other.
  // `*line` stays valid until the next call, and at least kPadding bytes after its end may be read
  // (their values are unspecified), so that a scan may load a whole word past the line's end.
  bool Next(std::string_view* line);

  static constexpr std::size_t kPadding = 64;

  // True if reading stopped because the stream failed, not because it ended.
  bool failed() const { return failed_; }

 private:
  // Reads more of the stream into the buffer behind the unread bytes; false if nothing came.
  bool Refill();

  std::istream& input_;
  std::vector<char> buffer_;  // the bytes read, then kPadding bytes never read into
  std::size_t begin_ = 0;     // first unread byte
  std::size_t end_ = 0;       // one past the last byte read from the stream
  bool exhausted_ = false;
  bool failed_ = false;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_LINE_READER_H_
