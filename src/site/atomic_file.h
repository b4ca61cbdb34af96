#ifndef LEXPAINT_SITE_ATOMIC_FILE_H_
#define LEXPAINT_SITE_ATOMIC_FILE_H_

#include <fstream>
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

  bool is_open() const { return stream_.is_open(); }
  std::ostream& stream() { return stream_; }

  // Closes the file and renames it to its path. Returns false, and removes the temporary file, if
  // writing, closing or renaming failed.
  bool Commit();

  // Fixes the permissions new files get (0666 less the umask). Call it once before any thread
  // creates an AtomicFile, since reading the umask briefly changes it.
  static void ReadUmask();

 private:
  std::string path_;
  std::string temporary_;
  std::ofstream stream_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_ATOMIC_FILE_H_
