#include "line_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lexpaint {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::size_t kFront = 1;  // the line feed kept before the first unread byte

// Index of the last line feed in p[0, size), or size if there is none. The last one is mostly
// near the end, so the scan goes backwards a mask at a time. Its first load may reach past
// p[size], never before p.
std::size_t LastLineFeed(const char* p, std::size_t size) {
  for (std::size_t i = size; i > 0;) {
    const std::size_t start = i > kMaskWidth ? i - kMaskWidth : 0;
    const unsigned feeds = ByteMask(p + start, '\n') & ((1u << (i - start)) - 1);
    if (feeds != 0) return start + HighestBit(feeds);
    i = start;
  }
  return size;
}

}  // namespace

LineReader::LineReader(std::istream& input)
    : input_(input),
      buffer_(new char[kFront + kChunkSize + kPadding]),
      size_(kFront + kChunkSize + kPadding),
      begin_(kFront),
      end_(kFront) {
  buffer_[0] = '\n';
}

bool LineReader::NextLines(std::string_view* lines) {
  if (end_ - begin_ < kRunSize) Refill();
  const std::size_t available = end_ - begin_;
  if (available == 0) return false;
  const std::size_t window = std::min(available, kRunSize);
  const std::size_t last = LastLineFeed(buffer_.get() + begin_, window);
  const std::size_t size = last < window ? last + 1 : LongLineSize();
  *lines = std::string_view(buffer_.get() + begin_, size);
  begin_ = std::min(begin_ + size, end_);
  return true;
}

std::size_t LineReader::LongLineSize() {
  std::size_t searched = std::min(end_ - begin_, kRunSize);
  for (;;) {
    const char* unread = buffer_.get() + begin_;
    const void* feed = std::memchr(unread + searched, '\n', end_ - begin_ - searched);
    if (feed != nullptr)
      return static_cast<std::size_t>(static_cast<const char*>(feed) - unread) + 1;
    searched = end_ - begin_;
    // The line feed stored after the last byte read ends a last line that has none of its own.
    if (!Refill()) return searched + 1;
  }
}

bool LineReader::Refill() {
  if (exhausted_) return false;
  if (begin_ > kFront) {
    std::memmove(buffer_.get() + kFront, buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_ - kFront;
    begin_ = kFront;
  }
  std::size_t capacity = size_ - kPadding;
  if (end_ == capacity) {
    capacity = kFront + 2 * (capacity - kFront);
    std::unique_ptr<char[]> grown(new char[capacity + kPadding]);
    std::memcpy(grown.get(), buffer_.get(), end_);
    buffer_ = std::move(grown);
    size_ = capacity + kPadding;
  }
  input_.read(buffer_.get() + end_, static_cast<std::streamsize>(capacity - end_));
  const auto received = static_cast<std::size_t>(input_.gcount());
  end_ += received;
  buffer_[end_] = '\n';
  // Scans may load a mask past a run's last line feed, but no further.
  std::memset(buffer_.get() + end_ + 1, 0, kPadding - 1);
  if (!input_) {
    exhausted_ = true;
    failed_ = input_.bad();
  }
  return received > 0;
}

}  // namespace lexpaint
