// Converts every file of the installed C++ standard library headers, a large body of real code,
// and checks each page's markup and text, and that the page with line numbers differs from it
// only by their anchors, and the page with include and name links only by its links.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "highlighter.h"
#include "keyword_set.h"
#include "line_anchors.h"
#include "markup_check.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

constexpr char kHeaderRoot[] = "/usr/include/c++";

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string Highlight(const std::string& source, const KeywordSet& keywords,
                      HighlightOptions options) {
  std::istringstream input(source);
  std::ostringstream output;
  Highlighter highlighter(input, output, keywords, options);
  highlighter.Run();
  EXPECT_FALSE(highlighter.input_failed());
  return output.str();
}

TEST(HeadersRoundTripTest, EveryStandardHeaderConvertsFaithfully) {
  std::error_code error;
  if (!fs::is_directory(kHeaderRoot, error)) GTEST_SKIP() << kHeaderRoot << " is missing";
  std::ifstream list(std::string(LEXPAINT_DATA_DIR) + "/C_Keywords.txt");
  ASSERT_TRUE(list.is_open());
  const KeywordSet keywords = KeywordSet::Read(list);
  ASSERT_GT(keywords.size(), 0u);

  int files = 0;
  long includeLinks = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kHeaderRoot)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const std::string source = ReadFile(entry.path());
    const std::string plain = Highlight(source, keywords, {});
    EXPECT_EQ(CheckHighlighted(source, plain), "") << entry.path();
    HighlightOptions numbered;
    numbered.lineNumbers = true;
    const std::string numberedBody = Highlight(source, keywords, numbered);
    EXPECT_EQ(CheckLineAnchors(numberedBody, plain, CountLines(source)), "") << entry.path();
    HighlightOptions linked = numbered;
    linked.includeHref = [](std::string_view, bool) { return std::string("x.html"); };
    linked.nameHref = [](std::string_view, std::uint64_t) { return std::string_view("n.html"); };
    int links = 0;
    EXPECT_EQ(RemoveLinks(Highlight(source, keywords, linked), &links), numberedBody)
        << entry.path();
    EXPECT_GE(links, 0) << entry.path();
    includeLinks += links;  // include and name links
  }
  EXPECT_GT(files, 0);
  EXPECT_GT(includeLinks, 10 * files);
}

}  // namespace
}  // namespace lexpaint
