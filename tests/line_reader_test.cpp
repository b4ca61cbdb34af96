#include "line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace lexpaint {
namespace {

using Runs = std::vector<std::string>;

// Reads `text` a run at a time, checking what every run promises: whole lines, each ending in a
// line feed, a line feed before the run, and no more than kRunSize bytes unless it is one line.
Runs ReadRuns(const std::string& text) {
  std::istringstream input(text);
  LineReader reader(input);
  Runs runs;
  std::string_view lines;
  while (reader.NextLines(&lines)) {
    EXPECT_FALSE(lines.empty());
    if (lines.empty()) break;
    EXPECT_EQ(lines.back(), '\n');
    EXPECT_EQ(lines.data()[-1], '\n');
    const auto feeds = std::count(lines.begin(), lines.end(), '\n');
    EXPECT_TRUE(lines.size() <= LineReader::kRunSize || feeds == 1) << lines.size();
    runs.emplace_back(lines);
  }
  EXPECT_FALSE(reader.failed());
  return runs;
}

std::string Joined(const Runs& runs) {
  std::string text;
  for (const std::string& run : runs) text += run;
  return text;
}

TEST(LineReaderTest, GivesEveryLineWithItsLineFeed) {
  const std::string nul(1, '\0');
  const struct {
    std::string text;
    std::string lines;
  } cases[] = {
      {"", ""},
      {"\n", "\n"},
      {"a\n\nb\n", "a\n\nb\n"},
      {"a\nb", "a\nb\n"},
      {"a\r\nb\rc", "a\r\nb\rc\n"},
      {"a" + nul + "b\n" + nul, "a" + nul + "b\n" + nul + "\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Joined(ReadRuns(c.text)), c.lines) << c.text;
}

// Short lines share runs, cut at the last line feed that fits.
TEST(LineReaderTest, PacksShortLinesIntoRuns) {
  std::string text;
  while (text.size() < 3 * LineReader::kRunSize) text += "ab\n";
  const Runs runs = ReadRuns(text);
  EXPECT_EQ(Joined(runs), text);
  ASSERT_GE(runs.size(), 3u);
  EXPECT_EQ(runs[0].size(), LineReader::kRunSize / 3 * 3);
}

// The last line feed of a run is searched backwards 16 bytes at a time from the run's largest
// size: put it at every offset of the first such blocks.
TEST(LineReaderTest, CutsAtLastLineFeedAtEveryOffset) {
  for (std::size_t back = 1; back <= 40; ++back) {
    const std::string first(LineReader::kRunSize - back, 'x');
    const std::string second(100, 'y');
    EXPECT_EQ(ReadRuns(first + "\n" + second + "\n"), (Runs{first + "\n", second + "\n"})) << back;
  }
}

// Lines longer than a run, or than the read buffer, come alone (as ReadRuns checks) and whole,
// also when their line feeds fall right at the edges of a read.
TEST(LineReaderTest, LongLinesComeAloneAndWhole) {
  std::string text;
  for (std::size_t length : {65535u, 65536u, 0u, 1u, 200000u, 65537u, 4095u, 4096u, 4097u}) {
    text += std::string(length, 'x') + "\n";
  }
  text += "tail";
  EXPECT_EQ(Joined(ReadRuns(text)), text + "\n");
}

// A last line without a line feed is given one, also when the buffer behind it held earlier lines
// and when it is longer than a run.
TEST(LineReaderTest, LastLineGetsALineFeed) {
  const std::string body = [] {
    std::string lines;
    while (lines.size() < 70000) lines += "abcdefghij klmnopqrstuvw\n";
    return lines;
  }();
  for (const std::string& tail : {std::string("t"), std::string("ta\0l", 4), std::string(5000, 'z'),
                                  std::string(70000, 'z')}) {
    const Runs runs = ReadRuns(body + tail);
    EXPECT_EQ(Joined(runs), body + tail + "\n") << tail.size();
  }
}

TEST(LineReaderTest, ReportsFailedStream) {
  std::istringstream input("a\n");
  input.setstate(std::ios::badbit);
  LineReader reader(input);
  std::string_view lines;
  EXPECT_FALSE(reader.NextLines(&lines));
  EXPECT_TRUE(reader.failed());
}

}  // namespace
}  // namespace lexpaint
