// End-to-end tests of the links that tree mode makes from names to their definitions.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "line_anchors.h"
#include "tree_site.h"

namespace lexpaint {
namespace {

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
  box_.Write("src/use.cpp", "struct User {\n  Widget w;\n};\n");
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
  EXPECT_EQ(NameLink(use, 8, "size"), "other.h.html#L4");  // in a free function, no member
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
// directly or not; a page that sees none links to the list of them all. Of a class and its
// constructors in sight, the class is meant.
TEST_F(TreeTest, NamesLinkToDefinitionsIncludesReach) {
  box_.Write("src/a.h",
             "typedef int Ctx;\nint f(int x) { return x; }\nint f(long x) { return 0; }\n"
             "struct Box {\n  Box() {}\n  Box(int n) {}\n};\n");
  box_.Write("src/other.h",
             "typedef long Ctx;\nint f(char c) { return c; }\nnamespace ns { using Box = int; }\n");
  box_.Write("src/c.h", "#include \"a.h\"\n");
  box_.Write("src/b.c",
             "#include \"a.h\"\nCtx direct;\nint g(void) { return f(1); }\nBox box = Box(2);\n");
  box_.Write("src/d.c", "#include \"c.h\"\nCtx through;\n");
  box_.Write("src/e.c", "Ctx unseen;\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site"), "");
  EXPECT_EQ(NameLink(BodyOf(Page("b.c.html")), 2, "Ctx"), "a.h.html#L1");
  EXPECT_EQ(NameLink(BodyOf(Page("d.c.html")), 2, "Ctx"), "a.h.html#L1");
  EXPECT_EQ(NameLink(BodyOf(Page("e.c.html")), 1, "Ctx"), "names/Box.html#Ctx");
  EXPECT_EQ(NameLink(BodyOf(Page("b.c.html")), 4, "Box"), "a.h.html#L4");
  // Two of f's three definitions are in sight: a section lists just those, headed by their file.
  EXPECT_EQ(NameLink(BodyOf(Page("b.c.html")), 3, "f"), "names/Box.html#f%40a.h");
  EXPECT_NE(Page("names/Box.html").find("<section id=\"f@a.h\">\n<h2>f, in a.h</h2>"),
            std::string::npos);
}

// A type made in a function's body is seen on its page alone; a macro is in no scope, wherever it
// is defined.
TEST_F(TreeTest, TypesOfAFunctionBodyStayInIt) {
  box_.Write("src/a.cpp",
             "#include \"h.h\"\nint f(void) {\n  struct S { int a; };\n  S s;\n"
             "  typedef int T;\n  T t;\n#define BODY_MACRO 1\n  return s.a + t;\n}\n"
             "S g; T h; int m = BODY_MACRO;\n");
  box_.Write("src/h.h", "struct C {\n#define CLASS_MACRO 2\n  int n;\n};\n");
  box_.Write("src/b.cpp", "#include \"h.h\"\nS i; T j;\nint k = q::T(1) + CLASS_MACRO;\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string a = BodyOf(Page("a.cpp.html"));
  EXPECT_EQ(NameLink(a, 4, "S"), "a.cpp.html#L3");
  EXPECT_EQ(NameLink(a, 6, "T"), "a.cpp.html#L5");
  EXPECT_EQ(NameLink(a, 10, "BODY_MACRO"), "a.cpp.html#L7");
  const std::string b = BodyOf(Page("b.cpp.html"));
  EXPECT_EQ(NameLink(b, 2, "S"), "");
  EXPECT_EQ(NameLink(b, 2, "T"), "");
  EXPECT_EQ(NameLink(b, 3, "T"), "");
  EXPECT_EQ(NameLink(b, 3, "CLASS_MACRO"), "h.h.html#L2");
}

// A name that a #define of its page defines before it means the last such macro, as the
// preprocessor replaces it: the one in effect, not a list of every macro of that name.
TEST_F(TreeTest, AMacroOfThePageBeforeANameIsTheOneMeant) {
  box_.Write("src/ops.h",
             "#define HANDLE(x) int x;\nHANDLE(a)\n#undef HANDLE\n"
             "#define HANDLE(x) long x;\nHANDLE(b)\n#undef HANDLE\n");
  box_.Write("src/other.h", "#define HANDLE(x)\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string ops = BodyOf(Page("ops.h.html"));
  EXPECT_EQ(NameLink(ops, 2, "HANDLE"), "ops.h.html#L1");
  EXPECT_EQ(NameLink(ops, 3, "HANDLE"), "ops.h.html#L1");
  EXPECT_EQ(NameLink(ops, 5, "HANDLE"), "ops.h.html#L4");
  EXPECT_EQ(NameLink(ops, 6, "HANDLE"), "ops.h.html#L4");
}

// A macro defined in a source file that no file includes is seen in that file and the files it
// includes alone; one of a header, or of a source file that some file includes, is seen anywhere.
TEST_F(TreeTest, MacrosOfASourceFileStayInIt) {
  box_.Write("src/a.c",
             "#define LOCAL 1\n#define TWICE 2\n#include \"seen.h\"\n"
             "int a(void) { return LOCAL + TWICE; }\n");
  box_.Write("src/seen.h", "#include \"deeper.h\"\n");
  box_.Write("src/deeper.h", "#if LOCAL\n#endif\n");
  box_.Write("src/h.h", "#define HDR 3\n#define TWICE 4\n");
  box_.Write("src/inc.c", "#define SHARED 5\n");
  box_.Write("src/b.c",
             "#include \"inc.c\"\nint b(void) { return LOCAL + HDR + SHARED + TWICE; }\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string a = BodyOf(Page("a.c.html"));
  EXPECT_EQ(NameLink(a, 4, "LOCAL"), "a.c.html#L1");
  EXPECT_EQ(NameLink(a, 4, "TWICE"), "a.c.html#L2");  // its own, among those it sees
  EXPECT_EQ(NameLink(BodyOf(Page("deeper.h.html")), 1, "LOCAL"), "a.c.html#L1");
  const std::string b = BodyOf(Page("b.c.html"));
  EXPECT_EQ(NameLink(b, 2, "LOCAL"), "");
  EXPECT_EQ(NameLink(b, 2, "HDR"), "h.h.html#L1");  // not included, but a header
  EXPECT_EQ(NameLink(b, 2, "SHARED"), "inc.c.html#L1");
  EXPECT_EQ(NameLink(b, 2, "TWICE"), "h.h.html#L2");
}

// What no other translation unit can name, of a source file that no file includes, is seen there
// alone: a static function, what an anonymous namespace makes, an enumerator. A function that is
// static only in some #if branch, or a member of a class in an anonymous namespace, which a
// virtual call may reach, is seen anywhere.
TEST_F(TreeTest, InternalDefinitionsOfASourceFileStayInIt) {
  box_.Write("src/base.h", "struct Base { virtual int run() = 0; };\n");
  box_.Write("src/a.cpp",
             "#include \"base.h\"\nstatic int helper() { return 1; }\n"
             "namespace {\nint hidden() { return helper(); }\n"
             "struct Impl : Base { int run() override { return 2; } };\n}\n"
             "enum Color { kRed };\n#ifndef UNIT\nstatic\n#endif\nint unit() { return 3; }\n");
  box_.Write("src/b.cpp",
             "template <class T> int b(T* p) {\n"
             "  return p->run();\n}\nint c() { return helper() + hidden() + kRed + unit(); }\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(NameLink(BodyOf(Page("a.cpp.html")), 4, "helper"), "a.cpp.html#L2");
  const std::string b = BodyOf(Page("b.cpp.html"));
  for (const char* name : {"helper", "hidden", "kRed"}) {
    EXPECT_EQ(NameLink(b, 4, name), "") << name;
  }
  EXPECT_EQ(NameLink(b, 4, "unit"), "a.cpp.html#L11");
  EXPECT_EQ(NameLink(b, 2, "run"), "a.cpp.html#L5");
}

// A type of a source file that no file includes, and its members, are meant elsewhere only where
// nothing else of the name is: a header's class wins over a test's helper of its name, and an
// opaque type still leads to the file that defines it.
TEST_F(TreeTest, TypesOfASourceFileAreMeantElsewhereOnlyAsALastResort) {
  box_.Write("src/comparator.h", "class Comparator {\n public:\n  int Compare() const;\n};\n");
  box_.Write("src/skiplist_test.cc",
             "struct Comparator {\n  int Compare() const { return 1; }\n};\nComparator cmp;\n");
  box_.Write("src/db.h",
             "class Comparator;\nint Use(const Comparator& c) { return c.Compare(); }\n");
  box_.Write("src/handle.h", "struct Handle;\nstruct Handle* Open();\n");
  box_.Write("src/handle.c", "struct Handle {\n  int fd;\n};\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string db = BodyOf(Page("db.h.html"));
  EXPECT_EQ(NameLink(db, 1, "Comparator"), "comparator.h.html#L1");
  EXPECT_EQ(NameLink(db, 2, "Comparator"), "comparator.h.html#L1");
  EXPECT_EQ(NameLink(BodyOf(Page("skiplist_test.cc.html")), 4, "Comparator"),
            "skiplist_test.cc.html#L1");
  EXPECT_EQ(NameLink(BodyOf(Page("handle.h.html")), 2, "Handle"), "handle.c.html#L1");
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
