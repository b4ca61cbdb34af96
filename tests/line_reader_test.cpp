#include "line_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace lexpaint {
namespace {

std::vector<std::string> ReadLines(const std::string& text) {
  std::istringstream input(text);
  LineReader reader(input);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(&line)) lines.emplace_back(line);
  EXPECT_FALSE(reader.failed());
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReaderTest, SplitsAtLineFeeds) {
  EXPECT_EQ(ReadLines(""), Lines{});
  EXPECT_EQ(ReadLines("\n"), Lines{""});
  EXPECT_EQ(ReadLines("a\n\nb\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(ReadLines("a\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(ReadLines("a\r\nb\rc"), (Lines{"a\r", "b\rc"}));
  EXPECT_EQ(ReadLines(std::string("a\0b\n", 4)), Lines{std::string("a\0b", 3)});
}

// Lines longer than the read buffer, and line feeds right at its edges, come out whole.
TEST(LineReaderTest, LinesAcrossBufferBoundaries) {
  Lines expected;
  std::string text;
  for (std::size_t length : {65535u, 65536u, 0u, 1u, 200000u, 65537u}) {
    expected.emplace_back(length, 'x');
    text += expected.back() + "\n";
  }
  text += "tail";
  expected.push_back("tail");
  EXPECT_EQ(ReadLines(text), expected);
}

// Line feeds are searched 16 bytes at a time: put one at every offset of such a block, and bytes
// that resemble a line feed (CR, NUL, 0x8A) around it.
TEST(LineReaderTest, LineFeedAtEveryOffset) {
  Lines expected;
  std::string text;
  for (std::size_t length = 0; length <= 40; ++length) {
    std::string line(length, 'x');
    if (length > 0) line[length / 2] = static_cast<char>(length % 3 == 0 ? '\r' : '\x8A');
    if (length > 1) line[length - 1] = '\0';
    expected.push_back(line);
    text += line + "\n";
  }
  EXPECT_EQ(ReadLines(text), expected);
  text.pop_back();
  EXPECT_EQ(ReadLines(text), expected);
}

// The text of each line as cut at its first NUL, as Next reports it alongside the line.
Lines ReadTexts(const std::string& text) {
  std::istringstream input(text);
  LineReader reader(input);
  Lines texts;
  std::string_view line;
  std::size_t textSize = 0;
  while (reader.Next(&line, &textSize)) {
    EXPECT_LE(textSize, line.size());
    EXPECT_EQ(line.data()[line.size()], '\n');
    EXPECT_TRUE(line.data()[textSize] == '\n' || line.data()[textSize] == '\0');
    texts.emplace_back(line.substr(0, textSize));
  }
  return texts;
}

// NULs and line feeds are found in one scan: several NULs in a block, a NUL right before the line
// feed or in the block after it, and NULs on either side of a refill of the read buffer.
TEST(LineReaderTest, TextEndsAtFirstNul) {
  const std::string nul(1, '\0');
  const std::string longRun(70000, 'x');
  const struct {
    std::string text;
    Lines expected;
  } cases[] = {
      {"ab" + nul + "c" + nul + "d\n", {"ab"}},
      {"abc" + nul + "\nxy" + nul + "\n", {"abc", "xy"}},
      {nul + "\n\nz", {"", "", "z"}},
      {"abcdefghijklmnopq\n" + nul + "\n", {"abcdefghijklmnopq", ""}},
      {"tail" + nul, {"tail"}},
      {longRun + nul + "y\nz", {longRun, "z"}},
      {"a" + nul + longRun + "\nz", {"a", "z"}},
      {"a\nb" + nul + longRun + "\nz", {"a", "b", "z"}},
      {longRun + longRun + "\n" + nul, {longRun + longRun, ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadTexts(c.text), c.expected) << c.text.size();
  std::string offsets;
  Lines expected;
  for (std::size_t at = 0; at < 40; ++at) {
    std::string line(40, 'x');
    line[at] = '\0';
    line[(at + 7) % 40] = '\0';
    offsets += line + "\n";
    expected.push_back(std::string(std::min(at, (at + 7) % 40), 'x'));
  }
  EXPECT_EQ(ReadTexts(offsets), expected);
}

// A last line without a line feed is still followed by one, also when the buffer behind it held
// earlier lines.
TEST(LineReaderTest, LastLineFollowedByLineFeed) {
  for (const std::string& tail : {std::string("t"), std::string("tail"), std::string("ta\0l", 4)}) {
    std::string text;
    Lines expected;
    while (text.size() < 70000) {
      text += "abcdefghij klmnopqrstuvw\n";
      expected.push_back("abcdefghij klmnopqrstuvw");
    }
    expected.push_back(tail.substr(0, tail.find('\0')));
    EXPECT_EQ(ReadTexts(text + tail), expected) << tail;
  }
}

TEST(LineReaderTest, ReportsFailedStream) {
  std::istringstream input("a\n");
  input.setstate(std::ios::badbit);
  LineReader reader(input);
  std::string_view line;
  EXPECT_FALSE(reader.Next(&line));
  EXPECT_TRUE(reader.failed());
}

}  // namespace
}  // namespace lexpaint
