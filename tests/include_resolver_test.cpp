#include "include_resolver.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace lexpaint {
namespace {

TEST(IncludeResolverTest, NormalizePath) {
  EXPECT_EQ(NormalizePath("a/./b//c"), "a/b/c");
  EXPECT_EQ(NormalizePath("a/../b"), "b");
  EXPECT_EQ(NormalizePath("a/b/../../c"), "c");
  EXPECT_EQ(NormalizePath(""), "");
  EXPECT_EQ(NormalizePath(".."), std::nullopt);
  EXPECT_EQ(NormalizePath("a/../../b"), std::nullopt);
  EXPECT_EQ(NormalizePath("/usr/include/a.h"), std::nullopt);
}

struct ResolveCase {
  const char* includer;
  const char* name;
  bool angled;
  const char* found;  // the path it resolves to; "" for none
};

TEST(IncludeResolverTest, SearchOrder) {
  const std::vector<TreeFile> files = {{"a.h", 1},          {"src/a.h", 1},     {"src/main.cpp", 1},
                                       {"src/deep/d.h", 1}, {"include/a.h", 1}, {"include/i.h", 1},
                                       {"third/i.h", 1},    {"third/t.h", 1},   {"vector", 1}};
  const IncludeResolver resolver(files, {"include", "./third/", "../outside", "missing"});
  const ResolveCase cases[] = {
      {"src/main.cpp", "a.h", false, "src/a.h"},  // the includer's folder first
      {"src/main.cpp", "a.h", true, "a.h"},       // angled: the root first
      {"main.cpp", "a.h", false, "a.h"},
      {"src/main.cpp", "deep/d.h", false, "src/deep/d.h"},
      {"src/deep/d.h", "../a.h", false, "src/a.h"},
      {"src/main.cpp", "i.h", false, "include/i.h"},  // -I folders in order
      {"src/main.cpp", "t.h", true, "third/t.h"},
      {"src/main.cpp", "vector", true, "vector"},
      {"src/main.cpp", "deep/d.h", true, ""},
      {"src/main.cpp", "../../a.h", false, ""},  // leaves the tree
      {"src/main.cpp", "/a.h", false, ""},
      {"src/main.cpp", "nothing.h", false, ""},
      {"src/main.cpp", "src", false, ""},  // a folder is no file
  };
  for (const ResolveCase& c : cases) {
    const std::optional<std::size_t> found = resolver.Resolve(c.includer, c.name, c.angled);
    EXPECT_EQ(found ? files[*found].path : "", c.found)
        << c.includer << " includes " << (c.angled ? "<" : "\"") << c.name;
  }
}

}  // namespace
}  // namespace lexpaint
