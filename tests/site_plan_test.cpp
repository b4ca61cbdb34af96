#include "site_plan.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace lexpaint {
namespace {

// A tree held in memory: each file's includes, and the files whose start looks like source.
struct FakeTree {
  std::vector<TreeFile> files;
  std::map<std::string, std::vector<IncludedName>> includes;
  std::set<std::string> startLikeSource;
  std::set<std::string> scanned;

  SitePlan Plan(const std::vector<std::string>& includeFolders = {}) {
    return PlanSite(
        files, includeFolders,
        [this](const TreeFile& file) {
          scanned.insert(file.path);
          SourceScan scan;
          scan.includes = includes[file.path];
          scan.lines = file.size;
          scan.readable = true;
          return scan;
        },
        [this](const TreeFile& file) { return startLikeSource.count(file.path) > 0; },
        [](std::size_t count, const std::function<void(std::size_t)>& job) {
          for (std::size_t i = 0; i < count; ++i) job(i);
        });
  }
};

// The page path of each file that has a page, by the file's path.
std::map<std::string, std::string> PagePaths(const SitePlan& plan) {
  std::map<std::string, std::string> paths;
  for (const SitePage& page : plan.pages) paths[plan.files[page.file].path] = page.path;
  return paths;
}

TEST(SitePlanTest, PagesByExtensionStartAndInclude) {
  FakeTree tree;
  tree.files = {{"README", 1},    {"a.cpp", 1},    {"b.C", 1},      {"notes.txt", 1},
                {"vector", 1},    {"x.def", 1},    {"y.inc", 1},    {"z.inc", 1},
                {"lib/h.hpp", 1}, {"lib/data", 1}, {"lib/loose", 1}};
  tree.includes["a.cpp"] = {{"x.def", false}, {"vector", true}, {"missing.h", false}};
  tree.includes["x.def"] = {{"y.inc", false}};
  tree.startLikeSource = {"lib/loose", "notes.txt"};  // a name with '.' is never probed
  const SitePlan plan = tree.Plan();
  EXPECT_EQ(PagePaths(plan), (std::map<std::string, std::string>{
                                 {"a.cpp", "a.cpp.html"},
                                 {"b.C", "b.C.html"},
                                 {"vector", "vector.html"},
                                 {"x.def", "x.def.html"},
                                 {"y.inc", "y.inc.html"},
                                 {"lib/h.hpp", "lib/h.hpp.html"},
                                 {"lib/loose", "lib/loose.html"},
                             }));
  EXPECT_EQ(tree.scanned.count("z.inc"), 0u);

  const SitePage& a = plan.pages[0];
  ASSERT_EQ(plan.files[a.file].path, "a.cpp");
  ASSERT_EQ(a.includePages.size(), 3u);
  EXPECT_EQ(plan.files[plan.pages[*a.includePages[0]].file].path, "x.def");
  EXPECT_EQ(plan.files[plan.pages[*a.includePages[1]].file].path, "vector");
  EXPECT_FALSE(a.includePages[2].has_value());
}

TEST(SitePlanTest, ClashingPageNamesGetUnderscores) {
  FakeTree tree;
  tree.files = {{"index", 1}, {"index_", 1}, {"sub.html", 1}, {"sub.html/a.h", 1}, {"x.h", 1}};
  tree.startLikeSource = {"index", "index_"};
  tree.includes["x.h"] = {{"sub.html", false}};
  EXPECT_EQ(PagePaths(tree.Plan()), (std::map<std::string, std::string>{
                                        {"index", "index__.html"},  // index_.html is index_'s
                                        {"index_", "index_.html"},
                                        {"sub.html", "sub.html.html"},
                                        {"sub.html/a.h", "sub.html/a.h.html"},
                                        {"x.h", "x.h.html"},
                                    }));
  FakeTree folderClash;
  folderClash.files = {{"a", 1}, {"a.html/b.h", 1}};
  folderClash.startLikeSource = {"a"};
  EXPECT_EQ(
      PagePaths(folderClash.Plan()),
      (std::map<std::string, std::string>{{"a", "a_.html"}, {"a.html/b.h", "a.html/b.h.html"}}));
}

TEST(SitePlanTest, FoldersListSubfoldersAndPagesByName) {
  FakeTree tree;
  tree.files = {{"z.h", 1}, {"a.h", 1}, {"src/b/c.h", 1}, {"src/a.c", 1}, {"doc/readme.txt", 1}};
  const SitePlan plan = tree.Plan();
  std::vector<std::string> folders;
  for (const SiteFolder& folder : plan.folders) folders.push_back(folder.path);
  EXPECT_EQ(folders, (std::vector<std::string>{"", "src", "src/b"}));
  const SiteFolder& root = plan.folders[0];
  ASSERT_EQ(root.subfolders.size(), 1u);
  EXPECT_EQ(plan.folders[root.subfolders[0]].path, "src");
  std::vector<std::string> rootPages;
  for (std::size_t p : root.pages) rootPages.push_back(plan.pages[p].path);
  EXPECT_EQ(rootPages, (std::vector<std::string>{"a.h.html", "z.h.html"}));
}

TEST(SitePlanTest, SourceExtensions) {
  for (const char* name :
       {"a.c", "a.cc", "a.cpp", "a.cxx", "a.c++", "a.C", "a.h", "a.hh", "a.hpp", "a.hxx", "a.h++",
        "a.H", "a.inl", "a.ipp", "a.tcc", "a.tpp", "a.ixx", "a.cppm"}) {
    EXPECT_TRUE(HasSourceExtension(name)) << name;
  }
  for (const char* name : {"a.txt", "a.CPP", "a.hpp~", "ah", "a.def", "c", ".h", "a.c.orig"}) {
    EXPECT_FALSE(HasSourceExtension(name)) << name;
  }
}

}  // namespace
}  // namespace lexpaint
