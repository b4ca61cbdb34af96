#include "keyword_set.h"

#include <gtest/gtest.h>

#include <sstream>

namespace lexpaint {
namespace {

KeywordSet ReadFrom(const std::string& text) {
  std::istringstream list(text);
  return KeywordSet::Read(list);
}

TEST(KeywordSetTest, OneKeywordPerLineEmptyLinesSkipped) {
  const KeywordSet keywords = ReadFrom("int\n\nreturn\nint\n");
  EXPECT_EQ(keywords.size(), 2u);
  EXPECT_TRUE(keywords.Contains("int"));
  EXPECT_TRUE(keywords.Contains("return"));
  EXPECT_FALSE(keywords.Contains(""));
}

TEST(KeywordSetTest, LastLineWithoutLineFeedIsRead) {
  EXPECT_TRUE(ReadFrom("int\nfor").Contains("for"));
}

// Lines are taken unchanged: case, trailing spaces and a CR all make a different word.
TEST(KeywordSetTest, NoTrimmingOrCaseFolding) {
  const KeywordSet keywords = ReadFrom("int \nWhile\nfor\r\n  \n");
  EXPECT_EQ(keywords.size(), 4u);
  EXPECT_FALSE(keywords.Contains("int"));
  EXPECT_TRUE(keywords.Contains("int "));
  EXPECT_FALSE(keywords.Contains("while"));
  EXPECT_FALSE(keywords.Contains("for"));
  EXPECT_TRUE(keywords.Contains("for\r"));
  EXPECT_TRUE(keywords.Contains("  "));
}

TEST(KeywordSetTest, PrefixesAreNotMembers) {
  const KeywordSet keywords = ReadFrom("constexpr\n");
  EXPECT_FALSE(keywords.Contains("const"));
  EXPECT_FALSE(keywords.Contains("constexpr_"));
}

}  // namespace
}  // namespace lexpaint
