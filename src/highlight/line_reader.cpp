#include "line_reader.h"

#include <cstring>

namespace lexpaint {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

}  // namespace

LineReader::LineReader(std::istream& input) : input_(input), buffer_(kChunkSize + kPadding) {}

bool LineReader::NextAfterRefill(std::string_view* line, std::size_t* textSize, std::size_t nul) {
  std::size_t searched = end_ - begin_;  // bytes after begin_ known to hold no line feed
  while (Refill()) {
    const char* unread = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    std::size_t laterNul = kNoNul;
    const std::size_t length =
        searched + FindLineEnd(unread + searched, available - searched, &laterNul);
    if (nul == kNoNul && laterNul != kNoNul) nul = searched + laterNul;
    if (length < available) {
      *line = std::string_view(unread, length);
      *textSize = std::min(nul, length);
      begin_ += length + 1;
      return true;
    }
    searched = available;
  }
  if (begin_ == end_) return false;
  *line = std::string_view(buffer_.data() + begin_, end_ - begin_);
  *textSize = std::min(nul, line->size());
  begin_ = end_;
  return true;
}

bool LineReader::Refill() {
  if (exhausted_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  std::size_t capacity = buffer_.size() - kPadding;
  if (end_ == capacity) {
    capacity *= 2;
    buffer_.resize(capacity + kPadding);
  }
  input_.read(buffer_.data() + end_, static_cast<std::streamsize>(capacity - end_));
  const auto received = static_cast<std::size_t>(input_.gcount());
  end_ += received;
  buffer_[end_] = '\n';  // ends a last line that has no line feed of its own
  if (!input_) {
    exhausted_ = true;
    failed_ = input_.bad();
  }
  return received > 0;
}

}  // namespace lexpaint
