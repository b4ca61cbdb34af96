// End-to-end tests of the links that tree mode makes from members, after "." and "->" and in
// their classes' bodies, to the classes' definitions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tree_site.h"

namespace lexpaint {
namespace {

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

// Where several classes share the name of an object's type, the object's member is one of theirs.
TEST_F(TreeTest, MembersOfAnObjectOfATypeThatSeveralClassesNameAreTheirs) {
  box_.Write("src/lib.h",
             "namespace a { struct Box { int size() const { return 0; } }; }\n"
             "namespace b { struct Box { int size() const { return 1; } }; }\n"
             "struct Bag { int size() const { return 2; } };\n");
  box_.Write("src/use.cpp", "#include \"lib.h\"\nint f(const a::Box& x) { return x.size(); }\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(NameLink(BodyOf(Page("use.cpp.html")), 2, "size"), "names/Box.html#Box.size");
  EXPECT_NE(Page("names/Box.html").find("<section id=\"Box.size\">"), std::string::npos);
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

// Outside every class, a name alone means neither a member function nor a type made in a class,
// where the tree has the name outside classes too; in a class derived from that class, it does.
TEST_F(TreeTest, NamesOutsideClassesMeanNoMembers) {
  box_.Write("src/skip.h",
             "class SkipList {\n public:\n  class Iterator {};\n  int size() const { return 0; }\n"
             "};\n");
  box_.Write("src/iter.h", "class Iterator {};\ninline int size(const Iterator&) { return 1; }\n");
  box_.Write("src/more.h", "inline int size(int) { return 2; }\n");
  box_.Write("src/use.cpp",
             "Iterator* Make();\n"
             "int n = size(Iterator());\n"
             "struct User : SkipList {\n"
             "  Iterator it;\n"
             "  int Count() const { return size(); }\n"
             "};\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site"), "");

  const std::string use = BodyOf(Page("use.cpp.html"));
  EXPECT_EQ(NameLink(use, 1, "Iterator"), "iter.h.html#L1");
  EXPECT_EQ(NameLink(use, 4, "Iterator"), "skip.h.html#L3");
  EXPECT_EQ(NameLink(use, 5, "size"), "skip.h.html#L4");
  const std::string href = NameLink(use, 2, "size");
  ASSERT_EQ(href.substr(href.find('#')), "#size-outside-classes");
  const std::string list = Page(href.substr(0, href.find('#')));
  const std::string section = Between(list, "<section id=\"size-outside-classes\">", "</section>");
  EXPECT_NE(section.find("<h2>size, outside classes</h2>"), std::string::npos) << section;
  EXPECT_EQ(TitleOf(list), "size \u2014 definitions");  // named after the name, not its section
  EXPECT_NE(section.find("iter.h.html#L2"), std::string::npos) << section;
  EXPECT_NE(section.find("more.h.html#L1"), std::string::npos) << section;
  EXPECT_EQ(section.find("skip.h"), std::string::npos) << section;
}

// A member function defined outside its class is seen where its class is: from a source file that
// defines a member of the name too, a call on an object of unknown type may mean either.
TEST_F(TreeTest, MemberFunctionsAreSeenWhereTheirClassIs) {
  box_.Write("src/a.h", "struct A {\n  void Add();\n};\n");
  box_.Write("src/b.h", "struct B {\n  void Add();\n};\n");
  box_.Write("src/b.cpp", "#include \"b.h\"\nvoid B::Add() {}\n");
  box_.Write("src/c.h", "struct C {\n  void Add() {}\n};\n");
  box_.Write("src/a.cpp",
             "#include \"a.h\"\n#include \"b.h\"\nvoid A::Add() {\n  Other().Add();\n}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site"), "");
  const std::string href = NameLink(BodyOf(Page("a.cpp.html")), 4, "Add");
  ASSERT_NE(href.find('#'), std::string::npos) << href;
  EXPECT_NE(Page(href.substr(0, href.find('#'))).find("<section id=\"Add@a.cpp,b.cpp\">"),
            std::string::npos)
      << href;
}

// No file but its own can call a member function of a source file's class that has no bases:
// alone, it is no guess worth a link. A class with bases may be reached through them, and its
// member stays the last resort.
TEST_F(TreeTest, MembersOfASourceFilesOwnClassesAreNoGuessElsewhere) {
  box_.Write("src/layout_test.cc",
             "struct Str {\n  const char* c_str() const { return 0; }\n};\n"
             "const char* Own(const Str& s) { return s.c_str(); }\n");
  box_.Write("src/cache.h", "struct Cache {\n  virtual void Release() = 0;\n};\n");
  box_.Write("src/cache.cc",
             "#include \"cache.h\"\nstruct Sharded : Cache {\n  void Release() {}\n};\n");
  box_.Write("src/use.cc", "void Use() {\n  Name().c_str();\n  Get()->Release();\n}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(NameLink(BodyOf(Page("layout_test.cc.html")), 4, "c_str"), "layout_test.cc.html#L2");
  const std::string use = BodyOf(Page("use.cc.html"));
  EXPECT_EQ(NameLink(use, 2, "c_str"), "");
  EXPECT_EQ(NameLink(use, 3, "Release"), "cache.cc.html#L3");
}

// In a member function defined away from its class, a data member's declaration in the class's
// body, or in a base's, tells the type of an object; a class's virtual function that it leaves to
// the classes made from it leads to their overrides; and a class made in another's body is meant by
// its own name only after a qualifier that is no namespace.
TEST_F(TreeTest, DataMembersAndBasesTellWhatAMemberCallReaches) {
  box_.Write("src/mem.h",
             "struct MemTable {\n  int Get() { return 0; }\n};\n"
             "struct Other {\n  int Get() { return 1; }\n};\n");
  box_.Write("src/iter.h", "class Iterator {\n public:\n  virtual int Next() = 0;\n};\n");
  box_.Write("src/skip.h",
             "template <class K> class SkipList {\n public:\n  class Iterator {\n   public:\n"
             "    int Next() { return 0; }\n  };\n};\n");
  box_.Write("src/db_iter.cc",
             "#include \"iter.h\"\nclass DBIter : public Iterator {\n public:\n"
             "  int Next() override { return 1; }\n};\n");
  box_.Write("src/merger.cc",
             "#include \"iter.h\"\nclass Merger : public Iterator {\n public:\n"
             "  int Next() override { return 2; }\n};\n");
  box_.Write("src/db.h",
             "#include \"mem.h\"\n#include \"iter.h\"\nclass DB {\n public:\n  int Get();\n"
             " private:\n  MemTable* mem_;\n  Other other_;\n  Iterator* iter_;\n};\n");
  box_.Write("src/db.cc",
             "#include \"db.h\"\n#include \"skip.h\"\nint DB::Get() {\n  return mem_->Get() +\n"
             "         other_.Get() +\n         iter_->Next();\n}\n"
             "int Walk(SkipList<int>::Iterator it) { return it.Next(); }\n");
  box_.Write("src/cached.cc",
             "#include \"db.h\"\nclass Cached : public DB {\n public:\n  int Peek();\n};\n"
             "int Cached::Peek() {\n  return mem_->Get();\n}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site"), "");
  EXPECT_EQ(NameLink(BodyOf(Page("cached.cc.html")), 7, "Get"), "mem.h.html#L2");  // a base's
  const std::string db = BodyOf(Page("db.cc.html"));
  EXPECT_EQ(NameLink(db, 4, "Get"), "mem.h.html#L2");
  EXPECT_EQ(NameLink(db, 5, "Get"), "mem.h.html#L5");
  const std::string overrides = NameLink(db, 6, "Next");
  ASSERT_EQ(overrides.substr(overrides.find('#')), "#Iterator.Next-overrides");
  const std::string list = Page(overrides.substr(0, overrides.find('#')));
  const std::string section =
      Between(list, "<section id=\"Iterator.Next-overrides\">", "</section>");
  EXPECT_NE(section.find("<h2>Iterator.Next, overrides</h2>"), std::string::npos) << section;
  EXPECT_NE(section.find("db_iter.cc.html#L4"), std::string::npos) << section;
  EXPECT_NE(section.find("merger.cc.html#L4"), std::string::npos) << section;
  EXPECT_EQ(section.find("skip.h"), std::string::npos) << section;
  EXPECT_EQ(NameLink(db, 8, "Next"), "skip.h.html#L5");
}

// The body of GoogleTest's TEST_F(Fixture, Name) is a member function of a class made from the
// fixture: its names mean the fixture's members first, and its data members tell their types.
// "x.template f<T>()" reaches a member as "x.f" does.
TEST_F(TreeTest, TestBodiesAreMembersOfTheirFixtures) {
  box_.Write(
      "src/mem.h",
      "struct MemTable {\n  int Get() { return 0; }\n  template <class T> T As() { return T(); }\n"
      "};\nint Put(int key) { return key; }\ntemplate <class T> T As(int) { return T(); }\n");
  box_.Write("src/db_test.cc",
             "#include \"mem.h\"\nclass DBTest {\n protected:\n  int Put(int key) { return key; }\n"
             "  MemTable* mem_;\n};\nTEST_F(DBTest, Writes) {\n  Put(1);\n  mem_->Get();\n"
             "  mem_->template As<int>();\n}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string test = BodyOf(Page("db_test.cc.html"));
  EXPECT_EQ(NameLink(test, 8, "Put"), "db_test.cc.html#L4");
  EXPECT_EQ(NameLink(test, 9, "Get"), "mem.h.html#L2");
  EXPECT_EQ(NameLink(test, 10, "As"), "mem.h.html#L3");
}

// An object whose type is an alias means the members of the class the alias stands for, and none
// of the tree's where it stands for a type of a namespace that the tree does not define.
TEST_F(TreeTest, AliasesOfObjectsTypesLeadToTheirClasses) {
  box_.Write(
      "src/str.h",
      "using String = std::basic_string<char>;\nstruct Value {\n  void resize(int n) {}\n};\n"
      "typedef Value Val;\nusing Row = Val;\n");
  box_.Write("src/use.cc",
             "#include \"str.h\"\nvoid f() {\n  String s;\n  s.resize(1);\n  Row r;\n"
             "  r.resize(2);\n}\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  const std::string use = BodyOf(Page("use.cc.html"));
  EXPECT_EQ(NameLink(use, 4, "resize"), "");
  EXPECT_EQ(NameLink(use, 6, "resize"), "str.h.html#L3");
}

// In a class's body, its own name means the class, as in a copy constructor's parameter, not the
// constructors that share its name, nor an enumerator of that name that the file sees.
TEST_F(TreeTest, ClassNameInItsOwnBodyLinksToTheClass) {
  box_.Write("src/kinds.h", "enum Kind { Vec, Map };\n");
  box_.Write("src/vec.h",
             "#include \"kinds.h\"\n"
             "struct Vec {\n"
             "  Vec(int n) {}\n"
             "  void assign(const Vec& other) {}\n"
             "};\n");
  // Of two classes of that name on a page, each body means its own; in a template's body, its
  // name with template arguments may be another specialization.
  box_.Write("src/two.h",
             "namespace a { struct Vec {\n  void assign(const Vec& other) {}\n}; }\n"
             "namespace b { struct Vec {\n  void assign(const Vec& other) {}\n}; }\n"
             "template <class T> struct Info {};\n"
             "template <> struct Info<int> {\n  Info<long>* next;\n  Info* self;\n};\n");
  ASSERT_EQ(Tree({"src", "site"}).status, 0);
  EXPECT_EQ(NameLink(BodyOf(Page("vec.h.html")), 4, "Vec"), "vec.h.html#L2");
  const std::string two = BodyOf(Page("two.h.html"));
  EXPECT_EQ(NameLink(two, 2, "Vec"), "two.h.html#L1");
  EXPECT_EQ(NameLink(two, 5, "Vec"), "two.h.html#L4");
  EXPECT_EQ(NameLink(two, 10, "Info"), "two.h.html#L8");
  EXPECT_NE(NameLink(two, 9, "Info"), "two.h.html#L8");
}

}  // namespace
}  // namespace lexpaint
