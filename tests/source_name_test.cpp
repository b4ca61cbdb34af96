#include "source_name.h"

#include <gtest/gtest.h>

namespace lexpaint {
namespace {

TEST(SourceNameTest, SupportedNamesEndInCppOrH) {
  for (const char* name : {"a.cpp", "a.h", "xcpp", "graph", "h", "ah", "dir.x/a.cpp"}) {
    EXPECT_TRUE(IsSupportedFile(name)) << name;
  }
  for (const char* name : {"", "a", "cp", "pp", "a.hpp", "a.CPP", "a.H", "notes.txt", "a.cpp ",
                           "a.c", "--help", "--version"}) {
    EXPECT_FALSE(IsSupportedFile(name)) << name;
  }
}

TEST(SourceNameTest, DefaultTargetAppendsHtml) {
  EXPECT_EQ(DefaultTargetName("prog.cpp"), "prog.cpp.html");
  EXPECT_EQ(DefaultTargetName("src/a.h"), "src/a.h.html");
}

}  // namespace
}  // namespace lexpaint
