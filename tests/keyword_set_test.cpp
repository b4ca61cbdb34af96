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

// ContainsPadded reads past the word; the bytes there, here the rest of a longer word, must not
// change the answer. Lengths around kMaskWidth take both of its comparisons.
TEST(KeywordSetTest, PaddedLookupAgreesWithContains) {
  KeywordSet keywords;
  const std::string text = "constexpr_abcdefghijklmnopqrstuvwxyz0123456789" + std::string(64, 'x');
  for (std::size_t length : {1, 5, 9, 15, 16, 17, 30}) keywords.Insert(text.substr(0, length));
  for (std::size_t length = 0; length <= 40; ++length) {
    const std::string_view word(text.data(), length);
    EXPECT_EQ(keywords.ContainsPadded(word), keywords.Contains(word)) << length;
    std::string changed(text);
    if (length > 0) changed[length - 1] = '!';
    const std::string_view changedWord(changed.data(), length);
    EXPECT_EQ(keywords.ContainsPadded(changedWord), keywords.Contains(changedWord)) << length;
  }
  EXPECT_TRUE(keywords.ContainsPadded(std::string_view(text.data(), 16)));
  EXPECT_FALSE(keywords.ContainsPadded(std::string_view(text.data(), 14)));
}

// More short members than the padded lookup has buckets, so that chains hold several entries:
// every member is found, and words differing from one in a middle byte, or by the first byte or
// the length alone, are not.
TEST(KeywordSetTest, PaddedLookupFollowsSharedBuckets) {
  KeywordSet keywords;
  std::vector<std::string> members;
  for (char first : std::string("aq_Z")) {
    for (std::size_t length = 1; length <= 16; ++length) {
      for (char middle = 'a'; middle <= 'z'; ++middle) {
        std::string word(length, 'k');
        if (length > 2) word[length / 2] = middle;
        if (length > 1) word[length - 1] = 'e';
        word[0] = first;
        if (length < 3 && middle != 'a') continue;  // no middle byte to vary
        members.push_back(word);
        keywords.Insert(word);
      }
    }
  }
  const auto padded = [&keywords](const std::string& word) {
    const std::string text = word + std::string(kMaskWidth, 'k');
    return keywords.ContainsPadded(std::string_view(text.data(), word.size()));
  };
  for (const std::string& word : members) {
    EXPECT_TRUE(padded(word)) << word;
    EXPECT_EQ(padded(word + "e"), keywords.Contains(word + "e")) << word;
    std::string other = word;
    other[0] = 'b';
    EXPECT_FALSE(padded(other)) << other;
    if (word.size() > 2) {
      other = word;
      other[word.size() / 2] = '0';
      EXPECT_FALSE(padded(other)) << other;
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
