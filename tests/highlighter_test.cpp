#include "highlighter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>

#include "line_anchors.h"

namespace lexpaint {
namespace {

// Converts `source` with the given keywords and returns the whole body.
std::string Highlight(const std::string& source,
                      std::initializer_list<std::string_view> keywords = {"int", "return"},
                      HighlightOptions options = {}) {
  KeywordSet keywordSet;
  for (std::string_view word : keywords) keywordSet.Insert(word);
  std::istringstream input(source);
  std::ostringstream output;
  Highlighter highlighter(input, output, std::move(keywordSet), options);
  highlighter.Run();
  return output.str();
}

// The faults CheckLineAnchors finds in the body of `source` written with line numbers.
std::string LineAnchorFaults(const std::string& source) {
  HighlightOptions numbered;
  numbered.lineNumbers = true;
  return CheckLineAnchors(Highlight(source, {"int", "return"}, numbered), Highlight(source),
                          CountLines(source));
}

std::string Span(std::string_view kind, std::string_view text) {
  return "<span class=\"" + std::string(kind) + "\">" + std::string(text) + "</span>";
}
std::string Id(std::string_view text) { return Span("Identifier", text); }
std::string Kw(std::string_view text) { return Span("Keyword", text); }
std::string Op(std::string_view text) { return Span("Operator", text); }
std::string Num(std::string_view text) { return Span("Number", text); }
std::string Str(std::string_view text) { return Span("String", text); }
std::string Com(std::string_view text) { return Span("Comment", text); }
std::string Pre(std::string_view text) { return Span("Preprocessor", text); }

struct Case {
  const char* name;
  std::string source;
  std::string expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class HighlightTable : public testing::TestWithParam<Case> {};

TEST_P(HighlightTable, ConvertsWholeSource) {
  EXPECT_EQ(Highlight(GetParam().source), GetParam().expected);
}

TEST_P(HighlightTable, LineNumbersOnlyAddAnchors) {
  EXPECT_EQ(LineAnchorFaults(GetParam().source), "");
}

const Case kTokenCases[] = {
    {"KeywordAndIdentifier", "int x;\n", Kw("int") + " " + Id("x") + Op(";") + "\n"},
    {"KeywordIsCaseSensitive", "Int\n", Id("Int") + "\n"},
    {"WordWithDigitsAndUnderscore", "a_b2 _x\n", Id("a_b2") + " " + Id("_x") + "\n"},
    {"WordKeepsQuotesHashAndDollar", "L\"abc\" a##b a$b\n",
     Id("L\"abc\"") + " " + Id("a##b") + " " + Id("a$b") + "\n"},
    {"OperatorRunIsOneToken", "x->y\n", Id("x") + Op("-&gt;") + Id("y") + "\n"},
    {"OperatorRunSwallowsCommentOpener", "i++//x\n", Id("i") + Op("++//") + Id("x") + "\n"},
    {"HexNumber", "0xff 0XFF 0x1A\n",
     Num("0xff") + " " + Num("0") + Id("XFF") + " " + Num("0x1") + Id("A") + "\n"},
    {"NumberTakesSignsAndExponents", "3.14f 1e-5 1+2 10L\n",
     Num("3.14f") + " " + Num("1e-5") + " " + Num("1+2") + " " + Num("10") + Id("L") + "\n"},
    {"LeadingDotIsAnOperator", ".5\n", Op(".") + Num("5") + "\n"},
    {"DirectiveWordOnly", "#include <stdio.h>\n",
     Pre("#include") + " " + Op("&lt;") + Id("stdio") + Op(".") + Id("h") + Op("&gt;") + "\n"},
    {"DirectiveRunsToWhiteSpace", "#include<stdio.h>\n", Pre("#include&lt;stdio.h&gt;") + "\n"},
    {"LoneHash", "# define\n", Pre("#") + " " + Id("define") + "\n"},
    {"HashBetweenTokens", "a ## b\n", Id("a") + " " + Pre("##") + " " + Id("b") + "\n"},
    {"UnclassifiedCharactersAreBare", "\\ $x @ `\xC3\xA9\n", "\\ $" + Id("x") + " @ `\xC3\xA9\n"},
    {"WholeLine", "int main() { return 0x1F+1.5e-3; } // done\n",
     Kw("int") + " " + Id("main") + Op("()") + " " + Op("{") + " " + Kw("return") + " " +
         Num("0x1F+1.5e-3") + Op(";") + " " + Op("}") + " " + Com("// done") + "\n"},
};
INSTANTIATE_TEST_SUITE_P(Tokens, HighlightTable, testing::ValuesIn(kTokenCases),
                         [](const auto& info) { return info.param.name; });

const Case kLiteralCases[] = {
    {"DoubleQuoted", "\"abc\"\n", Str("\"abc\"") + "\n"},
    {"SingleQuoted", "'a'\n", Str("'a'") + "\n"},
    {"TwoLiterals", "\"a\" + \"b\"\n", Str("\"a\"") + " " + Op("+") + " " + Str("\"b\"") + "\n"},
    {"SingleQuoteClosedByEitherQuote", "'\"'\n", Str("'\"") + Str("'") + "\n"},
    {"SingleQuoteInsideDoubleQuoted", "\"it's\"\n", Str("\"it's\"") + "\n"},
    {"EscapedQuote", "\"a\\\"b\"\n", Str("\"a\\\"b\"") + "\n"},
    {"QuoteAfterEscapedBackslashDoesNotClose", "\"a\\\\\" x \"y\n",
     Str("\"a\\\\\" x \"") + Id("y") + "\n"},
    {"UnclosedLiteralEndsWithLine", "x = \"abc\ny\n",
     Id("x") + " " + Op("=") + " " + Str("\"abc") + "\n" + Id("y") + "\n"},
    {"EscapedQuoteOutsideLiteralIsBare", "\\\"x\n", "\\\"" + Id("x") + "\n"},
    {"ContinuedLiteral", "\"abc \\\ndef\"\n", Str("\"abc ") + "\\\n" + Str("def\"") + "\n"},
    {"WhiteSpaceAfterContinuationDropped", "\"abc\\ \t\ndef\"\n",
     Str("\"abc") + "\\\n" + Str("def\"") + "\n"},
    {"EmptyLineInsideContinuedLiteral", "\"a\\\n\nb\"\n",
     Str("\"a") + "\\\n\n" + Str("b\"") + "\n"},
    {"BlankContinuationLineEndsLiteral", "\"a\\\n\t \nx\n",
     Str("\"a") + "\\\n" + Str("\t ") + "\n" + Id("x") + "\n"},
    {"BackslashOnlyContinuationLine", "\"a\\\n\\\nb\"\n",
     Str("\"a") + "\\\n" + Str("") + "\\\n" + Str("b\"") + "\n"},
    // An unclosed double-quoted literal leaves single quotes unable to close the next literal.
    {"UnclosedDoubleQuoteCarriesOver", "\"abc\n'a' + \"b \"\n",
     Str("\"abc") + "\n" + Str("'a' + \"") + Id("b") + " " + Str("\"") + "\n"},
};
INSTANTIATE_TEST_SUITE_P(Literals, HighlightTable, testing::ValuesIn(kLiteralCases),
                         [](const auto& info) { return info.param.name; });

const Case kCommentCases[] = {
    {"LineComment", "x = 1; // note\n",
     Id("x") + " " + Op("=") + " " + Num("1") + Op(";") + " " + Com("// note") + "\n"},
    {"InlineBlockComment", "a /* b */ c\n", Id("a") + " " + Com("/* b */") + " " + Id("c") + "\n"},
    {"BlockCommentOverLines", "/* a\n\n b */ x\n",
     Com("/* a") + "\n\n" + Com(" b */") + " " + Id("x") + "\n"},
    {"OpenerStarCanClose", "/*/ x */\n", Com("/*/") + " " + Id("x") + " " + Op("*/") + "\n"},
    {"CommentOpenerInsideLiteral", "\"//\" \"/*\"\n", Str("\"//\"") + " " + Str("\"/*\"") + "\n"},
    {"BlockOpenerInsideLineComment", "// a /* b\nc\n", Com("// a /* b") + "\n" + Id("c") + "\n"},
    {"LineCommentIsNotContinued", "// a \\\nb\n", Com("// a \\") + "\n" + Id("b") + "\n"},
    {"UnclosedBlockCommentAtEnd", "x /* a\nb",
     Id("x") + " " + Com("/* a") + "\n" + Com("b") + "\n"},
};
INSTANTIATE_TEST_SUITE_P(Comments, HighlightTable, testing::ValuesIn(kCommentCases),
                         [](const auto& info) { return info.param.name; });

const Case kLineCases[] = {
    {"EmptySource", "", ""},
    {"EmptyLine", "\n", "\n"},
    {"LastLineWithoutLineFeed", "a\nb", Id("a") + "\n" + Id("b") + "\n"},
    {"TabsBetweenTokensExpanded", "\tx\t= 1;\n",
     "    " + Id("x") + "    " + Op("=") + " " + Num("1") + Op(";") + "\n"},
    {"WhiteSpaceOnlyLine", "\t \t\v\n",
     "    "
     " "
     "    "
     "\v\n"},
    {"TabsInCommentAndLiteralKept", "\"a\tb\" //\tc\n",
     Str("\"a\tb\"") + " " + Com("//\tc") + "\n"},
    {"NulEndsTheLine", std::string("ab\0cd \"x\n", 9) + "y\n", Id("ab") + "\n" + Id("y") + "\n"},
    {"LineStartingWithNul", std::string("\0x\n", 3), "\n"},
    {"NulAfterContinuation", std::string("\"ab\\\0x\ncd\"\n", 11),
     Str("\"ab") + "\\\n" + Str("cd\"") + "\n"},
    {"NulStartsLineInsideComment", std::string("/* a\n\0*/\nb */\n", 14),
     Com("/* a") + "\n\n" + Com("b */") + "\n"},
};
INSTANTIATE_TEST_SUITE_P(Lines, HighlightTable, testing::ValuesIn(kLineCases),
                         [](const auto& info) { return info.param.name; });

const Case kEscapeCases[] = {
    {"AngleBracketsInOperators", "a<b\n", Id("a") + Op("&lt;") + Id("b") + "\n"},
    {"Condition", "if (a < b && c > d)\n",
     Id("if") + " " + Op("(") + Id("a") + " " + Op("&lt;") + " " + Id("b") + " " +
         Op("&amp;&amp;") + " " + Id("c") + " " + Op("&gt;") + " " + Id("d") + Op(")") + "\n"},
    {"MarkupInComment", "// <script>alert(1)</script>\n",
     Com("// &lt;script&gt;alert(1)&lt;/script&gt;") + "\n"},
    {"EntityInString", "\"&amp; </pre>\"\n", Str("\"&amp;amp; &lt;/pre&gt;\"") + "\n"},
    {"MarkupInContinuedLiteral", "\"<a\\\nb>\"\n", Str("\"&lt;a") + "\\\n" + Str("b&gt;\"") + "\n"},
};
INSTANTIATE_TEST_SUITE_P(Escaping, HighlightTable, testing::ValuesIn(kEscapeCases),
                         [](const auto& info) { return info.param.name; });

// Only a CR that ends a line becomes "&#13;", wherever it falls; every other CR stays bare.
const Case kCarriageReturnCases[] = {
    {"AfterCode", "int x;\r\n", Kw("int") + " " + Id("x") + Op(";") + "&#13;\n"},
    {"EndsWord", "a\rb\r\n", Id("a") + "\r" + Id("b") + "&#13;\n"},
    {"InLineComment", "// c\r\n", Com("// c&#13;") + "\n"},
    {"InBlockComment", "/* a\r\n b */\r\n", Com("/* a&#13;") + "\n" + Com(" b */") + "&#13;\n"},
    {"InUnclosedLiteral", "\"ab\r\n", Str("\"ab&#13;") + "\n"},
    {"AfterContinuationDropped", "\"ab\\\r\ncd\"\r\n",
     Str("\"ab") + "\\\n" + Str("cd\"") + "&#13;\n"},
    {"CarriageReturnOnlyLineEnds", "a\rb", Id("a") + "\r" + Id("b") + "\n"},
};
INSTANTIATE_TEST_SUITE_P(CarriageReturn, HighlightTable, testing::ValuesIn(kCarriageReturnCases),
                         [](const auto& info) { return info.param.name; });

// Runs of white space mixing blanks and tabs with the other space characters, in every place a
// run can stand: each tab becomes four blanks, a CR only at the line's end an entity, and the rest
// are kept.
const Case kSpaceRunCases[] = {
    {"TabsAndBlanksBetweenWords", "a\t  \t b\n", Id("a") + "           " + Id("b") + "\n"},
    {"TabsAndBlanksEndLine", "a \t\t\n", Id("a") + "         \n"},
    {"TabsAndBlanksOnlyLine", " \t \t", "          \n"},
    {"TabsThenCarriageReturnEndLine", "a\t \r\n", Id("a") + "     &#13;\n"},
    {"CarriageReturnInsideRun", "a\t\r b\n", Id("a") + "    \r " + Id("b") + "\n"},
    {"FormFeedAfterTab", "\t\f\tx\n", "    \f    " + Id("x") + "\n"},
    {"VerticalTabAfterBlanks", "  \v  x\n", "  \v  " + Id("x") + "\n"},
    {"TabBeforeNul", std::string("a\t\0\t\n", 5), Id("a") + "    \n"},
    {"TabsBeforeComment", "\t\t// c\n", "        " + Com("// c") + "\n"},
};
INSTANTIATE_TEST_SUITE_P(SpaceRuns, HighlightTable, testing::ValuesIn(kSpaceRunCases),
                         [](const auto& info) { return info.param.name; });

TEST(HighlighterTest, KeywordsComeOnlyFromTheSet) {
  EXPECT_EQ(Highlight("int for\n", {"for"}), Id("int") + " " + Kw("for") + "\n");
  EXPECT_EQ(Highlight("int\n", {}), Id("int") + "\n");
}

// A line far longer than any read buffer is converted whole, as one line.
TEST(HighlighterTest, VeryLongLineIsOneLine) {
  const std::string word(300000, 'a');
  const std::string comment = "// " + std::string(300000, '<');
  std::string expectedComment = "// ";
  for (int n = 0; n < 300000; ++n) expectedComment += "&lt;";
  EXPECT_EQ(Highlight(word + " " + comment + "\nx\n"),
            Id(word) + " " + Com(expectedComment) + "\n" + Id("x") + "\n");
}

// Runs longer than the text escaped at once: blanks alone, and tokens followed by one blank,
// which is written with the token's close tag when the token is short.
TEST(HighlighterTest, LongRunsAroundSingleBlanks) {
  const std::string blanks(20000, ' ');
  const std::string ops(20000, '+');
  const std::string digits(20000, '7');
  EXPECT_EQ(Highlight("a" + blanks + "b\n"), Id("a") + blanks + Id("b") + "\n");
  EXPECT_EQ(Highlight(ops + " " + digits + " #" + ops + " x\n"),
            Op(ops) + " " + Num(digits) + " " + Pre("#" + ops) + " " + Id("x") + "\n");
  EXPECT_EQ(Highlight("1 #a -\n"), Num("1") + " " + Pre("#a") + " " + Op("-") + "\n");
}

// The scanner looks at 16 bytes at a time; each case puts the character that ends a run, or that
// must be escaped, at every offset across more than two such blocks, and the line's end right after
// it or a block later.
std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

TEST(HighlighterTest, RunsEndAtEveryOffset) {
  for (std::size_t n = 0; n <= 40; ++n) {
    SCOPED_TRACE(n);
    const std::string a = "a" + Repeat('b', n);
    const std::string x = Repeat('x', n);
    EXPECT_EQ(Highlight(a + "+c\n"), Id(a) + Op("+") + Id("c") + "\n");
    EXPECT_EQ(Highlight(a + "\n"), Id(a) + "\n");
    EXPECT_EQ(Highlight(a + " c\n"), Id(a) + " " + Id("c") + "\n");
    EXPECT_EQ(Highlight(a + "\"$#" + x + "\n"), Id(a + "\"$#" + x) + "\n");
    EXPECT_EQ(Highlight(a + "\xC3\xA9" + x + "\n"), Id(a + "\xC3\xA9" + x) + "\n");
    EXPECT_EQ(Highlight("/*" + x + "*/a\n"), Com("/*" + x + "*/") + Id("a") + "\n");
    EXPECT_EQ(Highlight("/*" + x + "* /*/\n"), Com("/*" + x + "* /*/") + "\n");
    EXPECT_EQ(Highlight("/*" + x + "*\n*/\n"), Com("/*" + x + "*") + "\n" + Com("*/") + "\n");
    EXPECT_EQ(Highlight("\"" + x + "\"a\n"), Str("\"" + x + "\"") + Id("a") + "\n");
    EXPECT_EQ(Highlight("\"" + x + "\\\"'\"\n"), Str("\"" + x + "\\\"'\"") + "\n");
    EXPECT_EQ(Highlight("'" + x + "\n"), Str("'" + x) + "\n");
    const std::string nul(1, '\0');
    EXPECT_EQ(Highlight(a + nul + "c\"\nd\n"), Id(a) + "\n" + Id("d") + "\n");
    EXPECT_EQ(Highlight("/*" + x + nul + "*/\nb*/\n"), Com("/*" + x) + "\n" + Com("b*/") + "\n");
    EXPECT_EQ(Highlight("//" + x + nul + "c\nd\n"), Com("//" + x) + "\n" + Id("d") + "\n");
    EXPECT_EQ(Highlight("\"" + x + nul + "\"\nd\n"), Str("\"" + x) + "\n" + Id("d") + "\n");
    EXPECT_EQ(Highlight(Repeat(' ', n) + "a\n"), Repeat(' ', n) + Id("a") + "\n");
  }
}

TEST(HighlighterTest, EscapesAtEveryOffset) {
  for (std::size_t n = 0; n <= 40; ++n) {
    SCOPED_TRACE(n);
    const std::string x = Repeat('x', n);
    EXPECT_EQ(Highlight("//" + x + "<" + x + "&>\n"),
              Com("//" + x + "&lt;" + x + "&amp;&gt;") + "\n");
    EXPECT_EQ(Highlight("//" + x + "\r" + x + "\r\n"), Com("//" + x + "\r" + x + "&#13;") + "\n");
    EXPECT_EQ(Highlight("//" + x + "\r"), Com("//" + x + "&#13;") + "\n");
    EXPECT_EQ(
        Highlight("//" + x + "<<<<<<<<<<<<<<<<<\n"),
        Com("//" + x + "&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;") +
            "\n");
    EXPECT_EQ(Highlight("a" + Repeat(' ', n) + "\r\n"), Id("a") + Repeat(' ', n) + "&#13;\n");
  }
}

// A last line without a line feed, read after the reader has moved a partial line to the front of
// its buffer, so that bytes of earlier lines lie just past the line's end: each run ending the line
// must stop there, whatever those bytes are.
TEST(HighlighterTest, LastLineEndsBeforeStaleBytes) {
  struct Filler {
    std::string line;  // repeated past the reader's first read
    std::string expected;
  };
  Filler alternating;
  for (int i = 0; i < 50; ++i) {
    alternating.line += "a ";
    alternating.expected += Id("a") + " ";
  }
  const Filler fillers[] = {
      {Repeat('+', 99), Op(Repeat('+', 99))},
      {Repeat('a', 99), Id(Repeat('a', 99))},
      {Repeat('7', 99), Num(Repeat('7', 99))},
      {"#" + Repeat('d', 98), Pre("#" + Repeat('d', 98))},
      alternating,
  };
  const Case lasts[] = {
      {"Word", "x", Id("x")},
      {"WordOddLength", "xy", Id("xy")},
      {"Operator", "x+", Id("x") + Op("+")},
      {"Number", "x 1", Id("x") + " " + Num("1")},
      {"Directive", "#x", Pre("#x")},
      {"Blank", "x ", Id("x") + " "},
  };
  for (const Filler& filler : fillers) {
    std::string source;
    std::string expected;
    while (source.size() < 70000) {
      source += filler.line + "\n";
      expected += filler.expected + "\n";
    }
    for (const Case& last : lasts) {
      SCOPED_TRACE(filler.line.substr(0, 3) + " " + last.name);
      EXPECT_EQ(Highlight(source + last.source), expected + last.expected + "\n");
    }
  }
}

TEST(HighlighterTest, LineAnchorsGolden) {
  HighlightOptions numbered;
  numbered.lineNumbers = true;
  EXPECT_EQ(
      Highlight("int x;\n\n/* a\nb */", {"int"}, numbered),
      "<a class=\"Line\" id=\"L1\" href=\"#L1\" tabindex=\"-1\" aria-label=\"line 1\"></a>" +
          Kw("int") + " " + Id("x") + Op(";") +
          "\n<a class=\"Line\" id=\"L2\" href=\"#L2\" tabindex=\"-1\" aria-label=\"line 2\"></a>\n"
          "<a class=\"Line\" id=\"L3\" href=\"#L3\" tabindex=\"-1\" aria-label=\"line 3\"></a>" +
          Com("/* a") +
          "\n<a class=\"Line\" id=\"L4\" href=\"#L4\" tabindex=\"-1\" aria-label=\"line 4\"></a>" +
          Com("b */") + "\n");
  EXPECT_EQ(Highlight("", {}, numbered), "");
}

// Numbers gain digits at 10, 100, ... in place; lines of every length take both scan paths, the
// short ones packed many to a run and the long ones alone.
TEST(HighlighterTest, LineAnchorsCountThroughDigitsAndRunSizes) {
  std::string source;
  for (std::size_t n = 1; n <= 120000; ++n) {
    source += n % 1000 == 0 ? "x = \"" + Repeat('<', n / 10) + "\\\n" : "a<b;\n";
  }
  source += "\n\t\r\"open\\";
  EXPECT_EQ(LineAnchorFaults(source), "");
}

// Links the names "a.h" and <a.h> to pages of their own.
HighlightOptions IncludeLinks() {
  HighlightOptions options;
  options.includeHref = [](std::string_view name, bool angled) -> std::string {
    if (name != "a.h") return "";
    return angled ? "sys/a.h.html" : "a.h.html";
  };
  return options;
}

std::string Link(std::string_view href, std::string_view inner) {
  return "<a href=\"" + std::string(href) + "\">" + std::string(inner) + "</a>";
}

const Case kIncludeLinkCases[] = {
    {"Quoted", "#include \"a.h\"\n",
     Pre("#include") + " " + Link("a.h.html", Str("\"a.h\"")) + "\n"},
    {"AngledOverSeveralTokens", "#include <a.h> // c\n",
     Pre("#include") + " " +
         Link("sys/a.h.html", Op("&lt;") + Id("a") + Op(".") + Id("h") + Op("&gt;")) + " " +
         Com("// c") + "\n"},
    {"AngledThenTwoBlanks", "#include <a.h>  x\n",
     Pre("#include") + " " +
         Link("sys/a.h.html", Op("&lt;") + Id("a") + Op(".") + Id("h") + Op("&gt;")) + "  " +
         Id("x") + "\n"},
    {"NoBlankAfterInclude", "#include<a.h>\n",
     Link("sys/a.h.html", Pre("#include&lt;a.h&gt;")) + "\n"},
    {"BlanksAroundHash", "  #  include\t\"a.h\"\n",
     "  " + Pre("#") + "  " + Id("include") + "    " + Link("a.h.html", Str("\"a.h\"")) + "\n"},
    {"WordTakesQuote", "# include\"a.h\"\n",
     Pre("#") + " " + Link("a.h.html", Id("include\"a") + Op(".") + Id("h\"")) + "\n"},
    {"TokenAfterName", "#include \"a.h\"x\n",
     Pre("#include") + " " + Link("a.h.html", Str("\"a.h\"")) + Id("x") + "\n"},
    {"UnknownNameStaysText", "#include \"b.h\"\n", Pre("#include") + " " + Str("\"b.h\"") + "\n"},
    {"HashNotFirst", "x #include \"a.h\"\n",
     Id("x") + " " + Pre("#include") + " " + Str("\"a.h\"") + "\n"},
    {"AfterComment", "/**/#include \"a.h\"\n",
     Com("/**/") + Pre("#include") + " " + Str("\"a.h\"") + "\n"},
    {"InsideBlockComment", "/*\n#include \"a.h\"\n*/\n",
     Com("/*") + "\n" + Com("#include \"a.h\"") + "\n" + Com("*/") + "\n"},
    {"EmptyName", "#include \"\"\n", Pre("#include") + " " + Str("\"\"") + "\n"},
};

class IncludeLinkTable : public testing::TestWithParam<Case> {};

TEST_P(IncludeLinkTable, WrapsIncludedName) {
  EXPECT_EQ(Highlight(GetParam().source, {}, IncludeLinks()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(IncludeLinks, IncludeLinkTable, testing::ValuesIn(kIncludeLinkCases),
                         [](const auto& info) { return info.param.name; });

// Links each identifier "x" or "y" to "#x" or "#y" and its line.
HighlightOptions NameLinks() {
  HighlightOptions options = IncludeLinks();
  options.nameHref = [href = std::string()](std::string_view word,
                                            std::uint64_t line) mutable -> std::string_view {
    if (word != "x" && word != "y") return "";
    href = "#" + std::string(word) + std::to_string(line);
    return href;
  };
  return options;
}

const Case kNameLinkCases[] = {
    {"KeywordsNeverLink", "int x;\n", Kw("int") + " " + Link("#x1", Id("x")) + Op(";") + "\n"},
    {"BlankAfterLinkStaysOutside", "x y\nx\n",
     Link("#x1", Id("x")) + " " + Link("#y1", Id("y")) + "\n" + Link("#x2", Id("x")) + "\n"},
    {"OtherWordsStayPlain", "xy x_ X\n", Id("xy") + " " + Id("x_") + " " + Id("X") + "\n"},
    {"NotInCommentsOrLiterals", "\"x\" 'y' // x\n/* y\nx */ x\n",
     Str("\"x\"") + " " + Str("'y'") + " " + Com("// x") + "\n" + Com("/* y") + "\n" + Com("x */") +
         " " + Link("#x3", Id("x")) + "\n"},
    {"NotOnIncludeLines", "#include <x> // x\n#include \"a.h\" x\n",
     Pre("#include") + " " + Op("&lt;") + Id("x") + Op("&gt;") + " " + Com("// x") + "\n" +
         Pre("#include") + " " + Link("a.h.html", Str("\"a.h\"")) + " " + Id("x") + "\n"},
    {"DirectiveArguments", "#define x y\n",
     Pre("#define") + " " + Link("#x1", Id("x")) + " " + Link("#y1", Id("y")) + "\n"},
};

class NameLinkTable : public testing::TestWithParam<Case> {};

TEST_P(NameLinkTable, LinksIdentifiers) {
  EXPECT_EQ(Highlight(GetParam().source, {"int"}, NameLinks()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(NameLinks, NameLinkTable, testing::ValuesIn(kNameLinkCases),
                         [](const auto& info) { return info.param.name; });

// Include links, name links and line anchors together, on lines of every length around the run
// size, and with the links' markup making a run's output larger than the room reserved for it
// without links.
TEST(HighlighterTest, LinksAcrossRunsWithLineNumbers) {
  std::string source;
  int expectedLinks = 0;
  for (std::size_t n = 0; n < 3000; ++n) {
    source +=
        (n % 3 == 0 ? "#include <a.h> " : "#include \"a.h\"") + Repeat('<', n * 7 % 9000) + "\n";
    const std::size_t ys = n * 5 % 6000;
    source += "x " + Repeat('y', ys) + " x\n";
    expectedLinks += ys > 0 ? 4 : 3;
  }
  HighlightOptions options = IncludeLinks();
  options.nameHref = [](std::string_view, std::uint64_t) { return std::string_view("n.html"); };
  const std::string plain = Highlight(source, {});
  options.lineNumbers = true;
  int links = 0;
  const std::string numbered = RemoveLinks(Highlight(source, {}, options), &links);
  EXPECT_EQ(links, expectedLinks);
  EXPECT_EQ(CheckLineAnchors(numbered, plain, 6000), "");
  options.lineNumbers = false;
  EXPECT_EQ(RemoveLinks(Highlight(source, {}, options), &links), plain);
  EXPECT_EQ(links, expectedLinks);
}

// The callback may read the whole line around the word it is given, on the first line, on lines
// far longer than a run, and on lines that hold a NUL or end without a line feed.
TEST(HighlighterTest, NameHrefSeesItsWholeLine) {
  std::string source = "x first\n";
  for (std::size_t n = 0; n < 40; ++n) {
    source += Repeat(' ', n * 997 % 9000) + "x " + Repeat('z', n * 131 % 5000) +
              std::string(1, '\0') + " x\r\n";
  }
  source += "x last";
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < source.size();) {
    const std::size_t feed = std::min(source.find('\n', start), source.size());
    lines.push_back(source.substr(start, feed - start));
    start = feed + 1;
  }
  std::vector<std::string> mismatches;
  std::size_t calls = 0;
  HighlightOptions options;
  options.nameHref = [&](std::string_view word, std::uint64_t line) {
    ++calls;
    const char* first = word.data();
    while (first[-1] != '\n') --first;
    const char* last = word.data();
    while (*last != '\n') ++last;
    if (std::string(first, last) != lines.at(line - 1)) mismatches.push_back(std::to_string(line));
    return std::string_view();
  };
  Highlight(source, {}, options);
  // Two words on the first and last lines; "x" and the z's on the others (the first has no z's),
  // and nothing after a NUL.
  EXPECT_EQ(calls, 2u + 40 + 39 + 2);
  EXPECT_TRUE(mismatches.empty()) << mismatches.front();
}

// Output far larger than any buffer, with tokens of every size up to past the size escaped at
// once, arrives whole and in order.
TEST(HighlighterTest, OutputLargerThanBuffers) {
  std::string source;
  std::string expected;
  for (std::size_t n = 1; n < 20000; n = n * 3 / 2 + 1) {
    source += "//" + Repeat('<', n) + "\n" + Repeat('a', n) + " " + Repeat('\t', n) + "x\n";
    std::string escaped = "//";
    for (std::size_t k = 0; k < n; ++k) escaped += "&lt;";
    expected += Com(escaped) + "\n" + Id(Repeat('a', n)) + " ";
    for (std::size_t k = 0; k < n; ++k) expected += "    ";
    expected += Id("x") + "\n";
  }
  EXPECT_EQ(Highlight(source), expected);
}

// Many short tokens across several output blocks: a block fills at every kind of token in turn.
TEST(HighlighterTest, ShortTokensAcrossOutputBlocks) {
  std::string source;
  std::string expected;
  for (int n = 0; n < 60000; ++n) {
    const std::string number = std::to_string(n);
    source += "int a" + number + " = b<" + number + "; \t// c&d\n";
    expected += Kw("int") + " " + Id("a" + number) + " " + Op("=") + " " + Id("b") + Op("&lt;") +
                Num(number) + Op(";") + "     " + Com("// c&amp;d") + "\n";
  }
  ASSERT_GT(expected.size(), 5u << 20);
  EXPECT_EQ(Highlight(source), expected);
}

// A stream that refuses every byte.
class RefusingBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
  int_type overflow(int_type) override { return traits_type::eof(); }
};

// Lines around one and two runs of the line reader in size, in which every byte or two makes a
// span of its own, so that the output of one line is far larger than its text, written many times
// across output blocks: each line's output must arrive whole whether it fits in the room left in
// the block or not, and whether the line shares a run or comes alone.
TEST(HighlighterTest, DenseLinesAcrossOutputBlocks) {
  const struct {
    std::string unit;  // two source bytes
    std::string expected;
  } units[] = {
      {"a<", Id("a") + Op("&lt;")},
      {"# ", Pre("#") + " "},
      {"1\t", Num("1") + "    "},
      {"&x", Op("&amp;") + Id("x")},
  };
  for (const auto& unit : units) {
    SCOPED_TRACE(unit.unit);
    std::string source;
    std::string expected;
    constexpr std::size_t run = LineReader::kRunSize;
    for (std::size_t length : {run - 2, run - 1, run, run + 1, run + 2, 2 * run - 2, 2 * run - 1,
                               2 * run, 2 * run + 1, 2 * run + 2, 9000ul, 100ul, 1ul, 2ul}) {
      if (length % 2 == 1) {
        source += " ";
        expected += " ";
      }
      for (std::size_t n = 0; n < length / 2; ++n) {
        source += unit.unit;
        expected += unit.expected;
      }
      source += "\n";
      expected += "\n";
    }
    const std::string lines = source;
    const std::string expectedLines = expected;
    while (expected.size() < (3u << 20)) {
      source += lines;
      expected += expectedLines;
    }
    EXPECT_EQ(Highlight(source), expected);
  }
}

// Operators are escaped a character at a time as they are scanned, in lines that share a run, and
// otherwise a mask's width at a time: runs of them around both sizes.
TEST(HighlighterTest, LongOperatorsAroundRunSize) {
  constexpr std::size_t run = LineReader::kRunSize;
  constexpr std::string_view kTexts[] = {"&lt;", "&amp;", "&gt;", "+"};
  std::string source;
  std::string expected;
  for (std::size_t length : {1ul, 2ul, 15ul, 16ul, 17ul, run - 1, run, run + 1, 3 * run}) {
    std::string escaped;
    for (std::size_t n = 0; n < length; ++n) {
      source += "<&>+"[n % 4];
      escaped += kTexts[n % 4];
    }
    source += "\n";
    expected += Op(escaped) + "\n";
  }
  EXPECT_EQ(Highlight(source), expected);
}

TEST(HighlighterTest, WriteFailureShowsInOutputState) {
  std::istringstream input("int x;\n");
  RefusingBuffer refusing;
  std::ostream output(&refusing);
  Highlighter highlighter(input, output, KeywordSet());
  highlighter.Run();
  EXPECT_TRUE(output.bad());
  EXPECT_FALSE(highlighter.input_failed());
}

}  // namespace
}  // namespace lexpaint
