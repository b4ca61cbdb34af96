#include "source_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace lexpaint {
namespace {

struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  bool valid = false;
};

FileId IdOf(const std::string& path) {
  struct stat status;
  if (path.empty() || ::stat(path.c_str(), &status) != 0) return {};
  return {status.st_dev, status.st_ino, true};
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

class Walker {
 public:
  Walker(const std::string& root, const std::string& skip) : root_(root), skip_(IdOf(skip)) {}

  TreeListing Walk() {
    WalkFolder("");
    return std::move(listing_);
  }

 private:
  // Lists the folder at `relative` ("" for the root): its files first, then its sub-folders.
  void WalkFolder(const std::string& relative) {
    const std::string path = relative.empty() ? root_ : root_ + "/" + relative;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir) {
      listing_.unreadableFolders.push_back(relative);
      return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get())) {
      if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> folders;
    for (const std::string& name : names) {
      const std::string child = relative.empty() ? name : relative + "/" + name;
      struct stat status;
      if (::fstatat(::dirfd(dir.get()), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (S_ISLNK(status.st_mode)) {
        // A link counts only when it leads to a regular file.
        if (::fstatat(::dirfd(dir.get()), name.c_str(), &status, 0) != 0) continue;
        if (S_ISREG(status.st_mode)) AddFile(child, status);
      } else if (S_ISREG(status.st_mode)) {
        AddFile(child, status);
      } else if (S_ISDIR(status.st_mode) && !IsSkipped(status)) {
        folders.push_back(child);
      }
    }
    dir.reset();
    for (const std::string& folder : folders) WalkFolder(folder);
  }

  void AddFile(const std::string& relative, const struct stat& status) {
    listing_.files.push_back({relative, static_cast<std::uint64_t>(status.st_size)});
  }

  bool IsSkipped(const struct stat& status) const {
    return skip_.valid && status.st_dev == skip_.device && status.st_ino == skip_.inode;
  }

  std::string root_;
  FileId skip_;
  TreeListing listing_;
};

}  // namespace

TreeListing WalkTree(const std::string& root, const std::string& skip) {
  return Walker(root, skip).Walk();
}

}  // namespace lexpaint
