#include "source_text.h"

#include <cstring>

#include "line_reader.h"

namespace lexpaint {

bool SourceText::Read(std::istream& source, std::uint64_t expectedSize) {
  // One byte more than expected shows at once whether the file grew.
  Reserve(expectedSize + 1);
  std::size_t size = 0;
  while (source) {
    if (size == capacity_) Reserve(2 * capacity_);
    source.read(buffer_.get() + 1 + size, static_cast<std::streamsize>(capacity_ - size));
    size += static_cast<std::size_t>(source.gcount());
  }
  char* const end = buffer_.get() + 1 + size;
  lines_ = size;
  if (size > 0 && end[-1] != '\n') {
    *end = '\n';
    ++lines_;
  }
  std::memset(buffer_.get() + 1 + lines_, 0, LineReader::kPadding);
  return !source.bad();
}

// Keeps the bytes read so far.
void SourceText::Reserve(std::size_t size) {
  if (size <= capacity_) return;
  std::unique_ptr<char[]> buffer(new char[1 + size + 1 + LineReader::kPadding]);
  buffer[0] = '\n';
  if (buffer_) std::memcpy(buffer.get() + 1, buffer_.get() + 1, capacity_);
  buffer_ = std::move(buffer);
  capacity_ = size;
}

}  // namespace lexpaint
