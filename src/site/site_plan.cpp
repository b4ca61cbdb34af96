#include "site_plan.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <utility>

#include "include_resolver.h"

namespace lexpaint {
namespace {

constexpr std::array<std::string_view, 18> kSourceExtensions = {
    ".c",   ".cc",  ".cpp", ".cxx", ".c++", ".C",   ".h",   ".hh",  ".hpp",
    ".hxx", ".h++", ".H",   ".inl", ".ipp", ".tcc", ".tpp", ".ixx", ".cppm"};
constexpr std::array<std::string_view, 8> kCompiledExtensions = {".c",   ".cc", ".cpp", ".cxx",
                                                                 ".c++", ".C",  ".ixx", ".cppm"};

bool EndsIn(std::string_view name, std::string_view extension) {
  return name.size() > extension.size() && name.substr(name.size() - extension.size()) == extension;
}

// The files that are pages by their names, or by how they start.
std::vector<std::size_t> FirstPages(const std::vector<TreeFile>& files, const ProbeFile& probe,
                                    const RunJobs& run) {
  std::vector<std::size_t> unnamed;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (NameOf(files[i].path).find('.') == std::string_view::npos) unnamed.push_back(i);
  }
  std::vector<char> startsLikeSource(unnamed.size());
  run(unnamed.size(), [&](std::size_t job) { startsLikeSource[job] = probe(files[unnamed[job]]); });
  std::vector<std::size_t> pages;
  for (std::size_t i = 0, u = 0; i < files.size(); ++i) {
    const bool isUnnamed = u < unnamed.size() && unnamed[u] == i;
    if (isUnnamed ? startsLikeSource[u++] : HasSourceExtension(NameOf(files[i].path))) {
      pages.push_back(i);
    }
  }
  return pages;
}

// Scans the files that are pages at first, then every file their includes name, and so on until
// no include names a file that is not yet a page.
std::vector<std::optional<SourceScan>> ScanPages(const std::vector<TreeFile>& files,
                                                 const IncludeResolver& resolver,
                                                 const ScanFile& scan, const ProbeFile& probe,
                                                 const RunJobs& run) {
  std::vector<std::optional<SourceScan>> scans(files.size());
  std::vector<std::size_t> batch = FirstPages(files, probe, run);
  std::vector<bool> isPage(files.size());
  for (std::size_t i : batch) isPage[i] = true;
  while (!batch.empty()) {
    // The largest first, so that no thread is left with a large file once the others are done.
    std::vector<std::size_t> largestFirst = batch;
    std::stable_sort(
        largestFirst.begin(), largestFirst.end(),
        [&files](std::size_t a, std::size_t b) { return files[a].size > files[b].size; });
    run(largestFirst.size(),
        [&](std::size_t job) { scans[largestFirst[job]] = scan(files[largestFirst[job]]); });
    std::vector<std::size_t> next;
    for (std::size_t i : batch) {
      for (const IncludedName& include : scans[i]->includes) {
        const auto found = resolver.Resolve(files[i].path, include.name, include.angled);
        if (found && !isPage[*found]) {
          isPage[*found] = true;
          next.push_back(*found);
        }
      }
    }
    std::sort(next.begin(), next.end());
    batch = std::move(next);
  }
  return scans;
}

// Adds the folder at `path` and those above it, returning its index.
std::size_t AddFolder(std::string_view path, std::vector<SiteFolder>* folders,
                      std::map<std::string, std::size_t, std::less<>>* byPath) {
  const auto found = byPath->find(path);
  if (found != byPath->end()) return found->second;
  const std::size_t parent = AddFolder(FolderOf(path), folders, byPath);
  const std::size_t index = folders->size();
  folders->push_back({std::string(path), "", parent, {}, {}});
  byPath->emplace(std::string(path), index);
  (*folders)[parent].subfolders.push_back(index);
  return index;
}

// The names of the files the site writes in `folder` besides its pages.
std::set<std::string, std::less<>> ReservedNames(const SiteFolder& folder) {
  std::set<std::string, std::less<>> reserved = {std::string(kIndexName)};
  if (folder.path.empty()) {
    reserved.emplace(kStylesheetName);
    reserved.emplace(kScriptName);
    reserved.emplace(kTagsName);
    reserved.emplace(kSearchFolderName);
  }
  return reserved;
}

// Places the sub-folders of `folder`, whose own place is known, in the site: each under its own
// name, unless the folder writes a file of that name.
void PlaceSubfolders(const SiteFolder& folder, std::vector<SiteFolder>* folders) {
  std::set<std::string, std::less<>> taken = ReservedNames(folder);
  for (std::size_t sub : folder.subfolders) taken.emplace(NameOf((*folders)[sub].path));
  for (std::size_t sub : folder.subfolders) {
    std::string name(NameOf((*folders)[sub].path));
    if (ReservedNames(folder).count(name) != 0) {
      do name += '_';
      while (!taken.insert(name).second);
    }
    (*folders)[sub].sitePath = folder.sitePath.empty() ? name : folder.sitePath + "/" + name;
  }
}

// Names the pages of one folder: natural names first, so that a page keeps its natural name
// whenever it is free, then the others.
void NamePages(const SiteFolder& folder, const std::vector<SiteFolder>& folders,
               const std::vector<TreeFile>& files, std::vector<SitePage>* pages) {
  std::set<std::string, std::less<>> taken = ReservedNames(folder);
  for (std::size_t sub : folder.subfolders) taken.emplace(NameOf(folders[sub].sitePath));
  std::vector<std::size_t> clashing;
  for (std::size_t page : folder.pages) {
    const std::string natural = std::string(NameOf(files[(*pages)[page].file].path)) + ".html";
    if (taken.insert(natural).second) {
      (*pages)[page].path = natural;
    } else {
      clashing.push_back(page);
    }
  }
  for (std::size_t page : clashing) {
    std::string name(NameOf(files[(*pages)[page].file].path));
    do name += '_';
    while (!taken.insert(name + ".html").second);
    (*pages)[page].path = name + ".html";
  }
  if (folder.sitePath.empty()) return;
  for (std::size_t page : folder.pages) (*pages)[page].path.insert(0, folder.sitePath + "/");
}

void SortByName(std::vector<std::size_t>* indexes,
                const std::function<std::string_view(std::size_t)>& nameOf) {
  std::sort(indexes->begin(), indexes->end(),
            [&](std::size_t a, std::size_t b) { return nameOf(a) < nameOf(b); });
}

}  // namespace

bool HasSourceExtension(std::string_view name) {
  return std::any_of(kSourceExtensions.begin(), kSourceExtensions.end(),
                     [name](std::string_view extension) { return EndsIn(name, extension); });
}

bool HasCompiledExtension(std::string_view name) {
  return std::any_of(kCompiledExtensions.begin(), kCompiledExtensions.end(),
                     [name](std::string_view extension) { return EndsIn(name, extension); });
}

std::string_view FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::string_view NameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

SitePlan PlanSite(std::vector<TreeFile> files, const std::vector<std::string>& includeFolders,
                  const ScanFile& scan, const ProbeFile& probe, const RunJobs& run) {
  SitePlan plan;
  plan.files = std::move(files);
  const IncludeResolver resolver(plan.files, includeFolders);
  std::vector<std::optional<SourceScan>> scans = ScanPages(plan.files, resolver, scan, probe, run);

  std::vector<std::optional<std::size_t>> pageOf(plan.files.size());
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    if (!scans[i]) continue;
    pageOf[i] = plan.pages.size();
    plan.pages.push_back({i, 0, "", *std::move(scans[i]), {}});
  }
  plan.folders.push_back({"", "", 0, {}, {}});
  std::map<std::string, std::size_t, std::less<>> folderByPath = {{"", 0}};
  for (std::size_t p = 0; p < plan.pages.size(); ++p) {
    SitePage& page = plan.pages[p];
    const std::string& path = plan.files[page.file].path;
    page.folder = AddFolder(FolderOf(path), &plan.folders, &folderByPath);
    plan.folders[page.folder].pages.push_back(p);
    for (const IncludedName& include : page.scan.includes) {
      const auto file = resolver.Resolve(path, include.name, include.angled);
      page.includePages.push_back(file ? pageOf[*file] : std::nullopt);
    }
  }
  for (std::size_t p = 0; p < plan.pages.size(); ++p) {
    for (const std::optional<std::size_t>& included : plan.pages[p].includePages) {
      if (!included) continue;
      std::vector<std::size_t>& by = plan.pages[*included].includedBy;
      if (by.empty() || by.back() != p) by.push_back(p);
    }
  }
  // Parents come before their sub-folders, so each folder is placed before its pages are named.
  for (SiteFolder& folder : plan.folders) {
    SortByName(&folder.subfolders, [&](std::size_t f) { return NameOf(plan.folders[f].path); });
    SortByName(&folder.pages,
               [&](std::size_t p) { return NameOf(plan.files[plan.pages[p].file].path); });
    PlaceSubfolders(folder, &plan.folders);
    NamePages(folder, plan.folders, plan.files, &plan.pages);
  }
  return plan;
}

}  // namespace lexpaint
