#include "local_scopes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "definition_finder.h"

namespace lexpaint {
namespace {

// Each local name as "name first-last" ("name() first-last" for a member function), in the
// order declared, and each class stretch as "class name first-last", in the order they end.
std::vector<std::string> Scopes(const std::string& source) {
  std::istringstream input(source);
  NameScopes scopes;
  FindDefinitions(input, &scopes);
  std::vector<std::string> described;
  for (const LocalName& local : scopes.locals) {
    described.push_back(local.name + (local.function ? "() " : " ") + std::to_string(local.first) +
                        "-" + std::to_string(local.last));
  }
  for (const ClassLines& lines : scopes.classes) {
    described.push_back("class " + lines.className + " " + std::to_string(lines.first) + "-" +
                        std::to_string(lines.last));
  }
  return described;
}

struct Case {
  const char* name;
  const char* source;
  std::vector<std::string> expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class LocalScopesTable : public testing::TestWithParam<Case> {};

TEST_P(LocalScopesTable, ListsLocalNames) {
  EXPECT_EQ(Scopes(GetParam().source), GetParam().expected) << GetParam().source;
}

const Case kCases[] = {
    {"ParametersOfAFunction",
     "int f(int a, const std::string& b,\n      int (*cb)(int), int n[3]) {\n  return a;\n}\n",
     {"a 1-4", "b 1-4", "cb 2-4", "n 2-4"}},
    {"UnnamedParametersDeclareNothing",
     "void f(int, const T&, std::string, unsigned long, struct S, const T) {}\n",
     {}},
    {"PrototypeParametersEndWithIt",
     "void f(int Count,\n  char* Buffer);\nint Count;\n",
     {"Count 1-2", "Buffer 2-2"}},
    {"DefaultArgumentsAndPacks",
     "void f(T x = T(), Args&&... args, int k = g(1, 2)) {\n}\n",
     {"x 1-2", "args 1-2", "k 1-2"}},
    {"LocalVariables",
     "void f() {\n  int a = 1, *b = nullptr, c;\n  std::map<int, int> m;\n  T x{1};\n"
     "  auto it = m.find(a);\n  {\n    int inner;\n  }\n}\n",
     {"a 2-9", "b 2-9", "c 2-9", "m 3-9", "x 4-9", "it 5-9", "inner 7-8"}},
    {"StatementsThatDeclareNothing",
     "void f() {\n  x = 1;\n  a * b;\n  p->q = 2;\n  s.t = 3;\n  A::b = 4;\n  g(x);\n"
     "  return y;\n  delete p;\n  goto out;\nout:\n  ++i;\n}\n",
     {"b 3-13", "out 10-13", "out 11-13"}},  // "a * b" reads as a declaration of b; out is a label
    {"ControlHeads",
     "void f() {\n  for (int i = 0, j = 1; i < n; ++i) { use(i, j); }\n"
     "  for (auto& item : items)\n    use(item);\n  if (auto* p = get()) { p->run(); }\n"
     "  while (x & FLAG) { }\n  try { } catch (const E& e) { log(e); }\n}\n",
     {"i 2-2", "j 2-2", "item 3-4", "p 5-5", "e 7-7"}},
    {"LabelsMeanThemselvesInTheirBlock",
     "int f() {\nretry:\n  if (x) {\n    goto fail;\n  }\n  goto retry;\nfail:\n  return 1;\n}\n",
     {"retry 2-9", "fail 4-5", "retry 6-9", "fail 7-9"}},
    {"ControlHeadAfterAnAnnotationMacro",
     "void f() {\n  if _GLIBCXX17_CONSTEXPR (N > 0) {\n    int r = N;\n    use(r);\n  }\n}\n",
     {"r 3-5"}},
    {"LambdasAndBindings",
     "void f() {\n  auto add = [&](int x, int y) { return x + y; };\n"
     "  auto [k, v] = pair();\n  sort(v, [](const T& l, const T& r) {\n    return l < r;\n  });\n"
     "  [&] { int z; }();\n}\n",
     {"add 2-8", "x 2-2", "y 2-2", "k 3-8", "v 3-8", "l 4-6", "r 4-6", "z 7-7"}},
    {"TemplateParametersOfAClass",
     "template <typename T, int N = 3, class... Ts,\n          template <class> class TT>\n"
     "class V : public B<T> {\n  T data[N];\n  void f(T t) {}\n};\nT after;\n",
     {"T 1-6", "N 1-6", "Ts 1-6", "TT 2-6", "data 4-6", "f() 5-6", "t 5-5", "class V 3-6"}},
    {"TemplateParametersOfAFunction",
     "template <class T>\nT max(T a, T b) { return a < b ? b : a; }\ntemplate <class U> void "
     "g(U);\n",
     {"T 1-2", "a 2-2", "b 2-2", "U 3-3"}},
    {"ConstructorInitializers",
     "struct S {\n  S(int n, T v) : a_(n), b_{v}, c_(T{n}) {\n    int k = n;\n  }\n};\n",
     {"n 2-4", "v 2-4", "k 3-4", "class S 1-5"}},
    {"MemberFunctionOutsideItsClass",
     "namespace ns {\nvoid A::B::f(int x) {\n}\n}\nvoid C<T>::g() {}\n",
     {"x 2-3", "class B 2-3", "class C 5-5"}},
    {"MacroCallWithoutSemicolonBeforeAClass",
     "DECLARE(A, B)\nclass C : public D {\n  void f(int x) { int y; }\n};\n",
     {"f() 3-4", "x 3-3", "y 3-3", "class C 2-4"}},
    {"MemberFunctionsOfAClass",
     "struct S {\n  explicit S(int);\n  virtual int size() const = 0;\n  operator bool() const;\n"
     "  friend void swap(S&, S&);\n  template <class T> T as(T t) const;\n"
     "  template <class U> friend U* find(U u);\n"
     "  static S* get(int n) { return nullptr; }\n  int (*hook)(int);\n  MACRO(x);\n};\n",
     {"S() 2-11", "size() 3-11", "T 6-6", "as() 6-11", "t 6-6", "U 7-7", "u 7-7", "get() 8-11",
      "n 8-8", "hook 9-9", "class S 1-11"}},
    {"NamespaceWithAMacro",
     "namespace std _GLIBCXX_VISIBILITY(default) {\nvoid f(int a) { int b; }\n}\n",
     {"a 2-2", "b 2-2"}},
    {"FunctionWithCLinkage",
     "extern \"C\" int f(int a) {\n  const auto type = a;\n}\nextern \"C\" {\nvoid g(int b);\n}\n",
     {"a 1-3", "type 2-3", "b 5-5"}},
    {"StrayClosersAreOmitted", ") ] } void f(int a) { ) ] int b; }\n", {"a 1-1", "b 1-1"}},
    {"DataMembersOfEveryDeclarator",
     "struct S {\n  unsigned lo, hi;\n  struct seg cs, *ds;\n  enum color c;\n  struct Fwd;\n"
     "  struct Inner : Base, Other { int x; } in;\n  int a = f(1, 2), b[2];\n};\n",
     {"lo 2-8", "hi 2-8", "cs 3-8", "ds 3-8", "c 4-8", "x 6-6", "a 7-8", "b 7-8", "class Inner 6-6",
      "class S 1-8"}},
    {"ParametersOfAFunctionLikeMacroEndWithItsLines",
     "#define MAX(a, b) ((a) > (b) ? (a) : (b))\n#define LOG(fmt, args...) \\\n  log(fmt, "
     "args)\nint a;\n#define VA(...) g(__VA_ARGS__)\n",
     {"a 1-1", "b 1-1", "fmt 2-3", "args 2-3"}},
    {"ObjectLikeMacrosHaveNoParameters",
     "#define ONE (x)\n#define TWO(x)(x)\n#define\n",
     {"x 2-2"}},
    {"AliasesOfABlock",
     "void f() {\n  using T = int;\n  typedef std::vector<T> V;\n"
     "  using namespace std;\n  using std::swap;\n  { using U = T; }\n}\nusing W = int;\n",
     {"T 2-7", "V 3-7", "U 6-6"}},
    {"RequiresExpressionsLeaveTemplateParametersToTheirDeclaration",
     "template <class T> requires requires { typename T::x; }\nstruct S { T v; };\n"
     "template <class U>\nauto f(U u) requires requires (U a) { a + 1; } {\n  return u;\n}\n"
     "template <class V> requires (sizeof(V) > 1) void g(V v) {\n  int w = v;\n}\n",
     {"T 1-2", "v 2-2", "U 3-6", "u 4-6", "a 4-6", "V 7-9", "v 7-9", "w 8-9", "class S 2-2"}},
    {"LambdaWithoutParametersInACall",
     "int f() {\n  return g([&]() {\n    int a = 1;\n    return a;\n  }, [] { int b; });\n}\n",
     {"a 3-5", "b 5-5"}},
    {"TemplatesInAMacroBody",
     "#define OP(name) \\\n  template <class T> \\\n  T name(T a) { T b = a; return b; }\nT x;\n",
     {"name 1-3", "T 2-3", "a 3-3", "b 3-3"}},
    {"ArrayBoundsAreNoName", "struct S { L<M<> x[] {\n", {"x 1-1"}},
    {"ParametersOfAnOldStyleFunction",
     "static int\nsum(buf, len)\n  char *buf;\n  int len;\n{\n  int n = len;\n}\n"
     "int g(T);\nint after;\n{ int x; }\nTEST(Suite, Name) {\n  int y;\n}\n",
     {"buf 2-7", "len 2-7", "n 6-7", "y 12-13"}},
    {"TestBodiesAreStretchesOfTheirFixtures",
     "TEST_F(Suite, A) {\n}\nDIAG_POP\nSUPPRESS(4189)\nTEST_F(Suite, B) {\n}\nTEST(Suite, C) "
     "{\n}\n",
     {"class Suite 1-2", "class Suite 5-6"}},
    {"UnclosedScopesEndAtTheLastLine",
     "void f(int a) {\n  int b;\n  if (x) {\n",
     {"a 1-3", "b 2-3"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, LocalScopesTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

// A local's or parameter's type is named by one word, with '*' for a pointer to it.
TEST(LocalScopesTest, RecordsTheTypesOfLocalsAndParameters) {
  std::istringstream input(
      "void f(const ns::Box<int, T>& a, Box* b, int c, unsigned long d, struct Bag e) {\n"
      "  auto g = 1;\n  Box const h{};\n  std::vector<Box*> i;\n  Box** j;\n}\n"
      "struct S {\n  Table* t_;\n  SkipList<K, C>::Iterator it_;\n  static const int n_ = "
      "1;\n};\n");
  NameScopes scopes;
  FindDefinitions(input, &scopes);
  std::vector<std::string> types;
  for (const LocalName& local : scopes.locals) types.push_back(local.name + ":" + local.type);
  EXPECT_EQ(types, (std::vector<std::string>{"a:ns::Box", "b:Box*", "c:", "d:", "e:Bag",
                                             "g:", "h:Box", "i:std::vector", "j:Box*", "t_:Table*",
                                             "it_:SkipList::Iterator", "n_:"}));
}

}  // namespace
}  // namespace lexpaint
