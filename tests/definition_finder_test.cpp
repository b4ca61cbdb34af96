#include "definition_finder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "source_text.h"

namespace lexpaint {
namespace {

std::vector<std::string> Described(const std::vector<Definition>& definitions) {
  std::vector<std::string> described;
  for (const Definition& d : definitions) {
    described.push_back(std::string(KindName(d.kind)) + " " + d.name + " " +
                        std::to_string(d.line));
  }
  return described;
}

// Each definition as "kind name line", in the order found, read from a stream and in place alike.
std::vector<std::string> Find(const std::string& source) {
  std::istringstream input(source);
  const std::vector<std::string> found = Described(FindDefinitions(input));
  std::istringstream again(source);
  SourceText text;
  EXPECT_TRUE(text.Read(again, source.size()));
  EXPECT_EQ(Described(FindDefinitions(text.lines())), found) << "read in place";
  return found;
}

struct Case {
  const char* name;
  const char* source;
  std::vector<std::string> expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DefinitionTable : public testing::TestWithParam<Case> {};

TEST_P(DefinitionTable, FindsDefinitions) {
  EXPECT_EQ(Find(GetParam().source), GetParam().expected) << GetParam().source;
}

const Case kKindCases[] = {
    {"Macros", "#define A 1\n#  define B(x) x\n#define\n# undef A\n", {"macro A 1", "macro B 2"}},
    {"ClassStructUnion",
     "class A {};\nstruct B : A {};\nunion U { int i; };\nclass F final {};",
     {"class A 1", "struct B 2", "union U 3", "class F 4"}},
    {"EnumAndEnumerators",
     "enum E { A, B = 2,\n  C = (1 << 3), };\nenum class F : int { G };",
     {"enum E 1", "enumerator A 1", "enumerator B 1", "enumerator C 2", "enum F 3",
      "enumerator G 3"}},
    {"AnonymousEnum", "enum { X, Y };", {"enumerator X 1", "enumerator Y 1"}},
    {"Typedefs",
     "typedef unsigned long size_t;\ntypedef void (*handler)(int);\ntypedef int arr[4], *ptr;\n"
     "using word = unsigned;\ntemplate <class T> using vec = std::vector<T>;\n"
     "using old _GLIBCXX_DEPRECATED_SUGGEST(\"new\") = int;\n"
     "typedef std::map<int, int> M;",
     {"typedef size_t 1", "typedef handler 2", "typedef arr 3", "typedef ptr 3", "typedef word 4",
      "typedef vec 5", "typedef old 6", "typedef M 7"}},
    {"CTypedefs",
     "typedef struct ssl_ctx_st SSL_CTX;\ntypedef struct b_st B, *PB;\n"
     "typedef ASN1_BIT_STRING OSSL_CMP_PKIFAILUREINFO;\n"
     "typedef GLuint (APIENTRYP PFNGLGETCOMMANDHEADERNVPROC)(GLuint id);\n"
     "typedef void (CALLBACK *TIMERPROC)(HWND, UINT);\ntypedef jint (JNICALL *GetEnv_t)(void);\n"
     "typedef BOOL (WINAPI *PFN)(int);\ntypedef _Result result_type _GLIBCXX17_DEPRECATED;\n"
     "typedef CK_PARAMS CK_PTR CK_PARAMS_PTR;\ntypedef STACK_OF(X509_EXT) X509_EXTS;\n"
     "typedef EXPORT unsigned long word_t;\ntypedef int (Proc)(int), Bare(void);\n"
     "typedef voidpf (*alloc_func) OF((voidpf opaque, uInt size));\n"
     "typedef voidpf (ZCALLBACK *open_func) OF((const char* name));\n"
     "typedef struct ALIGN(16) state_ { int x; } state;",
     {"typedef SSL_CTX 1", "typedef B 2", "typedef PB 2", "typedef OSSL_CMP_PKIFAILUREINFO 3",
      "typedef PFNGLGETCOMMANDHEADERNVPROC 4", "typedef TIMERPROC 5", "typedef GetEnv_t 6",
      "typedef PFN 7", "typedef result_type 8", "typedef CK_PARAMS_PTR 9", "typedef X509_EXTS 10",
      "typedef word_t 11", "typedef Proc 12", "typedef Bare 12", "typedef alloc_func 13",
      "typedef open_func 14", "struct state_ 15", "typedef state 15"}},
    {"TypedefAnnotations",
     "typedef gnutls_session_t gnutls_session DEPRECATED_FOR(x);\n"
     "typedef void *(ALLOC_SIZE(1) XMLCALL *MallocFunc)(size_t);\n"
     "typedef STACK_OF(X509) *(*lookup_fn)(X509_CTX *ctx);\n"
     "typedef SSL_TICKET_RETURN (*decrypt_fn)(SSL *s);\ntypedef __u16 __bitwise __le16;\n"
     "typedef typename A<T>::template rebind<U>::other other;\ntypedef int (A::*pm)(int) const;\n"
     "typedef int PTRCALL PROLOG_HANDLER(PROLOG_STATE *state, int tok);\n"
     "typedef void ATTR HANDLER(void) DEPRECATED_FOR(other);",
     {"typedef gnutls_session 1", "typedef MallocFunc 2", "typedef lookup_fn 3",
      "typedef decrypt_fn 4", "typedef __le16 5", "typedef other 6", "typedef pm 7",
      "typedef PROLOG_HANDLER 8", "typedef HANDLER 9"}},
    {"TypedefStruct",
     "typedef struct node {\n  int v;\n} node_t, *node_p;",
     {"struct node 1", "typedef node_t 3", "typedef node_p 3"}},
    {"Namespaces",
     "namespace a {\nnamespace b::c {\nint f() { return 0; }\n}\n}\nnamespace {}",
     {"namespace a 1", "namespace c 2", "function f 3"}},
    {"NamespaceAfterWhatWasMisread",
     "@protocol Fixture\n-(void) setUp;\n@end\nnamespace A {\nclass B {};\n}\n"
     "using namespace A;\ninline namespace v2 { struct C {}; }",
     {"namespace A 4", "class B 5", "namespace v2 8", "struct C 8"}},
    {"Functions",
     "int f(int x) { return x; }\nstatic inline void g()\n{\n}\nauto h() -> int { }",
     {"function f 1", "function g 2", "function h 5"}},
    {"FunctionsReturningPointers",
     "static int (*hash(int keyClass))(const void*, int) { return 0; }\n"
     "static void (*dlSym(\n  void *p,\n  const char *z\n))(void) {\n}\n"
     "int (*A::table(void))[4] { return 0; }\nvoid (*handlers[2])(int) = {0, 0};\n"
     "int (*fp)(int) = 0;",
     {"function hash 1", "function dlSym 2", "function table 7"}},
};
INSTANTIATE_TEST_SUITE_P(Kinds, DefinitionTable, testing::ValuesIn(kKindCases),
                         [](const auto& info) { return info.param.name; });

const Case kFunctionCases[] = {
    {"Members",
     "class A {\n public:\n  A() : x_(1), y_{2} {}\n  ~A() {}\n  int get() const { return x_; }\n"
     "  bool operator==(const A&) const { return true; }\n  explicit operator bool() const { "
     "return true; }\n"
     "  friend void swap(A&, A&) noexcept {}\n  void decl();\n  int x_, y_;\n"
     "  auto operator()[[nodiscard]](int) const { return 0; }\n"
     "  int& operator[] [[gnu::pure]](int i) { return x_; }\n};",
     {"class A 1", "function A 3", "function ~A 4", "function get 5", "function operator== 6",
      "function operator bool 7", "function swap 8", "function operator() 11",
      "function operator[] 12"}},
    {"AfterLabelsThatMacrosMake",
     "class J {\n  JSON_PRIVATE_UNLESS_TESTED:\n  using lexer = L<J>;\n"
     "  union value {\n    value(int v) : i(v) {}\n  };\n public slots:\n  void f() {}\n"
     "  signals:\n  int g() { return 0; }\n  unsigned : 4;\n  A::B h() { return {}; }\n};",
     {"class J 1", "typedef lexer 3", "union value 4", "function value 5", "function f 8",
      "function g 10", "function h 12"}},
    {"OperatorsNamingFunctionTypes",
     "struct A {\n  template <class U>\n  operator Action<U(Args...)>() && { return {}; }\n"
     "  template <class T, class E = decltype(static_cast<bool (T::*)() const>(&T::operator()))>\n"
     "  explicit A(const T* obj) : A(obj, 0) {}\n};",
     {"struct A 1", "function operator Action<U(Args...)> 3", "function A 5"}},
    {"AccessLabelsAfterMacrosWithoutSemicolons",
     "class W : public QObject {\n  Q_OBJECT\npublic:\n  enum Mode { A };\n};\n"
     "class S {\n  REQUIRES(T, Concept)\n private:\n  typedef B<T> Base;\n  DECLARE(x)\n"
     "public slots:\n  void s() {}\n  struct N : public ::B, virtual public ns::C { };\n};",
     {"class W 1", "enum Mode 4", "enumerator A 4", "class S 6", "typedef Base 9", "function s 12",
      "struct N 13"}},
    {"OutOfClass",
     "A::A(int x)\n  : base(x), v{x, 2} {\n}\nvoid A::B::f() const {}\nA::~A() {}\n"
     "A& A::operator=(const A&) { return *this; }\nint A::operator()(int) { return 0; }",
     {"function A 1", "function f 4", "function ~A 5", "function operator= 6",
      "function operator() 7"}},
    {"Templates",
     "template <typename T, int N = (3 > 2)>\nT max(T a, T b) { return a; }\n"
     "template <class T, class = std::enable_if_t<(sizeof(T) > 1)>>\nvoid g(T) {}\n"
     "template <> struct hash<int> { size_t operator()(int) const { return 0; } };",
     {"function max 2", "function g 4", "struct hash 5", "function operator() 5"}},
    {"SplitOverLines",
     "static\nint\ncompute(\n  int a,\n  int b = f(1, 2))\n{\n  return a;\n}",
     {"function compute 3"}},
    {"NameInParentheses",
     "int (isalpha)(int c) { return c; }\nchar *(strcpy)(char *d, const char *s) { return d; }\n"
     "png_uint_32 (PNGAPI\npng_get_uint_32)(png_const_bytep buf) { return 0; }\n"
     "DEFINE_HANDLER(name)(int x) { }\n",
     {"function isalpha 1", "function strcpy 2", "function png_get_uint_32 4"}},
    {"ExternC",
     "extern \"C\" {\nint f(void) { return 0; }\n}\nextern \"C\" int g(void);",
     {"function f 2"}},
    {"AttributesAndMacros",
     "[[nodiscard]] int f() { return 0; }\n_GLIBCXX_NODISCARD inline bool g() _GLIBCXX_NOEXCEPT "
     "{}\n"
     "__attribute__((noreturn)) void h() {}\nDEPRECATED(\"x\") int k() { return 1; }",
     {"function f 1", "function g 2", "function h 3", "function k 4"}},
    {"VariadicReturnType",
     "template <class... A>\nstatic R<C<A...>> make(A&&... a) noexcept(noexcept(g(a...))) {}",
     {"function make 2"}},
    {"RequiresClauses",
     "template <class T>\n  requires (sizeof(T) > 1) && C<T>\nclass V {};\n"
     "template <class T> requires C<T> void f(T) {}\n",
     {"class V 3", "function f 4"}},
    {"FunctionReturningStruct",
     "struct S *make(void) { return 0; }\nstruct S make2() {}",
     {"function make 1", "function make2 2"}},
    {"OldStyleC",
     "int ZEXPORT deflate(strm, level)\n    z_streamp strm;\n    int level;\n{\n  return 0;\n}\n"
     "local void fixed(state)\nstruct inflate_state FAR *state;\n{\n}\n"
     "static char *\nname(argv0)\n    const char *argv0;\n{\n  return 0;\n}\n"
     "int sort(base, cmp) char *base; int (*cmp)(); { return 0; }\nstruct after {};",
     {"function deflate 1", "function fixed 7", "function name 12", "function sort 17",
      "struct after 18"}},
};
INSTANTIATE_TEST_SUITE_P(Functions, DefinitionTable, testing::ValuesIn(kFunctionCases),
                         [](const auto& info) { return info.param.name; });

// What looks like a definition but is none.
const Case kNearMissCases[] = {
    {"Prototypes", "int f(int);\nvoid g() noexcept;\nA::A(int);", {}},
    {"NamesInParenthesesWithoutOldStyleBody",
     "void f(T) const;\nint g(size_t) __THROW;\nint h(int x);\n{ }\n"
     "int k(a) int a; int b; int c;\n{ }\nint m(a, b);\n{ }",
     {}},
    {"ForwardDeclarations", "class A;\nstruct B;\nenum class C : int;\nfriend class D;", {}},
    {"ControlStatementsInBodies",
     "void f() {\n  if (x) { }\n  while (y) { }\n  switch (z) { case 1: { } }\n  for (;;) { }\n"
     "  try { } catch (...) { }\n  auto l = [](int a) { return a; };\n  g(1); h() {}\n}",
     {"function f 1"}},
    {"CallsAndReturns", "int x = f(1);\nauto y = g(2) + h(3);\nreturn x;", {}},
    {"MacroUsedAsFunctionName", "TEST(Suite, Name) {\n  EXPECT_TRUE(true);\n}\nBEGIN_NS {\n}", {}},
    {"MacroCallAfterMacrosWithoutSemicolons",
     "DIAG_POP\nTEST_F(Suite, Name) {\n}\nEND_TEST\nSTART_TEST(test_name) {\n}\n"
     "SUPPRESS_PUSH\nSUPPRESS(4189)\nTEST_CASE(\"x\" * skip()) {\n}\n"
     "STATIC UINT32 HASH(UINT32 x) { return x; }",
     {"function HASH 11"}},
    {"Lambdas", "auto f = [](int a) { return a; };\nauto g = [&]() mutable { };", {}},
    {"Variables", "int a[] = {1, 2};\nstd::vector<int> v{1, 2};\nstruct S s = {0};", {}},
    {"CommentsAndLiterals",
     "// int f() {}\n/* class A {}; */\nconst char* s = \"void g() {}\";\n"
     "auto r = R\"x(int h() {})x\";",
     {}},
};
INSTANTIATE_TEST_SUITE_P(NearMisses, DefinitionTable, testing::ValuesIn(kNearMissCases),
                         [](const auto& info) { return info.param.name; });

// A function's body holds no functions, but may hold types and type aliases.
const Case kBodyCases[] = {
    {"LocalTypes",
     "int f() {\n  typedef int T;\n  using U = long;\n  struct Local { int g() { return 1; } };\n"
     "  for (int i = 0; i < 2; ++i) { enum { A }; }\n  return 0;\n}",
     {"function f 1", "typedef T 2", "typedef U 3", "struct Local 4", "function g 4",
      "enumerator A 5"}},
    {"AfterCaseLabels",
     "void f(int n) {\n  switch (n) {\n  case 1: using sc = signed char; break;\n"
     "  case ns::kTwo:\n    using uc = unsigned char;\n    break;\n"
     "  default: typedef long L;\n  }\n  int x = n ? 1 : 2; using after = int;\n}",
     {"function f 1", "typedef sc 3", "typedef uc 5", "typedef L 7", "typedef after 9"}},
};
INSTANTIATE_TEST_SUITE_P(Bodies, DefinitionTable, testing::ValuesIn(kBodyCases),
                         [](const auto& info) { return info.param.name; });

const Case kPreprocessorCases[] = {
    {"EveryBalancedBranch",
     "#ifdef _WIN32\nvoid a() {}\n#elif defined(__APPLE__)\nvoid b() {}\n#else\nvoid c() "
     "{}\n#endif",
     {"function a 2", "function b 4", "function c 6"}},
    {"NoBranchAfterAnUnbalancedOne",
     "#ifdef _WIN32\nint f() {\n#else\nint f(long) {\n#endif\n  return 0;\n}\nint g() {}",
     {"function f 2", "function g 8"}},
    {"NoBranchAfterOneLeavingAParenthesisOpen",
     "string Env::Lookup(const string& var) {\n#if __cplusplus >= 201103L\n"
     "    return MakeList(inputs_.data(), count,\n#else\n    return MakeList(&inputs_[0], count,\n"
     "#endif\n                    ' ');\n}\n"
     "string Env::MakeList(const Node* const* span, size_t size) const { return \"\"; }",
     {"function Lookup 1", "function MakeList 9"}},
    {"NoBranchAfterOneEndingATemplatesParameters",
     "template <typename T,\n#if defined(_MSC_VER)\n    bool B = X<T>()>\n#else\n"
     "    bool B = Y<T>()>\n#endif\nstruct Storage {\n  T& get() { return v; }\n};\n"
     "#ifdef _UNICODE\nint wmain(int argc, wchar_t *argv[])\n#else\nint main(int argc, char "
     "*argv[])\n#endif\n{ return 0; }",
     {"struct Storage 7", "function get 8", "function main 13"}},
    {"MacroCallsWithoutSemicolonBeforeExternC",
     "TAGBYTES(s)\nTAGBYTES(o)\n#ifdef __cplusplus\nextern \"C\" {\n#endif\n"
     "int f(void) { return 0; }\n#ifdef __cplusplus\n}\n#endif\nint g(void) { return 1; }",
     {"function f 6", "function g 10"}},
    {"PickedUpAtADeclarationInTheFirstColumn",
     "int x = f(1,\nstatic int g(void) { return 0; }\nvoid a() {\n  if (x) {\n}\n"
     "struct S { int v; };\nint b() { return 0; }\nvoid c() {\n static int n;\n}\nint d() {}",
     {"function g 2", "function a 3", "struct S 6", "function b 7", "function c 8",
      "function d 11"}},
    {"NotIfZero",
     "#if 0\nvoid dead() {}\n#else\nvoid live() {}\n#endif\n#if 0\n#elif 1\nint x() {}\n#endif",
     {"function live 4", "function x 8"}},
    {"MacrosInEveryBranch",
     "#ifdef A\n#define X 1\n#else\n#define X 2\n#endif",
     {"macro X 2", "macro X 4"}},
    {"ContinuedDirective",
     "#define LONG(a) \\\n  do { } while (0)\nint after() {}",
     {"macro LONG 1", "function after 3"}},
};
INSTANTIATE_TEST_SUITE_P(Preprocessor, DefinitionTable, testing::ValuesIn(kPreprocessorCases),
                         [](const auto& info) { return info.param.name; });

// The lexer reads a line a block of 64 bytes at a time: words and comments that cross a block's
// end, and bytes that only its slow path knows, must read as anywhere else.
const Case kLexingCases[] = {
    {"WordsAcrossBlocks",
     "                                                          int crossing_the_block(int x) {}\n"
     "/*                                                           */struct AfterLongComment {};",
     {"function crossing_the_block 1", "struct AfterLongComment 2"}},
    {"DollarAndUtf8InNames",
     "int caf\xC3\xA9$x(int a) { return a; }\n#define $M 1",
     {"function caf\xC3\xA9$x 1", "macro $M 2"}},
    {"AfterCommentsClosingMidLine",
     "/* a */ int f() { return 0; } /*\n*/ struct S {};",
     {"function f 1", "struct S 2"}},
};
INSTANTIATE_TEST_SUITE_P(Lexing, DefinitionTable, testing::ValuesIn(kLexingCases),
                         [](const auto& info) { return info.param.name; });

// A class's bases are named by their last word outside template arguments, whatever stands
// before them.
TEST(DefinitionFinderTest, ReadsTheNamesOfBaseClasses) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"struct A {};", {}},
      {"struct A : B {};", {"B"}},
      {"class A : public virtual ns::B<T, C<D>>, private E {};", {"B", "E"}},
      {"class A final : protected F<(1 > 2)> {};", {"F"}},
      {"template <class T> struct A<T*> : Base<A<T*>> {};", {"Base"}},
      {"struct X::A : B {};", {"B"}},
      {"struct A : B { struct C : D {}; };", {"B"}},
  };
  for (const auto& [source, bases] : cases) {
    std::istringstream input(source);
    const std::vector<Definition> found = FindDefinitions(input);
    ASSERT_FALSE(found.empty()) << source;
    EXPECT_EQ(found.front().name, "A") << source;
    EXPECT_EQ(found.front().bases, bases) << source;
  }
}

// An alias stands for the type that a name alone, and the word that qualifies it, names; for no
// type where it is a pointer, a reference, a function or a built-in type.
TEST(DefinitionFinderTest, ReadsTheTypesThatAliasesStandFor) {
  std::istringstream input(
      "typedef std::basic_string<char> String;\nusing Table = SkipList<const char*, Cmp>;\n"
      "typedef struct node node_t, *node_p;\ntypedef unsigned Int;\nusing Fn = void (*)(int);\n"
      "typedef const ns::Box<T>& BoxRef;\nusing It = typename A<T>::template rebind<U>::other;\n"
      "typedef Box Row[4];\n");
  std::vector<std::string> aliases;
  for (const Definition& d : FindDefinitions(input)) aliases.push_back(d.name + "=" + d.aliased);
  EXPECT_EQ(aliases, (std::vector<std::string>{
                         "String=std::basic_string", "Table=SkipList", "node_t=node",
                         "node_p=", "Int=", "Fn=", "BoxRef=", "It=rebind::other", "Row="}));
}

}  // namespace
}  // namespace lexpaint
