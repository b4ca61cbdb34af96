#ifndef LEXPAINT_SITE_INCLUDE_RESOLVER_H_
#define LEXPAINT_SITE_INCLUDE_RESOLVER_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "source_tree.h"

namespace lexpaint {

// `path` with its parts joined by single '/', "." parts dropped and each ".." taking away the part
// before it; nothing if a ".." would leave the root or `path` is absolute.
std::optional<std::string> NormalizePath(std::string_view path);

// Finds the file of a tree that an #include names. A quoted name is looked up in the including
// file's folder, then in the root, then in each include folder; an angled name in the root and
// the include folders only.
class IncludeResolver {
 public:
  // `files` must outlive the resolver. `includeFolders` are paths from the root, in search order.
  IncludeResolver(const std::vector<TreeFile>& files,
                  const std::vector<std::string>& includeFolders);

  // The index in `files` of what `includer` (a path from the root) means by `name`, or nothing.
  std::optional<std::size_t> Resolve(std::string_view includer, std::string_view name,
                                     bool angled) const;

 private:
  std::optional<std::size_t> Find(std::string_view folder, std::string_view name) const;

  std::unordered_map<std::string_view, std::size_t> byPath_;
  std::vector<std::string> includeFolders_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_INCLUDE_RESOLVER_H_
