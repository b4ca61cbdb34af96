// End-to-end tests of tree mode: the built lexpaint writes a site of a real temporary folder, and
// every site it writes here passes the link check.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "line_anchors.h"
#include "sandbox.h"
#include "site_links.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

const char kTreeUsage[] =
    "Usage: lexpaint --tree [-j N] [-I DIR]... [--keywords FILE] [--css FILE] [--title TEXT] "
    "[--no-definitions] [--no-uses] SOURCEDIR TARGETDIR\n";
const char kUsage[] = "Usage: lexpaint sourcefile [targetfile]\n";

// The text between the first `start` in `text` and the first `end` after it.
std::string Between(const std::string& text, const std::string& start, const std::string& end) {
  const std::size_t from = text.find(start);
  if (from == std::string::npos) return "(no " + start + ")";
  const std::size_t to = text.find(end, from + start.size());
  if (to == std::string::npos) return "(no " + end + ")";
  return text.substr(from + start.size(), to - from - start.size());
}

std::string TitleOf(const std::string& page) { return Between(page, "<title>", "</title>"); }

std::string BreadcrumbOf(const std::string& page) {
  return Between(page, "<nav class=\"Breadcrumb\" aria-label=\"Breadcrumb\">", "</nav>");
}

std::string StylesheetOf(const std::string& page) {
  return Between(page, "<link rel=\"stylesheet\" href=\"", "\">");
}

// The highlighted source of a page: all between the <pre> line after the breadcrumb and the
// closing tags that end the page.
std::string BodyOf(const std::string& page) {
  const std::string start =
      "<div class=\"Code\" tabindex=\"0\" role=\"region\" aria-label=\"Code\"><pre>\n";
  const std::string end = "</pre></div>\n</main>\n</body>\n</html>\n";
  const std::size_t from = page.find(start);
  if (from == std::string::npos || page.size() < from + start.size() + end.size() ||
      page.compare(page.size() - end.size(), end.size(), end) != 0) {
    return "(not a page)";
  }
  return page.substr(from + start.size(), page.size() - end.size() - from - start.size());
}

// The href of the include link on each line of a body that has one, by line number: the first
// link of a line whose text is an #include directive.
std::map<int, std::string> IncludeLinks(const std::string& body) {
  static const std::regex kTag("<[^>]*>");
  static const std::regex kInclude("^[ \t]*#[ \t]*include");
  static const std::regex kLink("<a href=\"([^\"#]*)\">");  // a name's link has a fragment
  std::map<int, std::string> links;
  std::istringstream lines(body);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::smatch link;
    if (std::regex_search(std::regex_replace(line, kTag, ""), kInclude) &&
        std::regex_search(line, link, kLink)) {
      links[number] = link.str(1);
    }
  }
  return links;
}

// The rows of an index page, each as "href | name | lines | size".
std::vector<std::string> IndexRows(const std::string& page) {
  static const std::regex kRow(
      "<tr><td><a href=\"([^\"]*)\">([^<]*)</a></td><td>([^<]*)</td><td>([^<]*)</td></tr>");
  std::vector<std::string> rows;
  std::istringstream lines(Between(page, "<tbody>\n", "</tbody>"));
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch row;
    if (std::regex_match(line, row, kRow)) {
      rows.push_back(row.str(1) + " | " + row.str(2) + " | " + row.str(3) + " | " + row.str(4));
    } else {
      rows.push_back("(not a row) " + line);
    }
  }
  return rows;
}

// The index row of a file with `content`, of less than 1 KiB, whose page is at `href`.
std::string FileRow(const std::string& href, const std::string& name, const std::string& content) {
  return href + " | " + name + " | " + std::to_string(CountLines(content)) + " | " +
         std::to_string(content.size()) + " B";
}

// The regular files, links and special files of a snapshot: every entry but the folders.
std::set<std::string> FilesOf(const std::map<std::string, std::string>& snapshot) {
  std::set<std::string> files;
  for (const auto& [name, content] : snapshot) {
    if (content != "<folder>") files.insert(name);
  }
  return files;
}

// A snapshot without the entries at or under `folder`.
std::map<std::string, std::string> Outside(std::map<std::string, std::string> snapshot,
                                           const std::string& folder) {
  for (auto it = snapshot.begin(); it != snapshot.end();) {
    const bool inside =
        it->first == folder || it->first.compare(0, folder.size() + 1, folder + "/") == 0;
    it = inside ? snapshot.erase(it) : std::next(it);
  }
  return snapshot;
}

// What `lexpaint -n` writes for `source` between an empty header and footer, with the keyword
// list that tree mode has built in.
std::string NumberedBody(const std::string& source) {
  Sandbox box;
  box.Write("Header.html", "");
  box.Write("Footer.html", "");
  fs::copy_file(fs::path(LEXPAINT_DATA_DIR) / "C_Keywords.txt", box.path() / "C_Keywords.txt");
  box.Write("x.h", source);
  const RunResult result = box.Lexpaint({"-n", "x.h"});
  EXPECT_EQ(result.status, 0) << result.output;
  return box.Read("x.h.html");
}

// Expects the body of `page` to be exactly what `lexpaint -n` writes for `source` once its links
// are taken out, and `links` of those to be include links.
void ExpectNumberedSource(const std::string& page, const std::string& source, int links) {
  int removed = 0;
  const std::string body = BodyOf(page);
  EXPECT_EQ(RemoveLinks(body, &removed), NumberedBody(source));
  EXPECT_GE(removed, links) << "a link left open or nested";
  EXPECT_EQ(IncludeLinks(body).size(), static_cast<std::size_t>(links));
}

class TreeTest : public testing::Test {
 protected:
  // Runs `lexpaint --tree ARGS`; the last of ARGS is TARGETDIR, whose site, if there is one, must
  // pass the link check.
  RunResult Tree(std::vector<std::string> args) const {
    args.insert(args.begin(), "--tree");
    const RunResult result = box_.Lexpaint(args);
    ExpectSoundSite(args.back());
    return result;
  }

  void ExpectSoundSite(const std::string& site) const {
    if (fs::is_directory(box_.path() / site)) {
      EXPECT_EQ(CheckSiteLinks(box_.path() / site), "") << "site " << site;
    }
  }

  // The page or index at `name` under the site folder "site".
  std::string Page(const std::string& name) const { return box_.Read("site/" + name); }

  Sandbox box_;
};

// The link checker itself, on sites written by hand.

class SiteLinksTest : public testing::Test {
 protected:
  // A sound site: a page in the root and one in a folder whose name needs encoding.
  void WriteSoundSite() const {
    box_.Write("site/style.css", "");
    box_.Write("site/index.html",
               "<!DOCTYPE html>\n<html><head><link rel=\"stylesheet\" href=\"style.css\"></head>"
               "<body><!-- <a href=\"/nowhere\"> -->\n"
               "<a href=\"a%20b/p%26q.html#L2\">a b/p&amp;q</a> &lt;a href=\"http://x\"&gt;\n"
               "<a href='#top' id=top>top</a></body></html>\n");
    box_.Write("site/a b/p&q.html",
               "<pre>\n<a class=\"Line\" id=\"L1\" href=\"#L1\" tabindex=\"-1\" aria-label=\"line "
               "1\"></a>x\n"
               "<a class=\"Line\" id=\"L2\" href=\"#L2\" tabindex=\"-1\" aria-label=\"line "
               "2\"></a><a href=\"../index.html\">y</a>\n"
               "<a href=\"p&amp;q.html\">self</a> <a href=\"./../a%20b/../style.css\">css</a>"
               "</pre>\n");
  }

  Sandbox box_;
};

TEST_F(SiteLinksTest, AcceptsSoundSiteAndCountsItsLinks) {
  WriteSoundSite();
  std::size_t links = 0;
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site", &links), "");
  EXPECT_EQ(links, 8u);
  EXPECT_NE(CheckSiteLinks(box_.path() / "missing"), "");
}

struct LinkFaultCase {
  const char* name;
  std::string page;  // written to site/a b/bad.html, beside the pages of the sound site
  std::string fault;
};

void PrintTo(const LinkFaultCase& c, std::ostream* os) { *os << c.name; }

class SiteLinkFaultTest : public SiteLinksTest,
                          public testing::WithParamInterface<LinkFaultCase> {};

TEST_P(SiteLinkFaultTest, ReportsFault) {
  WriteSoundSite();
  box_.Write("site/a b/bad.html", GetParam().page);
  const std::string fault = CheckSiteLinks(box_.path() / "site");
  EXPECT_EQ(fault.rfind("a b/bad.html: ", 0), 0u) << fault;
  EXPECT_NE(fault.find(GetParam().fault), std::string::npos) << fault;
}

const LinkFaultCase kLinkFaults[] = {
    {"MissingFile", "<a href=\"q.html\">", "q.html, which is not a file"},
    {"Folder", "<a href=\"../a%20b\">", "a b, which is not a file"},
    {"FolderWithSlash", "<a href=\"../\">", "names a folder"},
    {"Undecoded", "<a href=\"p&q.html\">", "bad character reference"},
    {"RawSpace", "<a href=\"../a b/p%26q.html\">", "byte 0x20 not percent-encoded"},
    {"RawNonAscii", "<a href=\"\xC3\xA9.html\">", "byte 0xC3 not percent-encoded"},
    {"Query", "<a href=\"p%26q.html?x\">", "has a query"},
    {"SecondHash", "<a href=\"p%26q.html#L1#L2\">", "second '#'"},
    {"BadEscape", "<a href=\"p%2Gq.html\">", "bad percent escape"},
    {"CutEscape", "<a href=\"p%2\">", "bad percent escape"},
    {"EncodedSlash", "<a href=\"..%2Findex.html\">", "encodes a '/'"},
    {"Absolute", "<a href=\"/index.html\">", "is absolute"},
    {"NetworkPath", "<a href=\"//host/index.html\">", "is absolute"},
    {"Scheme", "<link href=\"file:index.html\">", "has a scheme"},
    {"LeavesSite", "<a href=\"../../index.html\">", "leaves the site"},
    {"LeavesAndReturns", "<a href=\"../../site/index.html\">", "leaves the site"},
    {"Empty", "<a href=\"\">", "is empty"},
    {"EmptyFragment", "<a href=\"p%26q.html#\">", "empty fragment"},
    {"MissingId", "<a href=\"p%26q.html#L3\">", "names an id that a b/p&q.html lacks"},
    {"MissingOwnId", "<a id=\"L1\" href=\"#L2\">", "names an id that a b/bad.html lacks"},
    {"FragmentOnStylesheet", "<a href=\"../style.css#L1\">", "names no page"},
    {"DuplicateId", "<a id=\"L1\"></a><a id=\"L1\"></a>", "a second id \"L1\""},
    {"BareLessThan", "<pre>a < b</pre>", "starts no tag"},
    {"UnclosedTag", "<a href=\"p%26q.html\"", "unclosed tag"},
    {"UnclosedValue", "<a href=\"p%26q.html>", "unclosed attribute value"},
};
INSTANTIATE_TEST_SUITE_P(Faults, SiteLinkFaultTest, testing::ValuesIn(kLinkFaults),
                         [](const auto& info) { return info.param.name; });

// Which files become pages.

struct Candidate {
  std::string name;
  std::string content;
  bool page;
};

TEST_F(TreeTest, PagesByExtensionStartOrHiddenName) {
  std::vector<Candidate> candidates;
  for (const char* extension :
       {".c", ".cc", ".cpp", ".cxx", ".c++", ".C", ".h", ".hh", ".hpp", ".hxx", ".h++", ".H",
        ".inl", ".ipp", ".tcc", ".tpp", ".ixx", ".cppm"}) {
    candidates.push_back({std::string("e") + extension, "int x;\n", true});
  }
  const std::vector<Candidate> others = {
      // Names that do not end in a source extension, whatever they hold.
      {"e.CPP", "int x;\n", false},
      {"e.Cpp", "int x;\n", false},
      {"e.cpp.bak", "int x;\n", false},
      {"e.hpp~", "int x;\n", false},
      {"e.txt", "// a comment\n", false},
      {"e.", "// a comment\n", false},
      // Names with no '.': a page when the first text is a comment or one of six directives.
      {"line-comment", "// c\n", true},
      {"block-comment", "/* c */ int x;\n", true},
      {"include", "#include <x>\n", true},
      {"include-glued", "#include\"x\"\n", true},
      {"spaced", "\n\t  \r\n  #  include <x>\n", true},
      {"if", "#if X\n", true},
      {"if-paren", "#if(X)\n", true},
      {"ifdef", "#ifdef X\n", true},
      {"ifndef", "#ifndef X\n#endif\n", true},
      {"define", "#define X 1\n", true},
      {"pragma", "#pragma once\n", true},
      {"crlf", "#pragma once\r\n", true},
      {"code", "int x;\n", false},
      {"text", "Hello, world\n", false},
      {"empty", "", false},
      {"blank", " \n\t\n", false},
      {"error", "#error no\n", false},
      {"includes", "#includes <x>\n", false},
      {"defined", "#defined X\n", false},
      {"shell", "#!/bin/sh\n", false},
      {"hash-comment", "# make this\n", false},
      {"cpp", "int x;\n", false},
      // Hidden names, of files and of folders, are passed over; so are folders with no page.
      {".hidden.cpp", "int x;\n", false},
      {".git/x.cpp", "int x;\n", false},
      {"docs/notes.md", "# notes\n", false},
      {"deep/er/x.h", "int x;\n", true},
  };
  candidates.insert(candidates.end(), others.begin(), others.end());
  // The one name defined, X, has its uses listed.
  std::set<std::string> expected = {"index.html",  "lexpaint.css",    "lexpaint.js",
                                    "tags",        "deep/index.html", "deep/er/index.html",
                                    "uses/X.html", "search/files.js", "search/names.js"};
  for (const Candidate& c : candidates) {
    box_.Write("src/" + c.name, c.content);
    if (c.page) expected.insert(c.name + ".html");
  }
  // The search index holds the names that "define" defines.
  expected.insert({"search/names/-.js", "search/outline/0.js"});
  const RunResult result = Tree({"src", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(FilesOf(box_.Snapshot("site")), expected);
  EXPECT_FALSE(box_.Exists("site/docs"));
  EXPECT_FALSE(box_.Exists("site/.git"));
  for (const Candidate& c : candidates) {
    if (c.page) ExpectNumberedSource(Page(c.name + ".html"), c.content, 0);
  }
}

// Pages, indexes and the stylesheet.

TEST_F(TreeTest, PageFramesAndIndexes) {
  box_.Write("proj/top.c", "int t;\n");
  box_.Write("proj/a/z.h", "int z;\n");
  box_.Write("proj/a/big.h", std::string(2047, 'x') + "\n");
  box_.Write("proj/a/b/c/deep.cpp", "int d;\nint e;");
  const RunResult result = Tree({"proj", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);

  const std::string deep = Page("a/b/c/deep.cpp.html");
  EXPECT_EQ(TitleOf(deep), "a/b/c/deep.cpp");
  EXPECT_EQ(BreadcrumbOf(deep),
            "<a href=\"../../../index.html\">proj</a> / <a href=\"../../index.html\">a</a> / "
            "<a href=\"../index.html\">b</a> / <a href=\"index.html\">c</a> / "
            "<span>deep.cpp</span>");
  EXPECT_EQ(StylesheetOf(deep), "../../../lexpaint.css");
  ExpectNumberedSource(deep, "int d;\nint e;", 0);
  EXPECT_EQ(StylesheetOf(Page("top.c.html")), "lexpaint.css");

  const std::string root = Page("index.html");
  EXPECT_EQ(TitleOf(root), "proj \u2014 source");
  EXPECT_EQ(BreadcrumbOf(root), "<span>proj</span>");
  EXPECT_EQ(IndexRows(root),
            (std::vector<std::string>{"a/index.html | a/ |  | ", "top.c.html | top.c | 1 | 7 B"}));
  const std::string a = Page("a/index.html");
  EXPECT_EQ(TitleOf(a), "a");
  EXPECT_EQ(BreadcrumbOf(a), "<a href=\"../index.html\">proj</a> / <span>a</span>");
  EXPECT_EQ(StylesheetOf(a), "../lexpaint.css");
  EXPECT_EQ(IndexRows(a),
            (std::vector<std::string>{"b/index.html | b/ |  | ", "big.h.html | big.h | 1 | 2.0 KiB",
                                      "z.h.html | z.h | 1 | 7 B"}));
  // A folder that holds only a folder of pages has an index too.
  const std::string b = Page("a/b/index.html");
  EXPECT_EQ(TitleOf(b), "a/b");
  EXPECT_EQ(IndexRows(b), (std::vector<std::string>{"c/index.html | c/ |  | "}));
  EXPECT_EQ(IndexRows(Page("a/b/c/index.html")),
            (std::vector<std::string>{"deep.cpp.html | deep.cpp | 2 | 13 B"}));
}

// --title names the root index, title and heading, escaped; the breadcrumb keeps the folder's name.
TEST_F(TreeTest, TitleOption) {
  box_.Write("proj/a.h", "int a;\n");
  const RunResult result = Tree({"--title", "GCC <12> & co", "proj", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  const std::string root = Page("index.html");
  EXPECT_EQ(TitleOf(root), "GCC &lt;12&gt; &amp; co");
  EXPECT_EQ(Between(root, "<h1 class=\"Hidden\">", "</h1>"), "GCC &lt;12&gt; &amp; co");
  EXPECT_EQ(BreadcrumbOf(root), "<span>proj</span>");
}

// However SOURCEDIR is spelled, the site is named after the folder itself.
TEST_F(TreeTest, SiteNamedAfterSourceFolder) {
  box_.Write("proj/a.h", "int a;\n");
  box_.Write("other/x.h", "int x;\n");
  for (const char* source : {"proj", "proj/", "./proj", "other/../proj", "proj/."}) {
    const RunResult result = Tree({source, "site"});
    EXPECT_EQ(result.status, 0) << source;
    EXPECT_EQ(TitleOf(Page("index.html")), "proj \u2014 source") << source;
    EXPECT_EQ(BreadcrumbOf(Page("a.h.html")), "<a href=\"index.html\">proj</a> / <span>a.h</span>")
        << source;
  }
}

// The stylesheet unless --css names one: the style rules of the page frame, then the site's own.
std::string BuiltInStylesheet() {
  std::ifstream header(fs::path(LEXPAINT_DATA_DIR) / "Header.html");
  std::ifstream site(fs::path(LEXPAINT_DATA_DIR) / "Site.css");
  std::ostringstream frame;
  std::ostringstream rules;
  frame << header.rdbuf();
  rules << site.rdbuf();
  return Between(frame.str(), "<style>\n", "</style>") + rules.str();
}

TEST_F(TreeTest, StylesheetAndKeywordOptions) {
  box_.Write("src/a.cpp", "int foo;\n");
  box_.Write("my.css", "pre { color: red; }\n");
  box_.Write("words.txt", "foo\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(box_.Read("site/lexpaint.css"), BuiltInStylesheet());
  std::ifstream script(fs::path(LEXPAINT_DATA_DIR) / "lexpaint.js");
  EXPECT_EQ(box_.Read("site/lexpaint.js"), std::string(std::istreambuf_iterator<char>(script), {}));
  EXPECT_NE(BodyOf(Page("a.cpp.html")).find("<span class=\"Keyword\">int</span>"),
            std::string::npos);

  const RunResult result = Tree({"--css", "my.css", "--keywords", "words.txt", "src", "own"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(box_.Read("own/lexpaint.css"), "pre { color: red; }\n");
  const std::string body = BodyOf(box_.Read("own/a.cpp.html"));
  EXPECT_NE(body.find("<span class=\"Identifier\">int</span>"), std::string::npos) << body;
  EXPECT_NE(body.find("<span class=\"Keyword\">foo</span>"), std::string::npos) << body;
}

// Names that HTML and URLs give a meaning to, and bytes outside ASCII, in file and folder names.

struct NameCase {
  std::string name;
  std::string shown;  // as a title, breadcrumb or index shows it
  std::string href;   // its page, as a link from its own folder names it
};

const char kOddFolder[] = "d&<'#%? \xC3\xA9";
const char kOddFolderShown[] = "d&amp;&lt;&#39;#%? \xC3\xA9";
const char kOddFolderHref[] = "d%26%3C%27%23%25%3F%20%C3%A9";

TEST_F(TreeTest, NamesEscapedWhereShownAndEncodedInLinks) {
  const NameCase cases[] = {
      {"a&b.cpp", "a&amp;b.cpp", "a%26b.cpp.html"},
      {"<lt>.h", "&lt;lt&gt;.h", "%3Clt%3E.h.html"},
      {"q\"uote.h", "q&quot;uote.h", "q%22uote.h.html"},
      {"it's.h", "it&#39;s.h", "it%27s.h.html"},
      {"hash#1.cpp", "hash#1.cpp", "hash%231.cpp.html"},
      {"per%41cent.cpp", "per%41cent.cpp", "per%2541cent.cpp.html"},
      {"what?.cpp", "what?.cpp", "what%3F.cpp.html"},
      {"two  spaces.cpp", "two  spaces.cpp", "two%20%20spaces.cpp.html"},
      {"plus+tilde~.cpp", "plus+tilde~.cpp", "plus%2Btilde~.cpp.html"},
      {"\xC3\xA9t\xC3\xA9.cpp", "\xC3\xA9t\xC3\xA9.cpp", "%C3%A9t%C3%A9.cpp.html"},
      {"\xFF.cpp", "\xFF.cpp", "%FF.cpp.html"},
  };
  const std::string source = "we&ird <src>";
  const std::string sourceShown = "we&amp;ird &lt;src&gt;";
  // main.cpp includes each file: quoted, or angled where the name holds a quote.
  std::string includes;
  for (const NameCase& c : cases) {
    box_.Write(source + "/" + kOddFolder + "/" + c.name, "int x;\n");
    const bool quote = c.name.find('"') != std::string::npos;
    includes += "#include " + std::string(quote ? "<" : "\"") + kOddFolder + "/" + c.name +
                (quote ? ">" : "\"") + "\n";
  }
  box_.Write(source + "/main.cpp", includes);
  const RunResult result = Tree({source, "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);

  const std::string root = Page("index.html");
  EXPECT_EQ(TitleOf(root), sourceShown + " \u2014 source");
  EXPECT_EQ(BreadcrumbOf(root), "<span>" + sourceShown + "</span>");
  EXPECT_EQ(IndexRows(root)[0],
            std::string(kOddFolderHref) + "/index.html | " + kOddFolderShown + "/ |  | ");
  const std::string folder = Page(std::string(kOddFolder) + "/index.html");
  EXPECT_EQ(TitleOf(folder), kOddFolderShown);
  EXPECT_EQ(BreadcrumbOf(folder), "<a href=\"../index.html\">" + sourceShown + "</a> / <span>" +
                                      kOddFolderShown + "</span>");
  const std::vector<std::string> rows = IndexRows(folder);
  const std::map<int, std::string> links = IncludeLinks(BodyOf(Page("main.cpp.html")));
  ExpectNumberedSource(Page("main.cpp.html"), includes, static_cast<int>(std::size(cases)));
  int line = 0;
  for (const NameCase& c : cases) {
    ++line;
    const std::string page = Page(std::string(kOddFolder) + "/" + c.name + ".html");
    EXPECT_EQ(TitleOf(page), kOddFolderShown + std::string("/") + c.shown) << c.name;
    EXPECT_EQ(BreadcrumbOf(page), "<a href=\"../index.html\">" + sourceShown +
                                      "</a> / <a href=\"index.html\">" + kOddFolderShown +
                                      "</a> / <span>" + c.shown + "</span>")
        << c.name;
    const std::string row = c.href + " | " + c.shown + " | 1 | 7 B";
    EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << row;
    EXPECT_EQ(links.count(line) ? links.at(line) : "(none)", kOddFolderHref + ("/" + c.href))
        << c.name;
  }
  EXPECT_EQ(rows.size(), std::size(cases));
}

// Include links.

TEST_F(TreeTest, IncludeLinksFollowTheSearchOrder) {
  box_.Write("t/top.h", "int top;\n");
  box_.Write("t/shadow.h", "int rootShadow;\n");
  box_.Write("t/order.h", "int rootOrder;\n");
  box_.Write("t/app/local.h", "int local;\n");
  box_.Write("t/app/shadow.h", "int appShadow;\n");
  box_.Write("t/app/config", "int config;\n");  // a page only because it is included
  box_.Write("t/app/colors.def", "COLOR(red)\n#include \"more.inc\"\n");
  box_.Write("t/app/more.inc", "COLOR(blue)\n");
  box_.Write("t/app/unused.def", "COLOR(green)\n");
  box_.Write("t/app/notes.txt", "#include \"orphan.def\"\n");  // not a page: its include counts not
  box_.Write("t/app/orphan.def", "COLOR(none)\n");
  box_.Write("t/inc/lib.h", "int lib;\n");
  box_.Write("t/inc/order.h", "int incOrder;\n");
  box_.Write("t/inc/twice.h", "int first;\n");
  box_.Write("t/inc2/twice.h", "int second;\n");
  box_.Write("t/inc2/only2.h", "int only2;\n");
  box_.Write("t/std/vector", "// -*- C++ -*-\n#pragma once\n");  // a page by how it starts
  box_.Write("outside.h", "int outside;\n");
  const std::vector<std::pair<std::string, std::string>> lines = {
      {"#include \"local.h\"", "local.h.html"},  // the including file's folder
      {"#include <local.h>", ""},                // angled: not there
      {"#include \"top.h\"", "../top.h.html"},   // the root
      {"#include <top.h>", "../top.h.html"},
      {"#include \"shadow.h\"", "shadow.h.html"},  // the including file's folder first
      {"#include <shadow.h>", "../shadow.h.html"},
      {"#include \"lib.h\"", "../inc/lib.h.html"},  // -I folders
      {"#include <lib.h>", "../inc/lib.h.html"},
      {"#include <order.h>", "../order.h.html"},      // the root before -I folders
      {"#include <twice.h>", "../inc/twice.h.html"},  // -I folders in order
      {"#include \"only2.h\"", "../inc2/only2.h.html"},
      {"#include <vector>", "../std/vector.html"},
      {"#include \"config\"", "config.html"},
      {"#include \"colors.def\"", "colors.def.html"},
      {"#include \"../top.h\"", "../top.h.html"},
      {"#include <inc/lib.h>", "../inc/lib.h.html"},
      {"#include \"missing.h\"", ""},
      {"#include <missing.h>", ""},
      {"#include \"../../outside.h\"", ""},
      {"#include \"/etc/hostname\"", ""},
      {"// #include \"top.h\"", ""},
      {"#define INC \"top.h\"", ""},
      {"#include INC", ""},
      {"#  include \"top.h\"", "../top.h.html"},
      {"#include\"top.h\"", "../top.h.html"},
      {"  #include <top.h> // the root", "../top.h.html"},
  };
  std::string main;
  std::map<int, std::string> expected;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    main += lines[i].first + "\n";
    if (!lines[i].second.empty()) expected[static_cast<int>(i) + 1] = lines[i].second;
  }
  box_.Write("t/app/main.cpp", main);
  const RunResult result = Tree({"-I", "inc", "-I", "inc2", "-I", "std", "t", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(IncludeLinks(BodyOf(Page("app/main.cpp.html"))), expected);
  ExpectNumberedSource(Page("app/main.cpp.html"), main, static_cast<int>(expected.size()));
  // Files reached only by include, transitively, get pages with links of their own.
  EXPECT_EQ(IncludeLinks(BodyOf(Page("app/colors.def.html"))),
            (std::map<int, std::string>{{2, "more.inc.html"}}));
  ExpectNumberedSource(Page("app/colors.def.html"), "COLOR(red)\n#include \"more.inc\"\n", 1);
  ExpectNumberedSource(Page("app/config.html"), "int config;\n", 0);
  ExpectNumberedSource(Page("app/more.inc.html"), "COLOR(blue)\n", 0);
  ExpectNumberedSource(Page("std/vector.html"), "// -*- C++ -*-\n#pragma once\n", 0);
  EXPECT_EQ(IndexRows(Page("app/index.html")),
            (std::vector<std::string>{
                FileRow("colors.def.html", "colors.def", "COLOR(red)\n#include \"more.inc\"\n"),
                FileRow("config.html", "config", "int config;\n"),
                FileRow("local.h.html", "local.h", "int local;\n"),
                FileRow("main.cpp.html", "main.cpp", main),
                FileRow("more.inc.html", "more.inc", "COLOR(blue)\n"),
                FileRow("shadow.h.html", "shadow.h", "int appShadow;\n")}));
  for (const char* absent : {"app/unused.def.html", "app/notes.txt.html", "app/orphan.def.html"}) {
    EXPECT_FALSE(box_.Exists("site/" + std::string(absent))) << absent;
  }
}

// -I names a folder of SOURCEDIR however it is spelled.
TEST_F(TreeTest, IncludeFolderSpellings) {
  box_.Write("t/inc/lib.h", "int lib;\n");
  box_.Write("t/a.cpp", "#include <lib.h>\n");
  for (const char* folder : {"inc", "./inc", "inc/", "inc//", "a.cpp/../inc"}) {
    const RunResult result = Tree({"-I", folder, "t", "site"});
    EXPECT_EQ(result.status, 0) << folder;
    EXPECT_EQ(IncludeLinks(BodyOf(Page("a.cpp.html"))),
              (std::map<int, std::string>{{1, "inc/lib.h.html"}}))
        << folder;
  }
}

// The body of every page is what --line-numbers writes for its file, and include lines written
// in any of the ways the scanner knows keep the same spans with a link around the name.
TEST_F(TreeTest, BodiesAreLineNumberedSourcesWithIncludeLinks) {
  struct BodyCase {
    std::string name;
    std::string content;
    int links;
  };
  std::string many;
  for (int i = 0; i < 300; ++i) many += i % 2 ? "#include \"a.h\"\n" : "#include <a.h>\n";
  const BodyCase cases[] = {
      {"plain.cpp", "#include \"a.h\"\n#include <a.h>\nint main() { return 0; }\n", 2},
      {"crlf.cpp", "#include \"a.h\"\r\nint x;\r\n", 1},
      {"tabs.cpp", "\t#\tinclude\t<a.h>\t// c\n", 1},
      {"glued.cpp", "#include\"a.h\"\n#include<a.h>\n# include\"a.h\"\n", 3},
      {"trailing.cpp", "#include \"a.h\" // then <b.h>\n#include <a.h> /* x */\n", 2},
      {"noeol.cpp", "int x;\n#include <a.h>", 1},
      {"nul.cpp", std::string("#include \"a.h\"\0 junk\nint x;\n", 27), 1},
      {"comment.cpp", "/* #include \"a.h\" */\n// #include \"a.h\"\n", 0},
      {"string.cpp", "const char* s = \"#include \\\"a.h\\\"\";\n", 0},
      {"macro.cpp", "#define A \"a.h\"\n#include A\n", 0},
      {"unresolved.cpp", "#include \"nope.h\"\n#include <nope.h>\n", 0},
      {"self.h", "#include \"self.h\"\n", 1},
      {"long.cpp", "int " + std::string(100000, 'x') + ";\n#include \"a.h\"\n", 1},
      {"many.cpp", many, 300},
      {"empty.h", "", 0},
      {"a.h", "int a;\n", 0},
  };
  for (const BodyCase& c : cases) box_.Write("src/" + c.name, c.content);
  const RunResult result = Tree({"src", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  for (const BodyCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string page = Page(c.name + ".html");
    ExpectNumberedSource(page, c.content, c.links);
    for (const auto& [line, href] : IncludeLinks(BodyOf(page))) {
      EXPECT_EQ(href, c.name == "self.h" ? "self.h.html" : "a.h.html") << "line " << line;
    }
  }
}

// Where TARGETDIR is.

TEST_F(TreeTest, TargetInsideSourceIsSkipped) {
  box_.Write("a.cpp", "int a;\n");
  box_.Write("sub/b.h", "int b;\n");
  box_.Write("site/old.cpp", "int old;\n");  // a source in the target, which the walk skips
  const RunResult result = Tree({".", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(FilesOf(box_.Snapshot("site")),
            (std::set<std::string>{"a.cpp.html", "index.html", "lexpaint.css", "lexpaint.js",
                                   "search/files.js", "search/names.js", "tags", "old.cpp",
                                   "sub/b.h.html", "sub/index.html"}));
  EXPECT_EQ(TitleOf(Page("index.html")), box_.path().filename().string() + " \u2014 source");
  EXPECT_EQ(
      IndexRows(Page("index.html")),
      (std::vector<std::string>{"sub/index.html | sub/ |  | ", "a.cpp.html | a.cpp | 1 | 7 B"}));
  // A second run writes the same site.
  const auto first = box_.Snapshot("site");
  EXPECT_EQ(Tree({".", "site"}).status, 0);
  EXPECT_EQ(box_.Snapshot("site"), first);
  // A new target folder is made with its parents; the old one is now just a folder of the source.
  EXPECT_EQ(Tree({".", "out/deeper/site"}).status, 0);
  const auto second = box_.Snapshot("out/deeper/site");
  EXPECT_EQ(FilesOf(second),
            (std::set<std::string>{"a.cpp.html", "index.html", "lexpaint.css", "lexpaint.js",
                                   "search/files.js", "search/names.js", "tags", "site/index.html",
                                   "site/old.cpp.html", "sub/b.h.html", "sub/index.html"}));
  EXPECT_EQ(second.at("a.cpp.html"), first.at("a.cpp.html"));
}

// Links to files are read as the file; FIFOs, sockets, dangling links and links to folders are
// passed over, so a link back up the tree makes no loop.
TEST_F(TreeTest, SpecialFilesAndLinks) {
  box_.Write("src/real.h", "int real;\n");
  const std::string main = "#include \"alias.h\"\n#include \"gone.h\"\n#include \"pipe.h\"\n";
  box_.Write("src/main.cpp", main);
  box_.Write("other/x.cpp", "int x;\n");
  fs::create_symlink("real.h", box_.path() / "src/alias.h");
  fs::create_symlink("nowhere.h", box_.path() / "src/gone.h");
  fs::create_symlink("..", box_.path() / "src/loop");
  fs::create_symlink("../other", box_.path() / "src/folder");
  ASSERT_EQ(::mkfifo((box_.path() / "src/pipe.h").c_str(), 0644), 0);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = (box_.path() / "src/socket.h").string();
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  // A run that opened the FIFO would wait for a writer for ever; `timeout` ends it instead.
  const RunResult result = box_.Run("timeout", {"60", LEXPAINT_BINARY, "--tree", "src", "site"});
  ExpectSoundSite("site");
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(FilesOf(box_.Snapshot("site")),
            (std::set<std::string>{"alias.h.html", "index.html", "lexpaint.css", "lexpaint.js",
                                   "search/files.js", "search/names.js", "tags", "main.cpp.html",
                                   "real.h.html"}));
  EXPECT_EQ(TitleOf(Page("alias.h.html")), "alias.h");
  ExpectNumberedSource(Page("alias.h.html"), "int real;\n", 0);
  EXPECT_EQ(IncludeLinks(BodyOf(Page("main.cpp.html"))),
            (std::map<int, std::string>{{1, "alias.h.html"}}));
  EXPECT_EQ(IndexRows(Page("index.html")),
            (std::vector<std::string>{FileRow("alias.h.html", "alias.h", "int real;\n"),
                                      FileRow("main.cpp.html", "main.cpp", main),
                                      FileRow("real.h.html", "real.h", "int real;\n")}));
}

// Page names that are taken: a folder's index, and a sub-folder's name.
TEST_F(TreeTest, ClashingPageNamesGetUnderscores) {
  box_.Write("p/index", "// the index\n");
  box_.Write("p/index_", "// not the index\n");
  box_.Write("p/lib", "#pragma once\n");
  box_.Write("p/lib.html/x.h", "int x;\n");
  box_.Write("p/sub/index", "#define X\n");
  const std::string main =
      "#include \"index\"\n#include \"lib\"\n#include \"sub/index\"\n#include \"index_\"\n"
      "#include \"lib.html/x.h\"\n";
  box_.Write("p/main.cpp", main);
  const RunResult result = Tree({"p", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(FilesOf(box_.Snapshot("site")),
            (std::set<std::string>{
                "index.html", "lexpaint.css", "lexpaint.js", "tags", "uses/X.html",
                "search/files.js", "search/names.js", "search/names/-.js", "search/outline/0.js",
                "index__.html", "index_.html", "lib_.html", "lib.html/index.html",
                "lib.html/x.h.html", "main.cpp.html", "sub/index.html", "sub/index_.html"}));
  EXPECT_EQ(IndexRows(Page("index.html")),
            (std::vector<std::string>{"lib.html/index.html | lib.html/ |  | ",
                                      "sub/index.html | sub/ |  | ",
                                      FileRow("index__.html", "index", "// the index\n"),
                                      FileRow("index_.html", "index_", "// not the index\n"),
                                      FileRow("lib_.html", "lib", "#pragma once\n"),
                                      FileRow("main.cpp.html", "main.cpp", main)}));
  EXPECT_EQ(IndexRows(Page("sub/index.html")),
            (std::vector<std::string>{"index_.html | index | 1 | 10 B"}));
  EXPECT_EQ(TitleOf(Page("index__.html")), "index");
  EXPECT_EQ(BreadcrumbOf(Page("index__.html")),
            "<a href=\"index.html\">p</a> / <span>index</span>");
  EXPECT_EQ(TitleOf(Page("sub/index_.html")), "sub/index");
  EXPECT_EQ(TitleOf(Page("lib_.html")), "lib");
  ExpectNumberedSource(Page("index__.html"), "// the index\n", 0);
  EXPECT_EQ(IncludeLinks(BodyOf(Page("main.cpp.html"))),
            (std::map<int, std::string>{{1, "index__.html"},
                                        {2, "lib_.html"},
                                        {3, "sub/index_.html"},
                                        {4, "index_.html"},
                                        {5, "lib.html/x.h.html"}}));
}

// A run that fails before it starts writes nothing, anywhere.

struct StartFailure {
  const char* name;
  std::vector<std::string> args;
  std::string output;
  int status;
};

void PrintTo(const StartFailure& c, std::ostream* os) { *os << c.name; }

class TreeStartFailureTest : public testing::TestWithParam<StartFailure> {};

TEST_P(TreeStartFailureTest, ReportsAndWritesNothing) {
  const StartFailure& c = GetParam();
  Sandbox box;
  box.Write("src/a.cpp", "int a;\n");
  box.Write("src/deep/b.h", "int b;\n");
  box.Write("plain.cpp", "int p;\n");
  box.Write("Header.html", "<pre>");
  box.Write("Footer.html", "</pre>");
  fs::create_directory_symlink("src", box.path() / "link");
  fs::create_directory_symlink("src/deep", box.path() / "deeplink");
  const auto before = box.Snapshot();
  const RunResult result = box.Lexpaint(c.args);
  EXPECT_EQ(result.output, c.output);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(box.Snapshot(), before);
}

const StartFailure kStartFailures[] = {
    {"MissingSource", {"--tree", "nope", "site"}, "Cannot read source folder: nope\n", 1},
    {"SourceIsFile", {"--tree", "plain.cpp", "site"}, "Cannot read source folder: plain.cpp\n", 1},
    {"TargetIsSource", {"--tree", "src", "src"}, "Target folder holds the source folder: src\n", 1},
    {"TargetIsSourceSpelledOtherwise",
     {"--tree", "src", "./src/"},
     "Target folder holds the source folder: ./src/\n",
     1},
    {"TargetHoldsSource", {"--tree", "src", "."}, "Target folder holds the source folder: .\n", 1},
    {"TargetHoldsSourceThroughDots",
     {"--tree", "src/deep", "src/deep/.."},
     "Target folder holds the source folder: src/deep/..\n",
     1},
    {"TargetIsLinkToSource",
     {"--tree", "src", "link"},
     "Target folder holds the source folder: link\n",
     1},
    {"SourceIsLinkIntoTarget",
     {"--tree", "deeplink", "src"},
     "Target folder holds the source folder: src\n",
     1},
    {"TargetIsFile", {"--tree", "src", "plain.cpp"}, "Cannot write target folder: plain.cpp\n", 1},
    {"TargetUnderFile",
     {"--tree", "src", "plain.cpp/site"},
     "Cannot write target folder: plain.cpp/site\n",
     1},
    {"MissingKeywordFile",
     {"--tree", "--keywords", "nope.txt", "src", "site"},
     "Cannot read keyword file: nope.txt\n",
     1},
    {"KeywordFileIsFolder",
     {"--tree", "--keywords", "src", "src", "site"},
     "Cannot read keyword file: src\n",
     1},
    {"MissingStylesheet",
     {"--tree", "--css", "nope.css", "src", "site"},
     "Cannot read stylesheet: nope.css\n",
     1},
    {"NoOperand", {"--tree"}, kTreeUsage, 2},
    {"OneOperand", {"--tree", "src"}, kTreeUsage, 2},
    {"ThreeOperands", {"--tree", "src", "site", "more"}, kTreeUsage, 2},
    {"IncludeFolderWithoutTree",
     {"-I", "src", "plain.cpp"},
     "Option -I needs --tree.\n" + std::string(kUsage),
     2},
    {"JobsWithoutTree",
     {"-j", "2", "plain.cpp"},
     "Option -j needs --tree.\n" + std::string(kUsage),
     2},
    {"KeywordsWithoutTree",
     {"--keywords", "k.txt", "plain.cpp"},
     "Option --keywords needs --tree.\n" + std::string(kUsage),
     2},
    {"CssWithoutTree",
     {"-n", "--css", "my.css", "plain.cpp"},
     "Option --css needs --tree.\n" + std::string(kUsage),
     2},
    {"TitleWithoutTree",
     {"--title", "T", "plain.cpp"},
     "Option --title needs --tree.\n" + std::string(kUsage),
     2},
    {"NoDefinitionsWithoutTree",
     {"--no-definitions", "plain.cpp"},
     "Option --no-definitions needs --tree.\n" + std::string(kUsage),
     2},
};
INSTANTIATE_TEST_SUITE_P(Failures, TreeStartFailureTest, testing::ValuesIn(kStartFailures),
                         [](const auto& info) { return info.param.name; });

TEST_F(TreeTest, JobsMustBeAWholeNumberFrom1To1024) {
  box_.Write("src/a.cpp", "int a;\n");
  for (const char* jobs : {"0", "1025", "-1", "2x", "x", "", " 2", "99999999999999999999"}) {
    const RunResult result = Tree({"-j", jobs, "src", "site"});
    EXPECT_EQ(result.output.substr(0, result.output.find('\n') + 1),
              "Option -j needs a whole number of threads from 1 to 1024.\n")
        << jobs;
    EXPECT_EQ(result.status, 2) << jobs;
  }
  EXPECT_EQ(box_.List(), std::vector<std::string>{"src"});
  for (const char* jobs : {"1", "1024"}) {
    EXPECT_EQ(Tree({"-j", jobs, "src", "site"}).status, 0) << jobs;
    EXPECT_TRUE(box_.Exists("site/a.cpp.html")) << jobs;
  }
}

// Failures of single files: the run reports each on a line and goes on.

struct UnreadableCase {
  const char* name;
  bool needsPermissions;  // root reads the file anyway
  std::function<void(const fs::path&)> make;
};

void PrintTo(const UnreadableCase& c, std::ostream* os) { *os << c.name; }

class UnreadableSourceTest : public TreeTest, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableSourceTest, ReportedAndLeftOut) {
  if (GetParam().needsPermissions && ::geteuid() == 0) {
    GTEST_SKIP() << "root reads a file whatever its permissions";
  }
  box_.Write("src/a.cpp", "int a;\n");
  box_.Write("src/sub/c.h", "int c;\n");
  GetParam().make(box_.path() / "src/sub/b.h");
  const auto before = box_.Snapshot();
  const RunResult result = Tree({"src", "site"});
  EXPECT_EQ(result.output, "Cannot read source file: src/sub/b.h\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(FilesOf(box_.Snapshot("site")),
            (std::set<std::string>{"a.cpp.html", "index.html", "lexpaint.css", "lexpaint.js",
                                   "search/files.js", "search/names.js", "tags", "sub/c.h.html",
                                   "sub/index.html"}));
  EXPECT_EQ(IndexRows(Page("sub/index.html")),
            (std::vector<std::string>{"c.h.html | c.h | 1 | 7 B"}));
  EXPECT_EQ(Outside(box_.Snapshot(), "site"), before);
}

const UnreadableCase kUnreadableCases[] = {
    {"NoReadPermission", true,
     [](const fs::path& path) {
       std::ofstream(path) << "int b;\n";
       fs::permissions(path, fs::perms::none);
     }},
    // Reading the start of a process's memory fails, for root too.
    {"ReadFails", false, [](const fs::path& path) { fs::create_symlink("/proc/self/mem", path); }},
};
INSTANTIATE_TEST_SUITE_P(Sources, UnreadableSourceTest, testing::ValuesIn(kUnreadableCases),
                         [](const auto& info) { return info.param.name; });

TEST_F(TreeTest, UnreadableFolderReportedAndLeftOut) {
  if (::geteuid() == 0) GTEST_SKIP() << "root lists a folder whatever its permissions";
  box_.Write("src/a.cpp", "int a;\n");
  box_.Write("src/locked/b.cpp", "int b;\n");
  fs::permissions(box_.path() / "src/locked", fs::perms::none);
  const RunResult result = Tree({"src", "site"});
  fs::permissions(box_.path() / "src/locked", fs::perms::owner_all);
  EXPECT_EQ(result.output, "Cannot read source folder: src/locked\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(FilesOf(box_.Snapshot("site")),
            (std::set<std::string>{"a.cpp.html", "index.html", "lexpaint.css", "lexpaint.js",
                                   "search/files.js", "search/names.js", "tags"}));
}

TEST_F(TreeTest, UnwritablePageReportedAndRunGoesOn) {
  box_.Write("p/src/a.cpp", "int a;\n");
  box_.Write("p/src/b.cpp", "int b;\n");
  box_.Write("p/c.h", "int c;\n");
  box_.Write("site/src/a.cpp.html/kept", "in the way");  // a folder where the page would go
  const auto before = box_.Snapshot();
  const RunResult result = Tree({"p", "site"});
  EXPECT_EQ(result.output, "Cannot write target file: site/src/a.cpp.html\n");
  EXPECT_EQ(result.status, 1);
  const auto after = box_.Snapshot("site");
  EXPECT_EQ(FilesOf(after),
            (std::set<std::string>{"c.h.html", "index.html", "lexpaint.css", "lexpaint.js",
                                   "search/files.js", "search/names.js", "tags",
                                   "src/a.cpp.html/kept", "src/b.cpp.html", "src/index.html"}));
  EXPECT_EQ(after.at("src/a.cpp.html/kept"), "in the way");
  EXPECT_EQ(IndexRows(Page("src/index.html")),
            (std::vector<std::string>{"b.cpp.html | b.cpp | 1 | 7 B"}));
  EXPECT_EQ(Outside(box_.Snapshot(), "site"), Outside(before, "site"));
}

// A file that cannot be read has no page, so no include links to it.
TEST_F(TreeTest, IncludeOfUnreadableFileLinksNowhere) {
  box_.Write("src/a.cpp", "#include \"b.h\"\n");
  fs::create_symlink("/proc/self/mem", box_.path() / "src/b.h");  // opens, but reading fails
  const RunResult result = Tree({"src", "site"});
  EXPECT_EQ(result.output, "Cannot read source file: src/b.h\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(box_.Exists("site/b.h.html"));
  EXPECT_EQ(IncludeLinks(BodyOf(Page("a.cpp.html"))), (std::map<int, std::string>{}));
}

// A folder named like a file the site writes beside it is placed under another name.
TEST_F(TreeTest, FoldersNamedLikeSiteFiles) {
  box_.Write("src/lexpaint.css/a.h", "int a;\n");
  box_.Write("src/tags/t.h", "int t;\n");
  box_.Write("src/lexpaint.js/j.h", "int j;\n");
  box_.Write("src/index.html/a.h", "int a;\n");
  box_.Write("src/index.html_/c.h", "int c;\n");
  box_.Write("src/sub/index.html/b.h", "#include \"../../lexpaint.css/a.h\"\n");
  const RunResult result = Tree({"src", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  for (const char* file :
       {"site/lexpaint.css", "site/lexpaint.js", "site/index.html", "site/sub/index.html"}) {
    EXPECT_TRUE(fs::is_regular_file(box_.path() / file)) << file;
  }
  for (const char* page : {"site/lexpaint.css_/a.h.html", "site/tags_/t.h.html",
                           "site/lexpaint.js_/j.h.html", "site/index.html__/a.h.html",
                           "site/index.html_/c.h.html", "site/sub/index.html_/b.h.html"}) {
    EXPECT_TRUE(fs::is_regular_file(box_.path() / page)) << page;
  }
  EXPECT_NE(
      box_.Read("site/sub/index.html_/b.h.html").find("href=\"../../lexpaint.css_/a.h.html\""),
      std::string::npos);
}

// Nothing in TARGETDIR is deleted; a page of this run replaces what was at its name.
TEST_F(TreeTest, ExistingTargetFilesKept) {
  box_.Write("src/a.cpp", "int a;\n");
  box_.Write("site/keep.txt", "mine");
  box_.Write("site/.hidden", "mine too");
  box_.Write("site/gone.cpp.html", "the page of a file since removed");
  box_.Write("site/a.cpp.html", "an old page");
  box_.Write("site/empty/x", "");
  const RunResult result = Tree({"src", "site"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  const auto site = box_.Snapshot("site");
  EXPECT_EQ(FilesOf(site),
            (std::set<std::string>{".hidden", "a.cpp.html", "empty/x", "gone.cpp.html",
                                   "index.html", "keep.txt", "lexpaint.css", "lexpaint.js",
                                   "search/files.js", "search/names.js", "tags"}));
  EXPECT_EQ(site.at("keep.txt"), "mine");
  EXPECT_EQ(site.at(".hidden"), "mine too");
  EXPECT_EQ(site.at("gone.cpp.html"), "the page of a file since removed");
  ExpectNumberedSource(site.at("a.cpp.html"), "int a;\n", 0);
  EXPECT_EQ(IndexRows(site.at("index.html")),
            (std::vector<std::string>{"a.cpp.html | a.cpp | 1 | 7 B"}));
}

// The number of threads changes nothing in the site.
TEST_F(TreeTest, ThreadCountsWriteIdenticalSites) {
  for (int folder = 0; folder < 6; ++folder) {
    for (int file = 0; file < 10; ++file) {
      const std::string name = "f" + std::to_string(folder) + "/x" + std::to_string(file);
      std::string content = "#include \"f" + std::to_string((folder + 1) % 6) + "/x" +
                            std::to_string(file) + ".h\"\n#include <f0/x0.h>\n";
      for (int line = 0; line < file * 50; ++line)
        content += "int v" + std::to_string(line) + ";\n";
      // A struct and its typedef on one line, defined in every folder: the tags file and the
      // list page hold them in one order, however the definitions were split among threads.
      const std::string type = "P" + std::to_string(file);
      content += "typedef struct " + type + " { int a; } " + type + ";\n";
      box_.Write("src/" + name + ".h", content);
      box_.Write("src/" + name + "_impl.cpp",
                 "#include \"x" + std::to_string(file) + ".h\"\n" + type + " p;\n");
    }
  }
  for (const char* jobs : {"1", "2", "7"}) {
    const RunResult result = Tree({"-j", jobs, "src", std::string("site") + jobs});
    EXPECT_EQ(result.output, "") << jobs;
    EXPECT_EQ(result.status, 0) << jobs;
  }
  const auto one = box_.Snapshot("site1");
  // Pages and an index per folder, the folders, the root's index, stylesheet, script and tags
  // file, the folder of list pages with the one of the names P0 to P9, the folder of uses with
  // the one page of every name's uses, and the search index: its folder and those of its parts of
  // names and outlines, and a part in each besides its two.
  EXPECT_EQ(one.size(), 6u * (20 + 1) + 6 + 4 + 2 + 2 + 3 + 4);
  EXPECT_EQ(box_.Snapshot("site2"), one);
  EXPECT_EQ(box_.Snapshot("site7"), one);
}

// The site of the C++ standard library headers, if they are installed.
TEST_F(TreeTest, StandardLibraryHeaders) {
  const fs::path headers = "/usr/include/c++";
  std::vector<std::string> versions;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(headers, error)) {
    if (entry.is_directory() && !entry.is_symlink() && fs::exists(entry.path() / "vector")) {
      versions.push_back(entry.path().filename().string());
    }
  }
  if (versions.empty()) GTEST_SKIP() << "no C++ standard library headers in " << headers;
  std::sort(versions.begin(), versions.end());
  std::vector<std::string> args;
  for (const std::string& version : versions) args.insert(args.end(), {"-I", version});
  args.insert(args.end(), {"--tree", headers.string(), "site"});
  const RunResult result = box_.Lexpaint(args);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  std::size_t links = 0;
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site", &links), "");
  EXPECT_GT(links, 10000u);
  const std::string& version = versions.front();
  for (const char* header : {"vector", "map", "string", "iostream", "bits/stl_vector.h"}) {
    EXPECT_TRUE(box_.Exists("site/" + version + "/" + header + ".html")) << header;
  }
  std::set<std::string> hrefs;
  for (const auto& [line, href] : IncludeLinks(BodyOf(Page(version + "/vector.html")))) {
    hrefs.insert(href);
  }
  EXPECT_EQ(hrefs.count("bits/stl_vector.h.html"), 1u);
}

}  // namespace
}  // namespace lexpaint

namespace lexpaint {
namespace {

// The href of the link that wraps the identifier `word` on line `line` of `body`, or "".
std::string NameLink(const std::string& body, int line, const std::string& word) {
  std::istringstream lines(body);
  std::string text;
  for (int n = 1; std::getline(lines, text); ++n) {
    if (n != line) continue;
    const std::string wrapped = "\"><span class=\"Identifier\">" + word + "</span></a>";
    const std::size_t end = text.find(wrapped);
    if (end == std::string::npos) return "";
    const std::size_t start = text.rfind("<a href=\"", end);
    return text.substr(start + 9, end - start - 9);
  }
  return "";
}

// A name qualified by a namespace of the tree that makes nothing of it links only to what that
// namespace reaches: a namespace made in it, as an inline one, or a type at no scope; never to
// what another namespace makes. A class reaches its own enumerators and the classes defined as
// its members outside it. Under a qualifier the tree makes no namespace or class of, such as an
// alias, any definition not in a class may be meant.
TEST_F(TreeTest, QualifiedNamesLinkToWhatTheirNamespaceReaches) {
  box_.Write("src/lib.h",
             "namespace lib {\n"
             "int move(int x) { return x; }\n"
             "inline namespace v1 { int swap(int a) { return a; } }\n"
             "}\n"
             "namespace std { struct hash {}; }\n"
             "struct tm {};\n"
             "static int get(int n) { return n; }\n"
             "struct G { struct Rep; enum { kOne }; };\n"
             "struct G::Rep {};\n"
             "struct Widget {\n  Widget() {}\n  Widget(int n) {}\n};\n");
  box_.Write("src/use.cpp",
             "#include \"lib.h\"\n"
             "int a = std::move(1);\n"
             "int b = lib::move(2);\n"
             "int c = lib::swap(3);\n"
             "std::tm when;\n"
             "int d = std::get(4);\n"
             "int e = alias::move(5);\n"
             "int f = ::get(6);\n"
             "G::Rep* r;\n"
             "int k = G::kOne + G::get(7);\n"
             "Widget w;\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string use = BodyOf(Page("use.cpp.html"));
  const std::vector<std::tuple<int, std::string, std::string>> links = {
      {2, "move", ""},
      {3, "move", "lib.h.html#L2"},
      {4, "swap", "lib.h.html#L3"},
      {5, "tm", "lib.h.html#L6"},
      {6, "get", ""},
      {7, "move", "lib.h.html#L2"},
      {8, "get", "lib.h.html#L7"},
      {9, "Rep", "lib.h.html#L9"},
      {10, "kOne", "lib.h.html#L8"},
      {10, "get", ""},
      {11, "Widget", "lib.h.html#L10"}};  // the class, not a list with its constructors
  for (const auto& [line, word, href] : links) {
    EXPECT_EQ(NameLink(use, line, word), href) << word << " on line " << line;
  }
}

// A derived class has its bases' members: after its name and "::", and in its member functions.
// A base's own name still means the base, and a base that several classes share a name with is
// not followed.
TEST_F(TreeTest, DerivedClassesReachTheMembersOfTheirBases) {
  box_.Write("src/lib.h",
             "struct Base {\n"
             "  enum Mode { kFast };\n"
             "  Base() {}\n"
             "  int size() const { return 0; }\n"
             "};\n"
             "struct Mid : public Base {};\n"
             "struct Leaf : Mid {\n"
             "  Leaf() : Base() {}\n"
             "  int twice() const { return 2 * size(); }\n"
             "};\n"
             "int size() { return 1; }\n"
             "namespace a { struct Node { int kind() { return 1; } }; int kind() { return 0; } }\n"
             "namespace b { struct Node { int kind() { return 2; } }; }\n"
             "struct Item : a::Node { int get() { return kind(); } };\n");
  box_.Write("src/use.cpp",
             "#include \"lib.h\"\n"
             "int m = Leaf::kFast;\n"
             "int n = Mid::size();\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string use = BodyOf(Page("use.cpp.html"));
  EXPECT_EQ(NameLink(use, 2, "kFast"), "lib.h.html#L2");
  EXPECT_EQ(NameLink(use, 3, "size"), "lib.h.html#L4");
  const std::string lib = BodyOf(Page("lib.h.html"));
  EXPECT_EQ(NameLink(lib, 8, "Base"), "lib.h.html#L1");          // the class, not its constructor
  EXPECT_EQ(NameLink(lib, 9, "size"), "lib.h.html#L4");          // the member, not the function
  EXPECT_EQ(NameLink(lib, 14, "kind"), "names/Base.html#kind");  // either Node's, as before
}

// A member of an object whose declaration names its class links to that class's member, or its
// bases'; where they have none, such as a data member, it links nowhere. "->" tells only of a
// pointer's class, and "this" of the class whose body it stands in.
TEST_F(TreeTest, MembersOfAnObjectOfAKnownClassAreThatClasssMembers) {
  box_.Write("src/lib.h",
             "struct Base { int size() const { return 0; } };\n"
             "struct Box : Base {\n  int weight;\n  int get() const { return this->size(); }\n};\n"
             "struct Bag { int size() const { return 1; } int weight() const { return 2; } };\n"
             "template <class T> struct Ptr { T* operator->(); int size() const; };\n");
  box_.Write("src/use.cpp",
             "#include \"lib.h\"\n"
             "int f(const Box& b, Box* p, Bag g, Ptr<Bag> q) {\n"
             "  int n = b.size();\n"
             "  n += p->size();\n"
             "  n += g.size();\n"
             "  n += b.weight;\n"
             "  return n + q->size();\n"
             "}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string use = BodyOf(Page("use.cpp.html"));
  EXPECT_EQ(NameLink(use, 3, "size"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(use, 4, "size"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(use, 5, "size"), "lib.h.html#L6");
  EXPECT_EQ(NameLink(use, 6, "weight"), "");
  EXPECT_EQ(NameLink(use, 7, "size"), "names/size.html#size");  // Ptr's operator-> leads on
  EXPECT_EQ(NameLink(BodyOf(Page("lib.h.html")), 4, "size"), "lib.h.html#L1");
}

// An object whose type the tree does not define, as a standard container in a tree that is not
// the C++ library, has no member in the tree. A template parameter or a block's alias may stand
// for any class, so after one any class's member may be meant.
TEST_F(TreeTest, MembersOfAnObjectOfATypeTheTreeDoesNotDefineLinkNowhere) {
  box_.Write("src/lib.h", "struct Vec { int size() const { return 0; } };\n");
  box_.Write("src/use.cpp",
             "#include \"lib.h\"\n"
             "template <class T> int f(std::vector<int>& v, T& t, const Vec& w) {\n"
             "  using Alias = Vec;\n"
             "  Alias a;\n"
             "  int n = v.size();\n"
             "  n += t.size();\n"
             "  n += w.size();\n"
             "  return n + a.size();\n"
             "}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string use = BodyOf(Page("use.cpp.html"));
  EXPECT_EQ(NameLink(use, 5, "size"), "");
  EXPECT_EQ(NameLink(use, 6, "size"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(use, 7, "size"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(use, 8, "size"), "lib.h.html#L1");
}

// After '.' or "->", only a call or a template's arguments can follow a member function's name;
// a name that anything else follows is a data member, which links nowhere, whatever functions
// share its name. With the rest of the line empty, the call may follow on the next; a '<' that no
// '>' and call follow is a comparison.
TEST_F(TreeTest, AMemberThatNoCallFollowsIsData) {
  box_.Write(
      "src/lib.h",
      "struct Node { Node* next() const { return 0; } int count() const { return 1; } };\n"
      "struct Range { int first() const { return 0; } template <class T> T as() { return {}; } };\n"
      "struct Pair { int first; Node* next; };\n");
  box_.Write("src/use.cpp",
             "#include \"lib.h\"\n"
             "int f(Pair* pairs, Node* nodes) {\n"
             "  auto& n = nodes[0];\n"
             "  int a = pairs[0].first + n.count();\n"
             "  pairs->next = nullptr;\n"
             "  Pair p = {.first = a};\n"
             "  a += n.next ()->count();\n"
             "  return n.count\n"
             "      () + pairs[1].as<int>() + pairs[2].next[0].count() + (pairs[3].first < a);\n"
             "  bool b = pairs[4].first < a &&\n"
             "      a > 0;\n"
             "}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string use = BodyOf(Page("use.cpp.html"));
  EXPECT_EQ(NameLink(use, 4, "first"), "");
  EXPECT_EQ(NameLink(use, 4, "count"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(use, 5, "next"), "");
  EXPECT_EQ(NameLink(use, 6, "first"), "");
  EXPECT_EQ(NameLink(use, 7, "next"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(use, 8, "count"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(use, 9, "as"), "lib.h.html#L2");
  EXPECT_EQ(NameLink(use, 9, "next"), "");
  EXPECT_EQ(NameLink(use, 9, "count"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(use, 9, "first"), "");   // a comparison's '<'
  EXPECT_EQ(NameLink(use, 10, "first"), "");  // one that goes on to the next line
}

// After the parameters of a function or a lambda, "->" starts a return type, not a member: a name
// there that no call follows means a type, and only a type. After a call, it reaches a member.
TEST_F(TreeTest, ATrailingReturnTypeIsAType) {
  box_.Write("src/lib.h",
             "template <class T> struct Box { Box(T) {} int count() const { return 0; } };\n"
             "auto make(int n)\n"
             "    -> Box<int> { return {n}; }\n"
             "struct Maker {\n"
             "  auto made() const -> Box<int>*;\n"
             "  Box<int>* (*get)();\n"
             "  int total() { return get()->count; }\n"
             "};\n"
             "struct count {};\n"
             "auto boxed = [](int n) -> Box<int> { return {n}; };\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string lib = BodyOf(Page("lib.h.html"));
  EXPECT_EQ(NameLink(lib, 3, "Box"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(lib, 5, "Box"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(lib, 7, "count"), "");  // a data member of a call's result
  EXPECT_EQ(NameLink(lib, 10, "Box"), "lib.h.html#L1");
}

// A member function that a class declares hides every other function of its name in the
// class's body: there the name means the class's own definition, wherever the tree makes it, or
// nothing, never another class's function of that name. A constructor's name still means the
// class, and a friend is no member.
TEST_F(TreeTest, AMemberFunctionThatAClassDeclaresIsItsOwn) {
  box_.Write("src/lib.h",
             "struct Widget {\n"
             "  explicit Widget(int);\n"
             "  void draw() const;\n"
             "  void redraw() const { draw(); }\n"
             "  int size() const;\n"
             "  friend void paint(Widget&);\n"
             "};\n"
             "inline int Widget::size() const { return 1; }\n"
             "struct Canvas { void draw() const {} };\n"
             "void paint(Widget&) {}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string lib = BodyOf(Page("lib.h.html"));
  EXPECT_EQ(NameLink(lib, 2, "Widget"), "lib.h.html#L1");
  EXPECT_EQ(NameLink(lib, 3, "draw"), "");
  EXPECT_EQ(NameLink(lib, 4, "draw"), "");
  EXPECT_EQ(NameLink(lib, 5, "size"), "lib.h.html#L8");
  EXPECT_EQ(NameLink(lib, 6, "paint"), "lib.h.html#L10");
}

// Uses link to their definitions across files; a name defined twice links to its section of a
// list page; a definition links to its name's uses; the tags file lists every definition, sorted.
TEST_F(TreeTest, DefinitionsLinkUsesAndFillTheTagsFile) {
  box_.Write("src/shape.h",
             "#define AREA(s) area(s)\n"
             "struct Shape {\n"
             "  int w;\n"
             "};\n"
             "int area(const Shape& s) { return s.w; }\n"
             "double area(double r) { return r * r; }\n");
  box_.Write("src/main.cpp",
             "#include \"shape.h\"\n"
             "int main() {\n"
             "  Shape s{2};\n"
             "  return AREA(s) + area(1.0) + unknown(s);\n"
             "}\n");
  const RunResult result = Tree({"src", "site"});
  EXPECT_EQ(result.output, "");
  ASSERT_EQ(result.status, 0);

  const std::string main = BodyOf(Page("main.cpp.html"));
  EXPECT_EQ(NameLink(main, 3, "Shape"), "shape.h.html#L2");
  EXPECT_EQ(NameLink(main, 4, "AREA"), "shape.h.html#L1");
  EXPECT_EQ(NameLink(main, 4, "area"), "names/area.html#area");
  EXPECT_EQ(NameLink(main, 4, "unknown"), "");
  EXPECT_EQ(NameLink(main, 2, "main"), "uses/AREA.html#main");  // the definition, to its uses
  const std::string shape = BodyOf(Page("shape.h.html"));
  EXPECT_EQ(NameLink(shape, 2, "Shape"), "uses/AREA.html#Shape");
  EXPECT_EQ(NameLink(shape, 5, "Shape"), "shape.h.html#L2");
  EXPECT_EQ(NameLink(shape, 5, "area"), "uses/AREA.html#area");
  int removed = 0;
  EXPECT_EQ(RemoveLinks(main, &removed), NumberedBody(box_.Read("src/main.cpp")));

  const std::string list = Page("names/area.html");
  EXPECT_EQ(TitleOf(list), "area \u2014 definitions");
  EXPECT_NE(list.find("<section id=\"area\">\n<h2>area</h2>"), std::string::npos) << list;
  EXPECT_NE(list.find("<a href=\"../shape.h.html#L5\">shape.h</a></td><td><a "
                      "href=\"../shape.h.html#L5\">5</a></td><td>function</td><td><code>int "
                      "area(const Shape&amp; s) { return s.w; }</code>"),
            std::string::npos)
      << list;
  EXPECT_NE(list.find("<a href=\"../shape.h.html#L6\">"), std::string::npos);

  EXPECT_EQ(box_.Read("site/tags"),
            "!_TAG_FILE_FORMAT\t2\t/extended format/\n"
            "!_TAG_FILE_SORTED\t1\t/0=unsorted, 1=sorted, 2=foldcase/\n"
            "AREA\tshape.h\t1;\"\tkind:macro\n"
            "Shape\tshape.h\t2;\"\tkind:struct\n"
            "area\tshape.h\t5;\"\tkind:function\n"
            "area\tshape.h\t6;\"\tkind:function\n"
            "main\tmain.cpp\t2;\"\tkind:function\n");
}

// A list page shows a name's types first, each followed by the functions of its file, such as
// its constructors, then the other functions and the rest.
TEST_F(TreeTest, ListPagesShowTypesFirst) {
  box_.Write("src/a.h", "#define Widget Widget\nint Widget(int x) { return x; }\n");
  box_.Write("src/w.h",
             "struct Widget {\n  Widget() {}\n  Widget(int) {}\n};\n"
             "typedef struct Widget Widget;\n");
  box_.Write("src/use.cpp", "Widget w;\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string list = Page("names/Widget.html");
  std::vector<std::size_t> rows;
  for (const char* href : {"w.h.html#L1\"", "w.h.html#L2\"", "w.h.html#L3\"", "w.h.html#L5\"",
                           "a.h.html#L2\"", "a.h.html#L1\""}) {
    rows.push_back(list.find(href));
    ASSERT_NE(rows.back(), std::string::npos) << href << "\n" << list;
  }
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end())) << list;
}

// A name declared in a function, a template or a macro's parameters links nowhere, whatever other
// files define; a member's name links to members only, and a qualified name to its qualifier's
// definitions.
TEST_F(TreeTest, LocalNamesStayLocalAndMembersLinkToMembers) {
  box_.Write("src/other.h",
             "struct Size {};\n"
             "struct T {};\n"
             "int total(int x) { return x; }\n"
             "int size(int n) { return n; }\n"
             "int only_free(int n) { return n; }\n");
  box_.Write("src/box.h",
             "struct Box {\n"
             "  int size() const { return 0; }\n"
             "};\n"
             "struct A { void f(); };\n"
             "struct B { void f(); };\n"
             "void A::f() {}\n"
             "void B::f() {}\n"
             "struct Bag { int size() const { return 1; } };\n");
  box_.Write("src/use.cpp",
             "#include \"other.h\"\n"
             "#include \"box.h\"\n"
             "template <class T>\n"
             "int use(const Box& x, int Size) {\n"
             "  int total = Size + x.size() + x.only_free() + y().size();\n"
             "  T t;\n"
             "  A::f(); B::f();\n"
             "  return total + size(1);\n"
             "}\n"
             "Size s; T u; int v = total(1);\n"
             "#define TWICE(total, Size) \\\n  ((total) + (Size))\n"
             "int w = total(2);\n"
             "void g() {\n  goto total;\ntotal:\n  return;\n}\n"
             "void h1() {\n  using word = long;\n  word a = 0;\n}\n"
             "void h2() {\n  using word = short;\n  word b = 0;\n}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site"), "");

  const std::string use = BodyOf(Page("use.cpp.html"));
  const std::vector<std::pair<int, std::string>> locals = {
      {3, "T"},      {4, "Size"},  {5, "Size"},   {5, "total"}, {6, "T"},      {8, "total"},
      {11, "total"}, {11, "Size"}, {12, "total"}, {12, "Size"}, {15, "total"}, {16, "total"}};
  for (const auto& [line, word] : locals) {
    EXPECT_EQ(NameLink(use, line, word), "") << word << " on line " << line;
  }
  EXPECT_EQ(NameLink(use, 10, "Size"), "other.h.html#L1");  // outside the function
  EXPECT_EQ(NameLink(use, 10, "T"), "other.h.html#L2");
  EXPECT_EQ(NameLink(use, 10, "total"), "other.h.html#L3");
  EXPECT_EQ(NameLink(use, 13, "total"), "other.h.html#L3");  // after the macro's lines
  // An alias of a function's body links to its own line, not to those of other functions.
  EXPECT_EQ(NameLink(use, 21, "word"), "use.cpp.html#L20");
  EXPECT_EQ(NameLink(use, 25, "word"), "use.cpp.html#L24");

  // The object's type, a parameter's here, tells which class's member; where nothing tells
  // it, every member of the name. size and f share a list page, named after f.
  const std::string sizes = Between(use, "id=\"L5\"", "id=\"L6\"");
  EXPECT_NE(sizes.find("x</span><span class=\"Operator\">.</span><a href=\"box.h.html#L2\">"),
            std::string::npos)
      << sizes;
  EXPECT_NE(sizes.find("().</span><a href=\"names/f.html#.size\">"), std::string::npos) << sizes;
  EXPECT_EQ(NameLink(use, 5, "only_free"), "");
  EXPECT_EQ(NameLink(use, 8, "size"), "names/f.html#size");
  const std::string list = Page("names/f.html");
  const std::string members = Between(list, "<section id=\".size\">", "</section>");
  EXPECT_NE(members.find("box.h.html#L2"), std::string::npos) << list;
  EXPECT_NE(members.find("box.h.html#L8"), std::string::npos) << list;
  EXPECT_EQ(members.find("other.h"), std::string::npos) << list;

  const std::string calls = use.substr(use.find("id=\"L7\""));
  EXPECT_NE(calls.find("<a href=\"box.h.html#L6\"><span class=\"Identifier\">f</span>"),
            std::string::npos);
  EXPECT_NE(calls.find("<a href=\"box.h.html#L7\"><span class=\"Identifier\">f</span>"),
            std::string::npos);
}

// The letters that end a number are no names, whatever the tree defines.
TEST_F(TreeTest, LettersOfNumbersLinkNowhere) {
  box_.Write("src/a.h", "#define A 1\n#define u 2\nint n = 0x0A + 1u + A + u;\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string body = BodyOf(Page("a.h.html"));
  EXPECT_NE(body.find("<span class=\"Number\">0x0</span><span class=\"Identifier\">A</span>"),
            std::string::npos)
      << body;
  EXPECT_NE(body.find("<span class=\"Number\">1</span><span class=\"Identifier\">u</span>"),
            std::string::npos)
      << body;
  EXPECT_EQ(NameLink(body, 3, "A"), "a.h.html#L1");  // the names after them
  EXPECT_EQ(NameLink(body, 3, "u"), "a.h.html#L2");
}

// A name defined in several places links to the definitions a page sees through its includes,
// directly or not; a page that sees none links to the list of them all.
TEST_F(TreeTest, NamesLinkToDefinitionsIncludesReach) {
  box_.Write("src/a.h",
             "typedef int Ctx;\nint f(int x) { return x; }\nint f(long x) { return 0; }\n");
  box_.Write("src/other.h", "typedef long Ctx;\nint f(char c) { return c; }\n");
  box_.Write("src/c.h", "#include \"a.h\"\n");
  box_.Write("src/b.c", "#include \"a.h\"\nCtx direct;\nint g(void) { return f(1); }\n");
  box_.Write("src/d.c", "#include \"c.h\"\nCtx through;\n");
  box_.Write("src/e.c", "Ctx unseen;\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site"), "");
  EXPECT_EQ(NameLink(BodyOf(Page("b.c.html")), 2, "Ctx"), "a.h.html#L1");
  EXPECT_EQ(NameLink(BodyOf(Page("d.c.html")), 2, "Ctx"), "a.h.html#L1");
  EXPECT_EQ(NameLink(BodyOf(Page("e.c.html")), 1, "Ctx"), "names/Ctx.html#Ctx");
  // Two of f's three definitions are in sight: a section lists just those, headed by their file.
  EXPECT_EQ(NameLink(BodyOf(Page("b.c.html")), 3, "f"), "names/Ctx.html#f%40a.h");
  EXPECT_NE(Page("names/Ctx.html").find("<section id=\"f@a.h\">\n<h2>f, in a.h</h2>"),
            std::string::npos);
}

// In a class's body, its own name means the class, as in a copy constructor's parameter, not the
// constructors that share its name.
TEST_F(TreeTest, ClassNameInItsOwnBodyLinksToTheClass) {
  box_.Write("src/vec.h",
             "struct Vec {\n"
             "  Vec(int n) {}\n"
             "  void assign(const Vec& other) {}\n"
             "};\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(NameLink(BodyOf(Page("vec.h.html")), 3, "Vec"), "vec.h.html#L1");
}

// A file too large to be read into memory at once is read twice, and its definitions found alike.
TEST_F(TreeTest, DefinitionsOfLargeFilesFound) {
  const std::string padding = "// " + std::string(2 << 20, '-') + "\n";
  box_.Write("src/big.h", padding + "int twice(int x) { return 2 * x; }\n");
  box_.Write("src/use.cpp", "#include \"big.h\"\nint four() { return twice(2); }\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(NameLink(BodyOf(Page("use.cpp.html")), 2, "twice"), "big.h.html#L2");
}

// Without definitions, a site has no name links, list pages or tags file.
TEST_F(TreeTest, NoDefinitionsLinksNoNames) {
  box_.Write("src/a.h", "int f(int x) { return x; }\nint f(long x) { return 0; }\n");
  box_.Write("src/b.cpp", "#include \"a.h\"\nint g() { return f(1); }\n");
  ASSERT_EQ(Tree({"--no-definitions", "src", "site"}).status, 0);
  EXPECT_EQ(FilesOf(box_.Snapshot("site")),
            (std::set<std::string>{"a.h.html", "b.cpp.html", "index.html", "lexpaint.css",
                                   "lexpaint.js", "search/files.js", "search/names.js"}));
  int links = 0;
  EXPECT_EQ(RemoveLinks(BodyOf(Page("b.cpp.html")), &links), NumberedBody(box_.Read("src/b.cpp")));
  EXPECT_EQ(links, 1);  // the include link
}

// Names defined in several places share list pages, a run of names in name order each: every
// use reaches its own name's section, on the page of the run it falls in.
TEST_F(TreeTest, ListPagesHoldRunsOfNames) {
  std::string header, uses = "#include \"all.h\"\nint main() {\n";
  for (char c = 'a'; c <= 'z'; ++c) {
    for (const char* suffix : {"1", "2"}) {
      const std::string name = std::string(1, c) + suffix;
      header +=
          "int " + name + "(int x) { return x; }\n" + "int " + name + "(long x) { return 0; }\n";
      uses += "  " + name + "(1);\n";
    }
  }
  box_.Write("src/all.h", header);
  box_.Write("src/main.cpp", uses + "}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);

  const std::string main = BodyOf(Page("main.cpp.html"));
  EXPECT_EQ(NameLink(main, 3, "a1"), "names/a1.html#a1");
  EXPECT_EQ(NameLink(main, 4, "a2"), "names/a1.html#a2");
  const std::string last = NameLink(main, 54, "z2");
  ASSERT_NE(last.find("#z2"), std::string::npos);
  EXPECT_NE(last, "names/a1.html#z2");  // 52 names take more than one page
  const std::string page = Page(last.substr(0, last.find('#')));
  EXPECT_NE(page.find("<section id=\"z2\">"), std::string::npos);
  EXPECT_EQ(page.find("<section id=\"a1\">"), std::string::npos);
}

}  // namespace
}  // namespace lexpaint
