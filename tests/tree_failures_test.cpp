// End-to-end tests of how tree mode fails: before it starts, it writes nothing; a file it cannot
// read or write is reported and the run goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sandbox.h"
#include "tree_site.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

const char kTreeUsage[] =
    "Usage: lexpaint --tree [-j N] [-I DIR]... [--keywords FILE] [--css FILE] [--title TEXT] "
    "[--no-definitions] [--no-uses] SOURCEDIR TARGETDIR\n";
const char kUsage[] = "Usage: lexpaint sourcefile [targetfile]\n";

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

}  // namespace
}  // namespace lexpaint
