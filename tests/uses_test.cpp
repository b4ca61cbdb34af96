// End-to-end tests of the uses of names in tree mode: the lists of uses are exactly the links the
// pages make, and every definition leads to them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "sandbox.h"
#include "site_links.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

// A place of a site: the page's path from the site's root, and a line.
using Place = std::pair<std::string, int>;
// By name, the places that use it.
using UsesByName = std::map<std::string, std::set<Place>>;

std::string Decoded(const std::string& href) {
  std::string text;
  for (std::size_t k = 0; k < href.size(); ++k) {
    if (href[k] == '%' && k + 2 < href.size()) {
      text += static_cast<char>(std::stoi(href.substr(k + 1, 2), nullptr, 16));
      k += 2;
    } else {
      text += href[k];
    }
  }
  return text;
}

std::string Unescaped(std::string text) {
  for (const auto& [entity, byte] : {std::pair<std::string, std::string>{"&lt;", "<"},
                                     {"&gt;", ">"},
                                     {"&quot;", "\""},
                                     {"&#39;", "'"},
                                     {"&amp;", "&"}}) {
    for (std::size_t at = text.find(entity); at != std::string::npos;
         at = text.find(entity, at + 1)) {
      text.replace(at, entity.size(), byte);
    }
  }
  return text;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool IsUnder(const std::string& path, const std::string& folder) {
  return path.compare(0, folder.size() + 1, folder + "/") == 0;
}

// The links to names that the source pages of the site at `root` make, by the name they link
// from: those into `usesFolder`, which definitions make, go to `definitions`, the rest to `uses`.
void LinksOfPages(const fs::path& root, const std::string& usesFolder, UsesByName* uses,
                  UsesByName* definitions) {
  static const std::regex kAnchor("^<a class=\"Line\" id=\"L([0-9]+)\"");
  static const std::regex kLink("<a href=\"([^\"]*)\"><span class=\"Identifier\">([^<]*)</span>");
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string path = fs::relative(entry.path(), root).generic_string();
    if (!entry.is_regular_file() || entry.path().extension() != ".html" ||
        entry.path().filename() == "index.html" || IsUnder(path, usesFolder) ||
        IsUnder(path, "names")) {
      continue;
    }
    std::istringstream lines(ReadFile(entry.path()));
    std::string line;
    while (std::getline(lines, line)) {
      std::smatch anchor;
      if (!std::regex_search(line, anchor, kAnchor)) continue;
      const int number = std::stoi(anchor.str(1));
      for (std::sregex_iterator link(line.begin(), line.end(), kLink), end; link != end; ++link) {
        const bool definition = (*link)[1].str().find(usesFolder + "/") != std::string::npos;
        (definition ? definitions : uses)->operator[]((*link)[2].str()).insert({path, number});
      }
    }
  }
}

// The uses that the pages in `usesFolder` of the site at `root` list, by name. Expects each file's
// count to be its number of uses.
UsesByName ListedUses(const fs::path& root, const std::string& usesFolder) {
  static const std::regex kSection("<section id=\"([^\"]*)\">");
  static const std::regex kFile(
      "<th colspan=\"2\" scope=\"rowgroup\"><a href=\"\\.\\./([^\"]*)\">"
      "[^<]*</a> \\(([0-9]+)\\)</th>");
  static const std::regex kUse("^<tr><td><a href=\"\\.\\./([^\"#]*)#L([0-9]+)\">([0-9]+)</a>");
  UsesByName listed;
  for (const fs::directory_entry& entry : fs::directory_iterator(root / usesFolder)) {
    std::istringstream lines(ReadFile(entry.path()));
    std::string line, name, file;
    int count = 0;
    while (std::getline(lines, line)) {
      std::smatch match;
      if (std::regex_search(line, match, kSection)) {
        name = Unescaped(match.str(1));
        listed[name];
      } else if (std::regex_search(line, match, kFile)) {
        EXPECT_EQ(count, 0) << "a file's uses fewer than its count, before " << line;
        file = Decoded(match.str(1));
        count = std::stoi(match.str(2));
      } else if (std::regex_search(line, match, kUse)) {
        EXPECT_EQ(Decoded(match.str(1)), file) << line;
        EXPECT_EQ(match.str(2), match.str(3)) << line;
        EXPECT_TRUE(listed[name].insert({file, std::stoi(match.str(2))}).second)
            << "listed twice: " << line;
        --count;
      }
    }
    EXPECT_EQ(count, 0) << entry.path();
  }
  return listed;
}

class UsesTest : public testing::Test {
 protected:
  // Writes the site of "src" into "site" with `options`; it must pass the link check, and its
  // lists of uses must be exactly the links its pages make.
  void Tree(std::vector<std::string> options) const {
    options.insert(options.begin(), "--tree");
    options.insert(options.end(), {"src", "site"});
    const RunResult result = box_.Lexpaint(options);
    EXPECT_EQ(result.output, "");
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(CheckSiteLinks(box_.path() / "site"), "");
  }

  UsesByName CheckedUses() const {
    UsesByName links, definitions;
    LinksOfPages(box_.path() / "site", "uses", &links, &definitions);
    UsesByName listed = ListedUses(box_.path() / "site", "uses");
    for (const auto& [name, places] : listed) {
      EXPECT_EQ(places, links[name]) << name;
      EXPECT_FALSE(definitions[name].empty()) << "no definition leads to the uses of " << name;
    }
    for (const auto& [name, places] : links) {
      EXPECT_TRUE(listed.count(name)) << "the uses of " << name << " are not listed";
    }
    return listed;
  }

  std::string Page(const std::string& name) const { return box_.Read("site/" + name); }

  Sandbox box_;
};

const char kLibrary[] =
    "#pragma once\n"
    "int twice(int x) { return 2 * x; }\n"
    "struct Point { int x, y; };\n"
    "double area(double r) { return r * r; }\n"
    "double area(const Point& p) { return p.x * p.y; }\n";

// A function used in three files, a type in a declaration and a cast, a name defined twice, a
// local variable named like a function, and a file whose name HTML and URLs give a meaning to.
TEST_F(UsesTest, ListedUsesAreTheLinksOfThePages) {
  box_.Write("src/lib/shapes.h", kLibrary);
  box_.Write("src/a.cpp",
             "#include \"lib/shapes.h\"\n"
             "int a() { return twice(1); }\n"
             "// twice, in a comment\n"
             "const char* s = \"twice\";\n");
  box_.Write("src/b.cpp", "#include \"lib/shapes.h\"\nint b() { return twice(2) + twice(3); }\n");
  // A local variable that shares the function's name is no use of it.
  box_.Write("src/c.cpp",
             "#include \"lib/shapes.h\"\n\nint c() { return twice(4); }\n"
             "int local() {\n  int twice = 5;\n  return twice;\n}\n");
  box_.Write("src/d.cpp",
             "#include \"lib/shapes.h\"\n"
             "Point p;\n"
             "void* q = &p;\n"
             "Point* r = (Point*)q;\n"
             "double d = area(1.0);\n");
  box_.Write("src/e<f&g%h.cpp", "#include \"lib/shapes.h\"\ndouble e = area(p);\n");
  Tree({});
  const UsesByName listed = CheckedUses();

  EXPECT_EQ(listed.at("twice"),
            (std::set<Place>{{"a.cpp.html", 2}, {"b.cpp.html", 2}, {"c.cpp.html", 3}}));
  EXPECT_EQ(listed.at("Point"),
            (std::set<Place>{{"d.cpp.html", 2}, {"d.cpp.html", 4}, {"lib/shapes.h.html", 5}}));
  EXPECT_EQ(listed.at("area"), (std::set<Place>{{"d.cpp.html", 5}, {"e<f&g%h.cpp.html", 2}}));

  // A definition links to its name's uses; a name defined twice has one list of uses.
  const std::string header = Page("lib/shapes.h.html");
  EXPECT_NE(header.find("<a href=\"../uses/Point.html#twice\"><span class=\"Identifier\">twice"),
            std::string::npos);
  const std::string uses = Page("uses/Point.html");
  EXPECT_EQ(uses.find("<section id=\"area\">"), uses.rfind("<section id=\"area\">"));
  // The section of a name: its definitions, then its uses by file in path order, with counts.
  const std::string twice = uses.substr(uses.find("<section id=\"twice\">"));
  EXPECT_EQ(twice.substr(0, twice.find("</section>")),
            "<section id=\"twice\">\n<h2>twice</h2>\n"
            "<p>Defined at <a href=\"../lib/shapes.h.html#L2\">lib/shapes.h:2</a> (function).</p>\n"
            "<p>3 uses in 3 files.</p>\n<table class=\"Index Uses\">\n"
            "<tbody>\n<tr><th colspan=\"2\" scope=\"rowgroup\"><a href=\"../a.cpp.html\">a.cpp</a> "
            "(1)</th></tr>\n"
            "<tr><td><a href=\"../a.cpp.html#L2\">2</a></td><td>int a() { return twice(1); }</td>"
            "</tr>\n</tbody>\n"
            "<tbody>\n<tr><th colspan=\"2\" scope=\"rowgroup\"><a href=\"../b.cpp.html\">b.cpp</a> "
            "(1)</th></tr>\n"
            "<tr><td><a href=\"../b.cpp.html#L2\">2</a></td><td>int b() { return twice(2) + "
            "twice(3); }</td></tr>\n</tbody>\n"
            "<tbody>\n<tr><th colspan=\"2\" scope=\"rowgroup\"><a href=\"../c.cpp.html\">c.cpp</a> "
            "(1)</th></tr>\n"
            "<tr><td><a href=\"../c.cpp.html#L3\">3</a></td><td>int c() { return twice(4); }</td>"
            "</tr>\n</tbody>\n</table>\n");
  // File names are escaped where shown and encoded in links.
  EXPECT_NE(uses.find("<a href=\"../e%3Cf%26g%25h.cpp.html\">e&lt;f&amp;g%h.cpp</a> (1)"),
            std::string::npos);
  EXPECT_NE(uses.find("<a href=\"../e%3Cf%26g%25h.cpp.html#L2\">2</a></td><td>double e = "
                      "area(p);</td>"),
            std::string::npos);
  // The list of a name's definitions counts its uses.
  EXPECT_NE(Page("names/area.html")
                .find("<h2>area</h2>\n<p class=\"Uses\"><a href=\"../uses/Point.html#area\">2 "
                      "uses</a></p>\n"),
            std::string::npos);
}

// Without uses, or without definitions, no uses are listed and definitions link nowhere.
TEST_F(UsesTest, LeftOutOnRequest) {
  box_.Write("src/lib/shapes.h", kLibrary);
  box_.Write("src/d.cpp", "#include \"lib/shapes.h\"\ndouble d = area(1.0) + twice(2);\n");
  for (const char* option : {"--no-uses", "--no-definitions"}) {
    fs::remove_all(box_.path() / "site");
    Tree({option});
    EXPECT_FALSE(box_.Exists("site/uses")) << option;
    UsesByName links, definitions;
    LinksOfPages(box_.path() / "site", "uses", &links, &definitions);
    EXPECT_TRUE(definitions.empty()) << option;
    const bool definitionsKept = option == std::string("--no-uses");
    EXPECT_EQ(links.size(), definitionsKept ? 3u : 0u) << option;  // area, twice and Point
    if (definitionsKept) {
      EXPECT_EQ(Page("names/area.html").find("class=\"Uses\""), std::string::npos);
    }
  }
}

// A name that no page uses still has its section, which its definition links to.
TEST_F(UsesTest, UnusedNameHasAnEmptyList) {
  box_.Write("src/a.h", "int alone() { return 1; }\n");
  Tree({});
  EXPECT_TRUE(CheckedUses().at("alone").empty());
  EXPECT_NE(Page("uses/alone.html")
                .find("<h2>alone</h2>\n<p>Defined at <a "
                      "href=\"../a.h.html#L1\">a.h:1</a> (function).</p>\n"
                      "<p>No uses.</p>\n</section>"),
            std::string::npos);
}

// The text of a long line is cut; a use that the cut would hide is shown from a little before it.
TEST_F(UsesTest, UseOnALongLineShowsTheUse) {
  box_.Write("src/lib/shapes.h", kLibrary);
  const std::string padding = " + " + std::string(150, '1');
  box_.Write("src/long.cpp", "#include \"lib/shapes.h\"\ndouble v = area(1.0)" + padding +
                                 " + twice(2) + area(2.0) + twice(3);\n");
  Tree({});
  CheckedUses();
  const auto rowOf = [this](const std::string& page, const std::string& name) {
    const std::string uses = Page(page);
    const std::string section = uses.substr(uses.find("<section id=\"" + name + "\">"));
    const std::string row = "<tr><td><a href=\"../long.cpp.html#L2\">2</a></td><td>";
    const std::size_t at = section.find(row);
    return at == std::string::npos
               ? std::string()
               : section.substr(at + row.size(),
                                section.find("</td>", at + row.size()) - (at + row.size()));
  };
  EXPECT_EQ(rowOf("uses/Point.html", "area").substr(0, 30), "double v = area(1.0) + 1111111");
  // 40 bytes before the use, moved on to the start of a word.
  EXPECT_EQ(rowOf("uses/Point.html", "twice"), "\xE2\x80\xA6+ twice(2) + area(2.0) + twice(3);");
}

}  // namespace
}  // namespace lexpaint
