#ifndef LEXPAINT_SITE_SOURCE_TREE_H_
#define LEXPAINT_SITE_SOURCE_TREE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace lexpaint {

// A file found in a tree: its path from the tree's root, parts joined by '/', and its size.
struct TreeFile {
  std::string path;
  std::uint64_t size = 0;
};

// Everything a walk found.
struct TreeListing {
  std::vector<TreeFile> files;  // sorted by path, a folder's files before its sub-folders' files
  std::vector<std::string> unreadableFolders;  // paths from the root of folders not listed
};

// Lists every regular file under the folder `root`, and every link to one. Links to folders are
// not followed, so the walk cannot loop; FIFOs, devices, sockets, dangling links and names that
// start with '.' are passed over, and so is the folder `skip` (named by any path; "" for none).
TreeListing WalkTree(const std::string& root, const std::string& skip);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_SOURCE_TREE_H_
