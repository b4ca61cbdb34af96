#include "page_links.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "definition_index.h"
#include "definitions_plan.h"

namespace lexpaint {
namespace {

// a.h defines f twice and g once; b.h defines f once more. Both are pages.
const std::string kSourceA =
    "int f(int x) { return x; }\n"
    "int g() { return f(1); }\n"
    "int f(long x) { return 0; }\n";

SitePlan PlanOfTwoHeaders() {
  return PlanOf({
      {"a.h",
       {{"f", Definition::kFunction, 1},
        {"g", Definition::kFunction, 2},
        {"f", Definition::kFunction, 3}}},
      {"b.h", {{"f", Definition::kFunction, 1}}},
  });
}

// The word at `at` in `text`, as the highlighter passes it: a view into the page's lines.
std::string_view WordAt(std::string_view text, std::string_view word, std::size_t at) {
  return text.substr(text.find(word, at), word.size());
}

// A page keeps the text of each listed definition's line from the definition's own word, and
// takes the others, the lines the highlighter did not pass, from a second read.
TEST(PageLinksTest, KeepsListedTextsSeenAndUnseen) {
  const SitePlan plan = PlanOfTwoHeaders();
  ASSERT_EQ(plan.pages.size(), 2u);
  ASSERT_EQ(plan.pages[0].path, "a.h.html");
  const DefinitionIndex index(plan, "names");
  ListedTexts texts(index.targetCount(), plan.pages.size());
  PageLinks links(index, plan, 0, 160, texts);

  // Lines are preceded and ended by a line feed, as the highlighter's buffer holds them.
  const std::string text = "\n" + kSourceA;
  const std::size_t line2 = text.find("int g");
  EXPECT_EQ(links.Href(WordAt(text, "f", 1), 1), "");  // the definition itself
  EXPECT_EQ(links.Href(WordAt(text, "g", line2), 2), "");
  // a.h sees its own two definitions of f, not b.h's.
  EXPECT_EQ(links.Href(WordAt(text, "f", line2), 2), "names/f.html#f%40a.h");

  EXPECT_EQ(links.UnkeptLines(), std::vector<std::uint64_t>{3});
  links.KeepTexts({3}, {"int f(long x) { return 0; }"});

  // f's definitions are targets 0 to 2 in the order of the tags file; g, defined once, has no list.
  EXPECT_EQ(index.ListedTarget(0, 1), DefinitionIndex::kUnlisted);
  const std::uint32_t first = index.ListedTarget(0, 0);
  const std::uint32_t second = index.ListedTarget(0, 2);
  const std::uint32_t other = index.ListedTarget(1, 0);
  EXPECT_EQ(texts.TextOf(first), "int f(int x) { return x; }");
  EXPECT_EQ(texts.TextOf(second), "int f(long x) { return 0; }");
  EXPECT_TRUE(texts.Kept(first) && texts.Kept(second));
  EXPECT_FALSE(texts.Kept(other));  // b.h's page has not been written
  EXPECT_EQ(index.TargetAt(other).page, 1u);
  EXPECT_TRUE(links.UnkeptLines().empty());
}

}  // namespace
}  // namespace lexpaint
