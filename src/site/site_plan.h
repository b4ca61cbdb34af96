#ifndef LEXPAINT_SITE_SITE_PLAN_H_
#define LEXPAINT_SITE_SITE_PLAN_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "source_scan.h"
#include "source_tree.h"

namespace lexpaint {

// The names a site writes in its root besides pages and folders.
inline constexpr std::string_view kIndexName = "index.html";
inline constexpr std::string_view kStylesheetName = "lexpaint.css";
inline constexpr std::string_view kScriptName = "lexpaint.js";
inline constexpr std::string_view kTagsName = "tags";
// The folder of the search index that the script loads.
inline constexpr std::string_view kSearchFolderName = "search";

// A page of a site: the source file it shows and where it is written.
struct SitePage {
  std::size_t file = 0;    // index into SitePlan::files
  std::size_t folder = 0;  // index into SitePlan::folders
  std::string path;        // from the site's root, such as "src/a.cpp.html"
  SourceScan scan;
  // For each of scan.includes, the page of the file it names, if the site has one.
  std::vector<std::optional<std::size_t>> includePages;
  // The pages with an include that names this one, each once, in order.
  std::vector<std::size_t> includedBy{};
};

// A folder of a site; each has an index page.
struct SiteFolder {
  std::string path;        // the source folder, from the tree's root; "" for the root itself
  std::string sitePath;    // where it is in the site: `path`, but for names the site takes
  std::size_t parent = 0;  // into SitePlan::folders; the root is its own
  std::vector<std::size_t> subfolders;  // into SitePlan::folders, in name order
  std::vector<std::size_t> pages;       // into SitePlan::pages, in name order
};

struct SitePlan {
  std::vector<TreeFile> files;      // every file of the tree, as walked
  std::vector<SitePage> pages;      // in walk order
  std::vector<SiteFolder> folders;  // each after the folder that holds it; the root first
};

// True if `name` ends in one of the extensions of C and C++ sources and headers.
bool HasSourceExtension(std::string_view name);
// True if `name` ends in one of the extensions of the sources that are compiled, not included:
// ".c", ".cpp" and the like.
bool HasCompiledExtension(std::string_view name);

// Read one file of the tree for PlanSite: the whole of it, or whether its start is C or C++.
using ScanFile = std::function<SourceScan(const TreeFile& file)>;
using ProbeFile = std::function<bool(const TreeFile& file)>;
// Runs every job(i), i < count, perhaps in parallel.
using RunJobs = std::function<void(std::size_t count, const std::function<void(std::size_t)>& job)>;

// Chooses the pages of a site: every file with a source extension, every file with no '.' in its
// name that `probe` finds to start like C or C++, and every file that an #include of a page
// names, found with `includeFolders` as IncludeResolver does. Names each page after its file
// with ".html" added; a name that would meet a folder's index, a sub-folder, or a file the site
// writes in its root gets '_' before ".html" until it is free. A folder named like such a file
// gets '_' after its name.
SitePlan PlanSite(std::vector<TreeFile> files, const std::vector<std::string>& includeFolders,
                  const ScanFile& scan, const ProbeFile& probe, const RunJobs& run);

// The folder part of a path from the root ("" for a file in the root), and its last part.
std::string_view FolderOf(std::string_view path);
std::string_view NameOf(std::string_view path);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_SITE_PLAN_H_
