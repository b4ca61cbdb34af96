#ifndef LEXPAINT_SITE_MEMORY_STREAM_H_
#define LEXPAINT_SITE_MEMORY_STREAM_H_

#include <cstdint>
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>

namespace lexpaint {

// Reads `source` to its end into `bytes`, which it replaces; `expectedSize` is a guess of how much
// there is, and more or less is read as well. False if reading failed before the end.
bool ReadWhole(std::istream& source, std::uint64_t expectedSize, std::string& bytes);

// An input stream over bytes in memory, read in place: a file read once with ReadWhole can be
// read again, as often as needed, without copies. The bytes must outlive the stream.
class MemoryStream : private std::streambuf, public std::istream {
 public:
  explicit MemoryStream(std::string_view bytes) : std::istream(static_cast<std::streambuf*>(this)) {
    char* const begin = const_cast<char*>(bytes.data());  // only ever read
    setg(begin, begin, begin + bytes.size());
  }
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_MEMORY_STREAM_H_
