// End-to-end tests of the links that tree mode makes from #include lines to the files they name.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sandbox.h"
#include "tree_site.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

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
