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
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "line_anchors.h"
#include "sandbox.h"
#include "site_links.h"
#include "tree_site.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

std::string StylesheetOf(const std::string& page) {
  return Between(page, "<link rel=\"stylesheet\" href=\"", "\">");
}

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

}  // namespace
}  // namespace lexpaint
