#ifndef LEXPAINT_SITE_ATOMIC_FILE_H_
#define LEXPAINT_SITE_ATOMIC_FILE_H_

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace lexpaint {

// A file written under a temporary name in the folder of its path, then renamed to its path by
// Commit: a reader sees the old file or the whole new one, never a part. Destroyed before Commit,
// it removes the temporary file and leaves the path as it was.
class AtomicFile {
 public:
  // Creates the temporary file; see is_open.
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool is_open() const { return fd_ >= 0; }
  std::ostream& stream() { return stream_; }

  // Closes the file and renames it to its path. Returns false, and removes the temporary file, if
  // writing, closing or renaming failed.
  bool Commit();

 private:
  // Writes to the file descriptor through a buffer of its own, so the file is opened only once.
  class FileBuffer : public std::streambuf {
   public:
    explicit FileBuffer(int fd);
    bool Flush();  // false if a write failed, now or before

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override { return Flush() ? 0 : -1; }

   private:
    bool WriteAll(const char* data, std::size_t size);

    int fd_;
    std::unique_ptr<char[]> buffer_;
    bool failed_ = false;
  };

  bool Close();

  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  FileBuffer buffer_;
  std::ostream stream_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_ATOMIC_FILE_H_
