// Inputs no sensible source file contains: binary bytes, odd line ends, huge lines, lone quotes
// and backslashes. The tool must convert each without a message, into well-formed markup that
// carries the input's text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "highlighter.h"
#include "keyword_set.h"
#include "line_anchors.h"
#include "markup_check.h"
#include "sandbox.h"

namespace lexpaint {
namespace {

using std::string_literals::operator""s;

std::string ReadDataFile(const std::string& name) {
  std::ifstream file(std::string(LEXPAINT_DATA_DIR) + "/" + name, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// The check the other tests rely on must itself reject bad output, and accept the differences
// the highlighter is allowed to make.
struct CheckCase {
  const char* name;
  std::string input;
  std::string output;
  const char* fault;  // a part of the expected message; "" if the output is right
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class MarkupCheckTest : public testing::TestWithParam<CheckCase> {};

TEST_P(MarkupCheckTest, FindsFault) {
  const CheckCase& c = GetParam();
  const std::string fault = CheckHighlighted(c.input, c.output);
  if (*c.fault == '\0') {
    EXPECT_EQ(fault, "");
  } else {
    EXPECT_NE(fault.find(c.fault), std::string::npos) << "message: " << fault;
  }
}

const std::string kStrA = "<span class=\"String\">\"a</span>";
const CheckCase kCheckCases[] = {
    {"Right", "int x;\n", "<span class=\"Keyword\">int</span> x;\n", ""},
    {"EmptySpan", "\"\\\n", "<span class=\"String\">\"</span>\\\n", ""},
    {"WhiteSpaceDroppedAfterContinuation", "\"a\\ \t\r\n", kStrA + "\\\n", ""},
    {"TabsExpandedOrKept", "\t\"\t\"\n", "    <span class=\"String\">\"\t\"</span>\n", ""},
    {"EntitiesDecoded", "<&>\r\n", "&lt;&amp;&gt;&#13;\n", ""},
    {"LineCutAtNul", "a\0b\n"s, "a\n", ""},
    {"NestedSpan", "ab\n", "<span class=\"Identifier\">a<span class=\"Identifier\">b</span>\n",
     "inside another span"},
    {"UnknownClass", "a\n", "<span class=\"Name\">a</span>\n", "unknown span class"},
    {"SpanOpenAtLineEnd", "\"a\n\"\n", "<span class=\"String\">\"a\n\"</span>\n", "left open"},
    {"CloseWithoutOpen", "a\n", "a</span>\n", "without an open span"},
    {"BareLess", "<\n", "<\n", "bare '<'"},
    {"BareGreater", ">\n", ">\n", "bare '>'"},
    {"BareAmpersand", "&\n", "&\n", "bare '&'"},
    {"OtherEntity", "\"\n", "&quot;\n", "bare '&'"},
    {"NulInOutput", "a\0\n"s, "a\0\n"s, "NUL"},
    {"BareTab", "\t\n", "\t\n", "tab outside"},
    {"BareCrEndsLine", "a\r\n", "a\r\n", "bare CR"},
    {"CrEntityInsideLine", "a\rb\n", "a&#13;b\n", "text after &#13;"},
    {"NoFinalLineFeed", "a", "a", "does not end with a line feed"},
    {"LineLost", "a\nb\n", "a\n", "2 input lines but 1 output lines"},
    {"TextChanged", "abc\n", "<span class=\"Identifier\">abd</span>\n", "differs at byte 3"},
    {"TrailingSpaceLost", "a \n", "a\n", "differs at byte 2"},
    {"WhiteSpaceDroppedWithoutBackslash", "\"a \n", kStrA + "\n", "differs at byte 3"},
    {"CrEntityLost", "a\r\n", "a\n", "differs at byte 2"},
    {"TextAfterNulKept", "a\0b\n"s, "a b\n", "differs at byte 2"},
};
INSTANTIATE_TEST_SUITE_P(Cases, MarkupCheckTest, testing::ValuesIn(kCheckCases),
                         [](const auto& info) { return info.param.name; });

// Repeats `pattern` up to `size` bytes.
std::string Repeat(std::string_view pattern, std::size_t size) {
  std::string text;
  text.reserve(size);
  while (text.size() < size) text.append(pattern.substr(0, size - text.size()));
  return text;
}

std::string AllBytes() {
  std::string text;
  for (int c = 0; c < 256; ++c) text += static_cast<char>(c);
  return text;
}

std::string AllBytesReversed() {
  std::string text = AllBytes();
  return std::string(text.rbegin(), text.rend());
}

// Every byte after every other, so each byte meets each quote, backslash, '/' and CR.
std::string AllBytePairs() {
  std::string text;
  for (int a = 1; a < 256; ++a) {
    for (int b = 1; b < 256; ++b) {
      text += static_cast<char>(a);
      text += static_cast<char>(b);
    }
  }
  return text;
}

std::string HighBytes() {
  std::string high;
  for (int c = 0x80; c < 0x100; ++c) high += static_cast<char>(c);
  return high + "\nx" + high + " \"" + high + "\" '" + high + "\\\n" + high + "' /* " + high +
         " */ // " + high + "\n#" + high + "\n1" + high + "\n";
}

// A mix of tokens with no line feed in it, so that repeating it builds one line.
constexpr std::string_view kTokenMix =
    "int x = \"a\tb\\\" <c>\" + 'd' /* e & f */ 1.5e-3 <&>\t\r\\ # \x80\xff y // ";

struct BadInput {
  const char* name;
  std::string (*make)();
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

const BadInput kBadInputs[] = {
    {"Empty", [] { return ""s; }},
    {"AllBytes", AllBytes},
    {"AllBytesReversed", AllBytesReversed},
    {"AllBytePairs", AllBytePairs},
    {"NulBytes", [] { return "\0\0\n\0\"x\nab\0\"cd\n\"x\\\0\n y\"/*\0*/\nz\n\0"s; }},
    {"HighBytes", HighBytes},
    {"CarriageReturnLineEnds", [] { return "int a;\r\"b\\\r'c\r/* d\r*/\r\r"s; }},
    {"CrLfLineEnds",
     [] { return "int a;\r\n\"b\\\r\n c\"\r\n/* d\r\n */\r\n\t\r\n\r\n// e\r\n"s; }},
    {"FiftyMegabytesWithoutLineFeed", [] { return Repeat(kTokenMix, 50 << 20); }},
    {"TenMegabyteLine",
     [] { return "x = \"" + Repeat("a<&>\t\\\"'", 10 << 20) + "\";\nint y;\n"; }},
    {"OnlyBackslashes",
     [] { return std::string(100000, '\\') + "\n\\\n\\\\\n\\ \n" + std::string(3, '\\'); }},
    {"OnlyDoubleQuotes", [] { return std::string(100001, '"') + "\n\"\n\"\"\n\""; }},
    {"OnlySingleQuotes", [] { return std::string(100001, '\'') + "\n'\n''\n'"; }},
    {"OnlyQuotesOfBothKinds", [] { return Repeat("\"'", 100001) + "\n'\"\n\"\n'\n\"\"'"; }},
    {"UnterminatedBlockCommentAtEnd", [] { return "int x; /* open\n still \\\n"s; }},
    {"UnterminatedLiteralAtEnd", [] { return "x = \"open\ny = 'also open"s; }},
    {"ContinuedLiteralAtEnd", [] { return "x = \"open \\ \t"s; }},
};

class BadInputTest : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, CommandWritesWellFormedPage) {
  const std::string source = GetParam().make();
  const std::string header = ReadDataFile("Header.html");
  const std::string footer = ReadDataFile("Footer.html");
  ASSERT_FALSE(header.empty());
  Sandbox box;
  box.Write("Header.html", header);
  box.Write("Footer.html", footer);
  box.Write("C_Keywords.txt", ReadDataFile("C_Keywords.txt"));
  box.Write("bad.cpp", source);

  const RunResult result = box.Lexpaint({"bad.cpp"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
  const std::string page = box.Read("bad.cpp.html");
  ASSERT_GE(page.size(), header.size() + footer.size());
  ASSERT_EQ(page.compare(0, header.size(), header), 0) << "page does not start with the header";
  ASSERT_EQ(page.compare(page.size() - footer.size(), footer.size(), footer), 0)
      << "page does not end with the footer";
  const std::string_view body =
      std::string_view(page).substr(header.size(), page.size() - header.size() - footer.size());
  EXPECT_EQ(CheckHighlighted(source, body), "");
}

std::string Highlight(const std::string& source, HighlightOptions options) {
  KeywordSet keywords;
  for (std::string_view word : {"int", "in", "double", "do"}) keywords.Insert(word);
  std::istringstream input(source);
  std::ostringstream output;
  Highlighter highlighter(input, output, std::move(keywords), options);
  highlighter.Run();
  EXPECT_FALSE(highlighter.input_failed());
  return output.str();
}

TEST_P(BadInputTest, HighlighterWritesWellFormedMarkup) {
  const std::string source = GetParam().make();
  const std::string plain = Highlight(source, {});
  EXPECT_EQ(CheckHighlighted(source, plain), "");
  HighlightOptions numbered;
  numbered.lineNumbers = true;
  EXPECT_EQ(CheckLineAnchors(Highlight(source, numbered), plain, CountLines(source)), "");
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadInputTest, testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lexpaint
