#include "source_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "source_text.h"

namespace lexpaint {
namespace {

using std::string_literals::operator""s;

// The scan of `text` from a stream, checked against the scan of it in place.
SourceScan Scan(const std::string& text) {
  std::istringstream source(text);
  SourceScan scan = ScanSource(source);
  std::istringstream again(text);
  SourceText whole;
  EXPECT_TRUE(whole.Read(again, text.size()));
  const SourceScan inPlace = ScanSource(whole.lines());
  EXPECT_EQ(inPlace.lines, scan.lines);
  EXPECT_EQ(inPlace.includes.size(), scan.includes.size());
  for (std::size_t k = 0; k < std::min(inPlace.includes.size(), scan.includes.size()); ++k) {
    EXPECT_EQ(inPlace.includes[k].name, scan.includes[k].name);
    EXPECT_EQ(inPlace.includes[k].angled, scan.includes[k].angled);
  }
  return scan;
}

TEST(SourceScanTest, FindsIncludeLinesAndCountsLines) {
  const SourceScan scan = Scan(
      "#include \"a.h\"\n"
      "  #  include <sys/b.h> // c\n"
      "#include_next <c.h>\n"
      "x #include \"d.h\"\n"
      "#include \"e.h\0\"\n"s
      "#include<f.h>\n"
      "#include \"\"\n"
      "#define include \"g.h\"");
  ASSERT_EQ(scan.includes.size(), 3u);
  EXPECT_EQ(scan.includes[0].name, "a.h");
  EXPECT_FALSE(scan.includes[0].angled);
  EXPECT_EQ(scan.includes[1].name, "sys/b.h");
  EXPECT_TRUE(scan.includes[1].angled);
  EXPECT_EQ(scan.includes[2].name, "f.h");
  EXPECT_EQ(scan.lines, 8u);
  EXPECT_TRUE(scan.readable);
}

TEST(SourceScanTest, LineCountsMatchPageLines) {
  EXPECT_EQ(Scan("").lines, 0u);
  EXPECT_EQ(Scan("\n").lines, 1u);
  EXPECT_EQ(Scan("a").lines, 1u);
  EXPECT_EQ(Scan("a\r\nb\r\n").lines, 2u);
  EXPECT_EQ(Scan("a\rb\r").lines, 1u);
  EXPECT_EQ(Scan(std::string(200000, 'x') + "\n\n").lines, 2u);
}

struct StartCase {
  std::string head;
  bool source;
};

TEST(SourceScanTest, ShownLineTextTrimsAndCutsWholeCharacters) {
  const struct {
    std::string line;
    std::size_t width;
    std::string shown;
  } kCases[] = {
      {" \t int f() { \r", 160, "int f() {"},
      {"int a;\0 hidden"s, 160, "int a;"},
      {"abcdef", 4, "abcd"},
      {"ab\xC3\xA9", 3, "ab"},  // not half of the 'é'
      {"ab\xC3\xA9", 4, "ab\xC3\xA9"},
      {"a\xE2\x82\xAC\xE2\x82\xAC", 6, "a\xE2\x82\xAC"},  // two euro signs, room for one
      {"\x80\x80\x80\x80\x80", 4, "\x80\x80\x80\x80"},    // no UTF-8: cut where asked
      {"   ", 160, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ShownLineText(c.line, c.width), c.shown) << c.line;
  }
}

TEST(SourceScanTest, StartsLikeSource) {
  const StartCase cases[] = {
      {"// The <vector> header\n", true},
      {"\n\n  /* C */", true},
      {"#ifndef _GLIBCXX_VECTOR\n", true},
      {"#pragma once", true},
      {"# include <x>\n", true},
      {"#if(X)", true},
      {"#define A 1", true},
      {"#!/bin/sh\n", false},
      {"# A Markdown title\n", false},
      {"#includes", false},
      {"int x;\n", false},
      {"", false},
      {"// binary\0data"s, false},
      {"/ not a comment", false},
  };
  for (const StartCase& c : cases) EXPECT_EQ(StartsLikeSource(c.head), c.source) << c.head;
}

}  // namespace
}  // namespace lexpaint
