#ifndef LEXPAINT_HIGHLIGHT_OUTPUT_BUFFER_H_
#define LEXPAINT_HIGHLIGHT_OUTPUT_BUFFER_H_

#include <cstddef>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

namespace lexpaint {

// Collects output in a fixed block and hands it to a stream a block at a time, so that writing a
// token costs a few stores rather than several stream calls. The stream sees every byte once
// Flush has run; its state then tells whether writing failed.
class OutputBuffer {
 public:
  // Each write to a file costs the kernel far more than the bytes it copies, so blocks are large.
  static constexpr std::size_t kCapacity = 1024 * 1024;

  // `sink` must outlive the buffer.
  explicit OutputBuffer(std::ostream& sink)
      : sink_(sink),
        block_(new char[kCapacity]),
        cursor_(block_.get()),
        limit_(cursor_ + kCapacity) {}
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Returns where the next byte goes, with room for at least `size` <= kCapacity bytes behind it.
  // Bytes stored there count as output once Advance passes them.
  char* Reserve(std::size_t size) {
    if (static_cast<std::size_t>(limit_ - cursor_) < size) Flush();
    return cursor_;
  }
  // Marks everything before `end`, a pointer into the room Reserve returned, as output.
  void Advance(char* end) { cursor_ = end; }

  // For a writer that keeps the cursor in a variable of its own, which may stay in a register:
  // cursor() starts it, Room(out, size) is Reserve at `out`, and Advance hands it back.
  char* cursor() const { return cursor_; }
  char* Room(char* out, std::size_t size) {
    if (static_cast<std::size_t>(limit_ - out) >= size) return out;
    cursor_ = out;
    Flush();
    return cursor_;
  }

  void Append(std::string_view text) {
    if (text.size() > kCapacity) {
      Flush();
      sink_.write(text.data(), static_cast<std::streamsize>(text.size()));
      return;
    }
    char* out = Reserve(text.size());
    std::memcpy(out, text.data(), text.size());
    Advance(out + text.size());
  }

  void Put(char c) {
    char* out = Reserve(1);
    *out = c;
    Advance(out + 1);
  }

  // Writes the collected bytes to the stream.
  void Flush() {
    sink_.write(block_.get(), static_cast<std::streamsize>(cursor_ - block_.get()));
    cursor_ = block_.get();
  }

 private:
  std::ostream& sink_;
  std::unique_ptr<char[]> block_;  // left uninitialized: every byte is written before it is read
  char* cursor_;
  char* limit_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_OUTPUT_BUFFER_H_
