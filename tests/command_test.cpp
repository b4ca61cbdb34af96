// End-to-end tests: the built lexpaint run in a temporary working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sandbox.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

const char kUsage[] = "Usage: lexpaint sourcefile [targetfile]\n";
const char kKeywordsMissing[] = "C_Keywords.txt file is missing; no word is marked as a keyword.\n";

class CommandTest : public testing::Test {
 protected:
  // A minimal page frame: the page is "<pre>", the body, "</pre>".
  void WriteFrame() const {
    box_.Write("Header.html", "<pre>");
    box_.Write("Footer.html", "</pre>");
    box_.Write("C_Keywords.txt", "int\n");
  }

  Sandbox box_;
};

const std::string kIntX =
    "<span class=\"Keyword\">int</span> <span class=\"Identifier\">x</span>"
    "<span class=\"Operator\">;</span>\n";

TEST_F(CommandTest, NoArgumentPrintsUsage) {
  WriteFrame();
  const RunResult result = box_.Lexpaint({});
  EXPECT_EQ(result.output, kUsage);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(box_.List(),
            (std::vector<std::string>{"C_Keywords.txt", "Footer.html", "Header.html"}));
}

TEST_F(CommandTest, UnsupportedSourceNames) {
  WriteFrame();
  for (const char* name : {"notes.txt", "a.hpp", "a.CPP", "a.H", "c", ""}) {
    if (*name != '\0') box_.Write(name, "int x;\n");
    const RunResult result = box_.Lexpaint({name});
    EXPECT_EQ(result.output, "File type not supported.\n") << name;
    EXPECT_EQ(result.status, 2) << name;
    EXPECT_FALSE(box_.Exists(std::string(name) + ".html")) << name;
  }
}

TEST_F(CommandTest, WritesPageBesideSource) {
  WriteFrame();
  box_.Write("main.cpp", "int x;\n");
  box_.Write("src/a.h", "int x;\n");
  for (const char* name : {"main.cpp", "src/a.h"}) {
    const RunResult result = box_.Lexpaint({name});
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(box_.Read(std::string(name) + ".html"), "<pre>" + kIntX + "</pre>");
  }
}

TEST_F(CommandTest, ExplicitTarget) {
  WriteFrame();
  box_.Write("main.cpp", "int x;\n");
  const RunResult result = box_.Lexpaint({"main.cpp", "out.html"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(box_.Read("out.html"), "<pre>" + kIntX + "</pre>");
  EXPECT_FALSE(box_.Exists("main.cpp.html"));
}

TEST_F(CommandTest, ReplacesExistingTarget) {
  WriteFrame();
  box_.Write("main.cpp", "int x;\n");
  box_.Write("main.cpp.html", std::string(10000, 'o'));
  EXPECT_EQ(box_.Lexpaint({"main.cpp"}).status, 0);
  EXPECT_EQ(box_.Read("main.cpp.html"), "<pre>" + kIntX + "</pre>");
}

// Header and footer are copied byte for byte: CR LF, NUL bytes and a missing line end stay.
TEST_F(CommandTest, FrameCopiedByteForByte) {
  const std::string header("<!DOCTYPE html>\r\n<p>\0&amp;</p>\n<pre>", 34);
  const std::string footer = "</pre>\n\n</html>";
  box_.Write("Header.html", header);
  box_.Write("Footer.html", footer);
  box_.Write("C_Keywords.txt", "int\n");
  box_.Write("a.cpp", "int x;");  // no line feed at the end
  EXPECT_EQ(box_.Lexpaint({"a.cpp"}).status, 0);
  EXPECT_EQ(box_.Read("a.cpp.html"), header + kIntX + footer);
}

TEST_F(CommandTest, EmptySourceAndEmptyFrame) {
  box_.Write("Header.html", "");
  box_.Write("Footer.html", "");
  box_.Write("C_Keywords.txt", "");
  box_.Write("empty.h", "");
  const RunResult result = box_.Lexpaint({"empty.h"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(box_.Exists("empty.h.html"));
  EXPECT_EQ(box_.Read("empty.h.html"), "");
}

TEST_F(CommandTest, MissingKeywordListWarnsAndConverts) {
  WriteFrame();
  fs::remove(box_.path() / "C_Keywords.txt");
  box_.Write("a.cpp", "int x;\n");
  const RunResult result = box_.Lexpaint({"a.cpp"});
  EXPECT_EQ(result.output, kKeywordsMissing);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(box_.Read("a.cpp.html"),
            "<pre><span class=\"Identifier\">int</span> <span class=\"Identifier\">x</span>"
            "<span class=\"Operator\">;</span>\n</pre>");
}

TEST_F(CommandTest, HelpAndVersion) {
  const RunResult help = box_.Lexpaint({"-n", "--help", "a.cpp"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.output.rfind("Usage: lexpaint [options] sourcefile [targetfile]\n", 0), 0u)
      << help.output;
  for (const char* mention :
       {"-n, --line-numbers", "--help", "--version", "Header.html", "Footer.html", "C_Keywords.txt",
        "working directory", "0 ", "1 ", "2 "}) {
    EXPECT_NE(help.output.find(mention), std::string::npos) << mention;
  }
  const RunResult version = box_.Lexpaint({"--version"});
  EXPECT_EQ(version.output, "lexpaint " LEXPAINT_VERSION "\n");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(box_.List().empty());
}

TEST_F(CommandTest, LineNumbersAddOnlyAnchors) {
  WriteFrame();
  box_.Write("a.cpp", "int x;\n\nint x;");
  const std::string anchor1 =
      "<a class=\"Line\" id=\"L1\" href=\"#L1\" tabindex=\"-1\" aria-label=\"line 1\"></a>";
  const std::string anchor2 =
      "<a class=\"Line\" id=\"L2\" href=\"#L2\" tabindex=\"-1\" aria-label=\"line 2\"></a>";
  const std::string anchor3 =
      "<a class=\"Line\" id=\"L3\" href=\"#L3\" tabindex=\"-1\" aria-label=\"line 3\"></a>";
  const std::string expected =
      "<pre>" + anchor1 + kIntX + anchor2 + "\n" + anchor3 + kIntX + "</pre>";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"-n", "a.cpp"},
                                               {"--line-numbers", "a.cpp", "out.html"},
                                               {"--line", "--", "a.cpp", "out.html"},
                                               {"-nn", "a.cpp", "out.html"}}) {
    const RunResult result = box_.Lexpaint(args);
    EXPECT_EQ(result.output, "") << args[0];
    EXPECT_EQ(result.status, 0) << args[0];
    EXPECT_EQ(box_.Read(args.size() > 2 ? "out.html" : "a.cpp.html"), expected) << args[0];
  }
}

// Options are read anywhere before "--", as GNU tools read them; after it, a word that looks like
// an option is a name.
struct PlacementCase {
  std::vector<std::string> args;
  std::string page;  // the file written
  bool numbered;
};

TEST_F(CommandTest, OptionsAnywhereBeforeDoubleDash) {
  WriteFrame();
  box_.Write("a.cpp", "int x;\n");
  box_.Write("-x.cpp", "int x;\n");
  const std::string anchor =
      "<a class=\"Line\" id=\"L1\" href=\"#L1\" tabindex=\"-1\" aria-label=\"line 1\"></a>";
  const PlacementCase cases[] = {
      {{"a.cpp", "-n", "x.html"}, "x.html", true},
      {{"a.cpp", "x.html", "--line-numbers"}, "x.html", true},
      {{"a.cpp", "--", "-x.html"}, "-x.html", false},
      {{"-n", "--", "a.cpp", "-n"}, "-n", true},
      {{"--", "-x.cpp"}, "-x.cpp.html", false},
      {{"--", "-x.cpp", "--help"}, "--help", false},
  };
  for (const PlacementCase& c : cases) {
    const RunResult result = box_.Lexpaint(c.args);
    EXPECT_EQ(result.output, "") << c.page;
    EXPECT_EQ(result.status, 0) << c.page;
    EXPECT_EQ(box_.Read(c.page), "<pre>" + (c.numbered ? anchor : "") + kIntX + "</pre>") << c.page;
    fs::remove(box_.path() / c.page);
  }
  EXPECT_EQ(box_.List(), (std::vector<std::string>{"-x.cpp", "C_Keywords.txt", "Footer.html",
                                                   "Header.html", "a.cpp"}));
}

struct MistakeCase {
  std::vector<std::string> args;
  std::string message;
};

TEST_F(CommandTest, CommandLineMistakesPrintUsage) {
  WriteFrame();
  box_.Write("a.cpp", "int x;\n");
  const MistakeCase cases[] = {
      {{"-x", "a.cpp"}, "Unknown option: -x\n"},
      {{"-nx", "a.cpp"}, "Unknown option: -x\n"},
      {{"--lines", "a.cpp"}, "Unknown option: --lines\n"},
      {{"--frobnicate=3", "a.cpp"}, "Unknown option: --frobnicate\n"},
      {{"--line-numbers=yes", "a.cpp"}, "Option --line-numbers takes no value.\n"},
      {{"--help=1"}, "Option --help takes no value.\n"},
      {{"--version=1"}, "Option --version takes no value.\n"},
      {{"--tree=1", "src", "site"}, "Option --tree takes no value.\n"},
      {{"--no-definitions=1", "a.cpp"}, "Option --no-definitions takes no value.\n"},
      {{"--vers=", "a.cpp"}, "Option --version takes no value.\n"},
      {{"a.cpp", "--help=yes"}, "Option --help takes no value.\n"},
      {{"a.cpp", "-x", "out.html"}, "Unknown option: -x\n"},
      {{"-x.cpp"}, "Unknown option: -x\n"},
      {{"a.cpp", "--css"}, "Option --css needs a value.\n"},
      {{"a.cpp", "b.html", "c.html"}, "Unexpected argument: c.html\n"},
      {{"a.cpp", "b.html", "--", "c.html"}, "Unexpected argument: c.html\n"},
      {{"-n", "a.cpp", "b.html", "c.html", "d.html"}, "Unexpected argument: c.html\n"},
      {{"-n"}, ""},
      {{"--"}, ""},
  };
  for (const MistakeCase& c : cases) {
    const RunResult result = box_.Lexpaint(c.args);
    EXPECT_EQ(result.output, c.message + kUsage) << testing::PrintToString(c.args);
    EXPECT_EQ(result.status, 2) << testing::PrintToString(c.args);
  }
  EXPECT_EQ(box_.List(),
            (std::vector<std::string>{"C_Keywords.txt", "Footer.html", "Header.html", "a.cpp"}));
}

// Every file in the sandbox, by relative path, with its content (or a link's target).
std::map<std::string, std::string> Snapshot(const Sandbox& box) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(box.path())) {
    const std::string name = fs::relative(entry.path(), box.path()).string();
    if (entry.is_symlink()) {
      files[name] = "-> " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      files[name] = box.Read(name);
    } else {
      files[name] = "<dir>";
    }
  }
  return files;
}

struct FailureCase {
  const char* name;
  std::function<void(const Sandbox&)> setup;  // after the page frame and a.cpp are written
  std::vector<std::string> args;
  std::string message;
  int status;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FailureTest : public testing::TestWithParam<FailureCase> {};

// A failed run prints one message, exits non-zero and changes no file at all.
TEST_P(FailureTest, ReportsAndLeavesFilesAlone) {
  const FailureCase& c = GetParam();
  Sandbox box;
  box.Write("Header.html", "<pre>");
  box.Write("Footer.html", "</pre>");
  box.Write("C_Keywords.txt", "int\n");
  box.Write("a.cpp", "int x;\n");
  box.Write("page.html", "previous page");
  c.setup(box);
  const auto before = Snapshot(box);
  const RunResult result = box.Lexpaint(c.args);
  EXPECT_EQ(result.output, c.message);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(Snapshot(box), before);
}

void Nothing(const Sandbox&) {}
void Remove(const Sandbox& box, const char* name) { fs::remove(box.path() / name); }

const FailureCase kFailureCases[] = {
    {"MissingSource", Nothing, {"missing.cpp"}, "Cannot read source file: missing.cpp\n", 1},
    {"SourceIsDirectory",
     [](const Sandbox& box) { fs::create_directory(box.path() / "dir.h"); },
     {"dir.h", "page.html"},
     "Cannot read source file: dir.h\n",
     1},
    {"TargetIsSource", Nothing, {"a.cpp", "a.cpp"}, "Target file is the source file: a.cpp\n", 1},
    {"TargetIsSourceByPath",
     [](const Sandbox& box) { fs::create_directory(box.path() / "sub"); },
     {"a.cpp", "sub/../a.cpp"},
     "Target file is the source file: sub/../a.cpp\n",
     1},
    {"TargetIsSourceWithDotSlash",
     Nothing,
     {"a.cpp", "./a.cpp"},
     "Target file is the source file: ./a.cpp\n",
     1},
    {"TargetIsSymlinkToSource",
     [](const Sandbox& box) { fs::create_symlink("a.cpp", box.path() / "link.html"); },
     {"a.cpp", "link.html"},
     "Target file is the source file: link.html\n",
     1},
    {"DefaultTargetIsSymlinkToSource",
     [](const Sandbox& box) { fs::create_symlink("a.cpp", box.path() / "a.cpp.html"); },
     {"a.cpp"},
     "Target file is the source file: a.cpp.html\n",
     1},
    {"TargetIsHardLinkToSource",
     [](const Sandbox& box) { fs::create_hard_link(box.path() / "a.cpp", box.path() / "hard.h"); },
     {"hard.h", "a.cpp"},
     "Target file is the source file: a.cpp\n",
     1},
    {"MissingHeader",
     [](const Sandbox& box) { Remove(box, "Header.html"); },
     {"a.cpp", "page.html"},
     "Header.html file is missing.",
     1},
    {"HeaderIsDirectory",
     [](const Sandbox& box) {
       Remove(box, "Header.html");
       fs::create_directory(box.path() / "Header.html");
     },
     {"a.cpp", "page.html"},
     "Header.html file is missing.",
     1},
    {"MissingFooter",
     [](const Sandbox& box) { Remove(box, "Footer.html"); },
     {"a.cpp", "page.html"},
     "Footer.html file is missing.",
     1},
    {"MissingFooterLeavesNoNewTarget",
     [](const Sandbox& box) { Remove(box, "Footer.html"); },
     {"a.cpp"},
     "Footer.html file is missing.",
     1},
    {"SourceCheckedBeforeHeader",
     [](const Sandbox& box) { Remove(box, "Header.html"); },
     {"missing.cpp"},
     "Cannot read source file: missing.cpp\n",
     1},
    {"TargetIsDirectory",
     [](const Sandbox& box) { fs::create_directory(box.path() / "out"); },
     {"a.cpp", "out"},
     "Cannot write target file: out\n",
     1},
    {"TargetFolderMissing",
     Nothing,
     {"a.cpp", "nofolder/page.html"},
     "Cannot write target file: nofolder/page.html\n",
     1},
    {"DiskFull", Nothing, {"a.cpp", "/dev/full"}, "Cannot write target file: /dev/full\n", 1},
};
INSTANTIATE_TEST_SUITE_P(Failures, FailureTest, testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lexpaint
