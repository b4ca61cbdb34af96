#include "command.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "highlighter.h"
#include "input_file.h"
#include "keyword_set.h"
#include "options.h"
#include "source_name.h"
#include "tree_command.h"

namespace lexpaint {
namespace {

constexpr char kUsage[] = "Usage: lexpaint sourcefile [targetfile]\n";
constexpr char kHelp[] =
    "Usage: lexpaint [options] sourcefile [targetfile]\n"
    "       lexpaint --tree [-j N] [-I DIR]... [--keywords FILE] [--css FILE]\n"
    "                       [--title TEXT] [--no-definitions] [--no-uses]\n"
    "                       SOURCEDIR TARGETDIR\n"
    "Converts a C or C++ source file (a name ending in \"cpp\" or \"h\") into an HTML page\n"
    "in which every token is a <span> naming its kind; the page is written to targetfile,\n"
    "or to sourcefile.html beside the source.\n"
    "\n"
    "Options may come before or after the names; \"--\" ends them, so that\n"
    "\"lexpaint -- a.cpp -x.html\" writes a page named -x.html.\n"
    "  -n, --line-numbers  start every line with an anchor, <a class=\"Line\" id=\"L42\"\n"
    "                      href=\"#L42\" tabindex=\"-1\" aria-label=\"line 42\"></a>, which\n"
    "                      the page shows as a line number\n"
    "      --help          print this text\n"
    "      --version       print the version\n"
    "\n"
    "Tree mode writes a browsable site of every C and C++ file under SOURCEDIR into\n"
    "TARGETDIR: a page for each file (SOURCEDIR/a/b.cpp becomes TARGETDIR/a/b.cpp.html),\n"
    "with line numbers and links from #include lines to the files they name, an\n"
    "index.html for each folder, and the stylesheet lexpaint.css. It reads nothing\n"
    "from the working directory and deletes nothing. It also finds the definitions\n"
    "of the tree, links every name to them and lists them in TARGETDIR/tags, and\n"
    "lists the uses of every name, which each definition links to.\n"
    "      --tree          write a site of SOURCEDIR into TARGETDIR\n"
    "  -j, --jobs N        convert on N threads (default: one per core)\n"
    "  -I, --include-dir DIR  also look for included names in DIR, a folder of\n"
    "                      SOURCEDIR (may be repeated)\n"
    "      --keywords FILE the keywords, one per line (default: those of C23 and C++23)\n"
    "      --css FILE      the stylesheet to copy to lexpaint.css (default: built in)\n"
    "      --title TEXT    the title of the site's root index (default: the name of\n"
    "                      SOURCEDIR, then \" \u2014 source\")\n"
    "      --no-definitions  do not look for definitions: no name links, no tags file,\n"
    "                      no uses\n"
    "      --no-uses       do not list the uses of names\n"
    "\n"
    "Data files, looked up in the current working directory:\n"
    "  Header.html     copied to the page before the source\n"
    "  Footer.html     copied to the page after the source\n"
    "  C_Keywords.txt  the words marked as keywords, one per line\n"
    "\n"
    "Exit status: 0 if the page was written completely, 1 on any failure,\n"
    "2 for a command-line mistake.\n";

constexpr char kHeaderFile[] = "Header.html";
constexpr char kFooterFile[] = "Footer.html";
constexpr char kKeywordFile[] = "C_Keywords.txt";

// A failure that ends the run: its message is the complete text to show.
class RunFailure : public std::runtime_error {
 public:
  RunFailure(const std::string& message, ExitStatus status)
      : std::runtime_error(message), status_(status) {}
  ExitStatus status() const { return status_; }

 private:
  ExitStatus status_;
};

RunFailure CannotReadSource(const std::string& name) {
  return RunFailure("Cannot read source file: " + name + "\n", kExitFailure);
}

RunFailure CannotWriteTarget(const std::string& name) {
  return RunFailure("Cannot write target file: " + name + "\n", kExitFailure);
}

// True if both names lead to the same file, through links or differently spelled paths.
bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

// Reads a page-frame file whole, so that the target may even be that file.
std::string ReadPageFrame(const std::string& name) {
  std::optional<std::string> content = ReadWholeFile(name);
  if (!content) throw RunFailure(name + " file is missing.", kExitFailure);
  return *std::move(content);
}

// A missing keyword list is no failure: the page is written with no word marked as a keyword.
KeywordSet LoadKeywords(std::ostream& messages) {
  std::ifstream list;
  if (OpenReadable(kKeywordFile, &list)) {
    KeywordSet keywords = KeywordSet::Read(list);
    if (!list.bad()) return keywords;
  }
  messages << kKeywordFile << " file is missing; no word is marked as a keyword.\n";
  return KeywordSet();
}

// Removes a partly written page, so that a failed run leaves no truncated page behind. Anything
// other than a regular file (a device such as /dev/full) is left alone.
void DiscardTarget(const std::string& name) {
  std::error_code error;
  if (std::filesystem::is_regular_file(std::filesystem::symlink_status(name, error))) {
    std::filesystem::remove(name, error);
  }
}

void Convert(const std::string& sourceName, const std::string& targetName,
             HighlightOptions highlightOptions, std::ostream& messages) {
  std::ifstream source;
  if (!OpenReadable(sourceName, &source)) throw CannotReadSource(sourceName);
  if (IsSameFile(sourceName, targetName)) {
    throw RunFailure("Target file is the source file: " + targetName + "\n", kExitFailure);
  }
  const std::string header = ReadPageFrame(kHeaderFile);
  const std::string footer = ReadPageFrame(kFooterFile);
  KeywordSet keywords = LoadKeywords(messages);

  std::ofstream target(targetName, std::ios::trunc);
  if (!target.is_open()) throw CannotWriteTarget(targetName);
  target << header;
  Highlighter highlighter(source, target, std::move(keywords), highlightOptions);
  highlighter.Run();
  if (highlighter.input_failed()) {
    target.close();
    DiscardTarget(targetName);
    throw CannotReadSource(sourceName);
  }
  target << footer;
  target.close();
  if (target.fail()) {
    DiscardTarget(targetName);
    throw CannotWriteTarget(targetName);
  }
}

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& messages,
               std::ostream* progress) {
  const ParsedOptions parsed = ParseOptions(args);
  if (!parsed.mistake.empty()) {
    const bool tree = std::find(args.begin(), args.end(), "--tree") != args.end();
    messages << parsed.mistake << "\n" << (tree ? kTreeUsage : kUsage);
    return kExitUsageError;
  }
  const Options& options = parsed.options;
  if (options.help) {
    messages << kHelp;
    return kExitSuccess;
  }
  if (options.version) {
    messages << "lexpaint " << LEXPAINT_VERSION << "\n";
    return kExitSuccess;
  }
  if (options.tree) return RunTreeCommand(options, messages, progress);
  if (!options.treeOnlyOption.empty()) {
    messages << "Option " << options.treeOnlyOption << " needs --tree.\n" << kUsage;
    return kExitUsageError;
  }
  const std::vector<std::string>& operands = options.operands;
  if (operands.empty()) {
    messages << kUsage;
    return kExitUsageError;
  }
  if (operands.size() > 2) {
    messages << "Unexpected argument: " << operands[2] << "\n" << kUsage;
    return kExitUsageError;
  }
  if (!IsSupportedFile(operands[0])) {
    messages << "File type not supported.\n";
    return kExitUsageError;
  }
  const std::string& sourceName = operands[0];
  const std::string targetName = operands.size() == 2 ? operands[1] : DefaultTargetName(sourceName);
  HighlightOptions highlightOptions;
  highlightOptions.lineNumbers = options.lineNumbers;
  try {
    Convert(sourceName, targetName, highlightOptions, messages);
  } catch (const RunFailure& failure) {
    messages << failure.what();
    return failure.status();
  }
  return kExitSuccess;
}

}  // namespace lexpaint
