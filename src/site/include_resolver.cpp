#include "include_resolver.h"

namespace lexpaint {

std::optional<std::string> NormalizePath(std::string_view path) {
  if (!path.empty() && path.front() == '/') return std::nullopt;
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view part = path.substr(0, slash);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string joined;
  for (std::string_view part : parts) {
    if (!joined.empty()) joined += '/';
    joined += part;
  }
  return joined;
}

IncludeResolver::IncludeResolver(const std::vector<TreeFile>& files,
                                 const std::vector<std::string>& includeFolders) {
  byPath_.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) byPath_.emplace(files[i].path, i);
  for (const std::string& folder : includeFolders) {
    if (std::optional<std::string> normal = NormalizePath(folder)) {
      includeFolders_.push_back(*std::move(normal));
    }
  }
}

std::optional<std::size_t> IncludeResolver::Resolve(std::string_view includer,
                                                    std::string_view name, bool angled) const {
  if (!angled) {
    const std::size_t slash = includer.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : includer.substr(0, slash);
    if (auto found = Find(folder, name)) return found;
  }
  if (auto found = Find("", name)) return found;
  for (const std::string& folder : includeFolders_) {
    if (auto found = Find(folder, name)) return found;
  }
  return std::nullopt;
}

std::optional<std::size_t> IncludeResolver::Find(std::string_view folder,
                                                 std::string_view name) const {
  if (!name.empty() && name.front() == '/') return std::nullopt;
  std::string joined(folder);
  if (!joined.empty()) joined += '/';
  joined += name;
  const std::optional<std::string> path = NormalizePath(joined);
  if (!path) return std::nullopt;
  const auto found = byPath_.find(*path);
  if (found == byPath_.end()) return std::nullopt;
  return found->second;
}

}  // namespace lexpaint
