#include "memory_stream.h"

namespace lexpaint {

bool ReadWhole(std::istream& source, std::uint64_t expectedSize, std::string& bytes) {
  // One byte more than expected shows at once whether the file grew.
  bytes.resize(expectedSize + 1);
  std::size_t size = 0;
  while (source) {
    if (size == bytes.size()) bytes.resize(2 * bytes.size());
    source.read(bytes.data() + size, static_cast<std::streamsize>(bytes.size() - size));
    size += static_cast<std::size_t>(source.gcount());
  }
  bytes.resize(size);
  return !source.bad();
}

}  // namespace lexpaint
