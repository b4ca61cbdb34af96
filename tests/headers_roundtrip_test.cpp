// Converts every file of the installed C++ standard library headers, a large body of real code,
// and checks each page's markup and text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "highlighter.h"
#include "keyword_set.h"
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

TEST(HeadersRoundTripTest, EveryStandardHeaderConvertsFaithfully) {
  std::error_code error;
  if (!fs::is_directory(kHeaderRoot, error)) GTEST_SKIP() << kHeaderRoot << " is missing";
  std::ifstream list(std::string(LEXPAINT_DATA_DIR) + "/C_Keywords.txt");
  ASSERT_TRUE(list.is_open());
  const KeywordSet keywords = KeywordSet::Read(list);
  ASSERT_GT(keywords.size(), 0u);

  int files = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kHeaderRoot)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const std::string source = ReadFile(entry.path());
    std::istringstream input(source);
    std::ostringstream output;
    Highlighter highlighter(input, output, keywords);
    highlighter.Run();
    EXPECT_FALSE(highlighter.input_failed()) << entry.path();
    const std::string fault = CheckHighlighted(source, output.str());
    EXPECT_EQ(fault, "") << entry.path();
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace lexpaint
