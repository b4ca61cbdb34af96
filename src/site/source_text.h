#ifndef LEXPAINT_SITE_SOURCE_TEXT_H_
#define LEXPAINT_SITE_SOURCE_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string_view>

namespace lexpaint {

// A whole source file in memory, laid out as LineReader lays out a run of lines, so that the
// scans that read a file a run at a time can read it in place instead, as often as they need.
class SourceText {
 public:
  // Reads `source` to its end, in place of the file read before. `expectedSize` is a guess of its
  // size: a file that grew or shrank since is read whole all the same. False if reading failed
  // before the end.
  bool Read(std::istream& source, std::uint64_t expectedSize);

  // The file's lines, as one run of LineReader::NextLines: each ends with a line feed (a last line
  // that has none in the file is given one), the byte before them is a line feed too, and
  // LineReader::kPadding bytes after them may be read. "" for an empty file, or before Read.
  std::string_view lines() const {
    return buffer_ ? std::string_view(buffer_.get() + 1, lines_) : std::string_view();
  }

 private:
  void Reserve(std::size_t size);

  std::unique_ptr<char[]> buffer_;  // a line feed, the file, a line feed, the padding
  std::size_t capacity_ = 0;        // of the file's bytes
  std::size_t lines_ = 0;           // the size of lines()
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_SOURCE_TEXT_H_
