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
