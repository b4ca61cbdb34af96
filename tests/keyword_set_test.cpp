#include "keyword_set.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

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

// Words that share a first byte, a length or a hash with a member must still be told apart, also
// once the table has grown several times.
TEST(KeywordSetTest, NearMissesAreNotMembers) {
  KeywordSet keywords;
  std::vector<std::string> members;
  for (char first : std::string("abc_")) {
    for (std::size_t length = 1; length <= 70; length += 3) {
      members.push_back(first + std::string(length - 1, 'x'));
      keywords.Insert(members.back());
    }
  }
  EXPECT_EQ(keywords.size(), members.size());
  for (const std::string& word : members) {
    EXPECT_TRUE(keywords.Contains(word)) << word;
    EXPECT_FALSE(keywords.Contains(word + "x")) << word;
    EXPECT_FALSE(keywords.Contains(word.substr(0, word.size() - 1) + "y")) << word;
    EXPECT_FALSE(keywords.Contains("d" + word.substr(1))) << word;
    if (word.size() > 2) {
      std::string middle = word;
      middle[word.size() / 2 - 1] = 'z';
      EXPECT_FALSE(keywords.Contains(middle)) << word;
    }
  }
}

TEST(KeywordSetTest, EmptyWordOnlyWhenInserted) {
  KeywordSet keywords;
  EXPECT_FALSE(keywords.Contains(""));
  keywords.Insert("");
  keywords.Insert("");
  EXPECT_TRUE(keywords.Contains(""));
  EXPECT_EQ(keywords.size(), 1u);
}

}  // namespace
}  // namespace lexpaint
