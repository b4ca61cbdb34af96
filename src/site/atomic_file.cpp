#include "atomic_file.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <utility>

namespace lexpaint {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

// The temporary name starts with '.', so that a tree walk passes it over.
std::string TemporaryPrefix(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name) + "." + path.substr(name) + ".lexpaint-";
}

// Like mkstemp, but the file gets the permissions of any new file (0666 less the umask), as the
// page it becomes should.
int CreateTemporary(const std::string& path, std::string* temporary) {
  thread_local std::mt19937_64 random{std::random_device{}()};
  const std::string prefix = TemporaryPrefix(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    std::string name = prefix + suffix;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      *temporary = std::move(name);
      return fd;
    }
    if (errno != EEXIST) break;
  }
  return -1;
}

}  // namespace

AtomicFile::AtomicFile(std::string path)
    : path_(std::move(path)),
      fd_(CreateTemporary(path_, &temporary_)),
      buffer_(fd_),
      stream_(&buffer_) {}

AtomicFile::~AtomicFile() {
  if (fd_ < 0) return;
  Close();
  std::remove(temporary_.c_str());
}

bool AtomicFile::Close() {
  const bool flushed = buffer_.Flush();
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return flushed && closed;
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return false;
  const bool written =
      Close() && !stream_.fail() && std::rename(temporary_.c_str(), path_.c_str()) == 0;
  if (!written) std::remove(temporary_.c_str());
  return written;
}

AtomicFile::FileBuffer::FileBuffer(int fd) : fd_(fd), buffer_(new char[kBufferSize]) {
  setp(buffer_.get(), buffer_.get() + kBufferSize);
}

bool AtomicFile::FileBuffer::Flush() {
  const auto size = static_cast<std::size_t>(pptr() - pbase());
  if (size > 0 && !WriteAll(pbase(), size)) failed_ = true;
  setp(buffer_.get(), buffer_.get() + kBufferSize);
  return !failed_;
}

AtomicFile::FileBuffer::int_type AtomicFile::FileBuffer::overflow(int_type c) {
  if (!Flush()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

// Large blocks, such as the highlighter's, go straight to the file.
std::streamsize AtomicFile::FileBuffer::xsputn(const char* data, std::streamsize size) {
  const auto count = static_cast<std::size_t>(size);
  if (count <= static_cast<std::size_t>(epptr() - pptr())) {
    std::memcpy(pptr(), data, count);
    pbump(static_cast<int>(count));
    return size;
  }
  if (!Flush() || !WriteAll(data, count)) {
    failed_ = true;
    return 0;
  }
  return size;
}

bool AtomicFile::FileBuffer::WriteAll(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace lexpaint
