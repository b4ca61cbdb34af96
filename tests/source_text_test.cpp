#include "source_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "line_reader.h"

namespace lexpaint {
namespace {

// The lines are laid out as a run of LineReader's: a line feed before them, one after the last
// line, and padding that may be read.
TEST(SourceTextTest, HoldsTheFileAsOneRunOfLines) {
  const struct {
    std::string file;
    std::string lines;
  } kCases[] = {
      {"", ""},
      {"a\nb\n", "a\nb\n"},
      {"a\nb", "a\nb\n"},
      {std::string("x\0y\r\n", 5), std::string("x\0y\r\n", 5)},
  };
  SourceText text;
  for (const auto& c : kCases) {
    std::istringstream source(c.file);
    ASSERT_TRUE(text.Read(source, c.file.size()));
    EXPECT_EQ(text.lines(), c.lines);
    if (text.lines().empty()) continue;
    EXPECT_EQ(text.lines().data()[-1], '\n');
    const char* const end = text.lines().data() + text.lines().size();
    EXPECT_EQ(std::string(end, LineReader::kPadding), std::string(LineReader::kPadding, '\0'));
  }
}

// The size given is a guess: a file that grew or shrank since it was listed is read whole, and a
// text read again holds the new file alone.
TEST(SourceTextTest, ReadsToTheEndWhateverTheGuess) {
  SourceText text;
  for (std::size_t size : {10000u, 3u, 70000u}) {
    const std::string file(size - 1, 'x');
    for (std::uint64_t guess : {std::uint64_t{0}, std::uint64_t{size / 2}, std::uint64_t{size},
                                std::uint64_t{2 * size}}) {
      std::istringstream source(file);
      ASSERT_TRUE(text.Read(source, guess));
      EXPECT_EQ(text.lines(), file + "\n") << size << " " << guess;
    }
  }
}

TEST(SourceTextTest, ReportsAFailedStream) {
  std::istringstream source("abc");
  source.setstate(std::ios::badbit);
  SourceText text;
  EXPECT_FALSE(text.Read(source, 3));
}

}  // namespace
}  // namespace lexpaint
