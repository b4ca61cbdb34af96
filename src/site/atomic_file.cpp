#include "atomic_file.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace lexpaint {
namespace {

mode_t fileMode = 0644;

// The temporary name starts with '.', so that a tree walk passes it over.
std::string TemporaryPattern(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name) + "." + path.substr(name) + ".lexpaint-XXXXXX";
}

}  // namespace

void AtomicFile::ReadUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  fileMode = 0666 & ~mask;
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
  std::string pattern = TemporaryPattern(path_);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return;
  ::fchmod(fd, fileMode);
  ::close(fd);
  temporary_ = name.data();
  stream_.open(temporary_, std::ios::binary | std::ios::trunc);
}

AtomicFile::~AtomicFile() {
  if (temporary_.empty()) return;
  stream_.close();
  std::remove(temporary_.c_str());
}

bool AtomicFile::Commit() {
  if (temporary_.empty()) return false;
  stream_.close();
  const bool written = !stream_.fail() && std::rename(temporary_.c_str(), path_.c_str()) == 0;
  if (written) temporary_.clear();
  return written;
}

}  // namespace lexpaint
