#include "options.h"

#include <getopt.h>

#include <cstdlib>
#include <mutex>

namespace lexpaint {
namespace {

// '-' returns each operand in its place (as option 1), so that options are read anywhere before
// "--", as GNU tools read them, whatever POSIXLY_CORRECT says; ':' makes getopt_long report a
// missing value apart from an unknown option.
constexpr char kShortOptions[] = "-:nj:I:";

enum LongOnly {
  kHelp = 256,
  kVersion,
  kTree,
  kKeywords,
  kCss,
  kTitle,
  kDefinitions,
  kNoDefinitions,
  kNoUses
};

constexpr option kLongOptions[] = {
    {"line-numbers", no_argument, nullptr, 'n'},
    {"tree", no_argument, nullptr, kTree},
    {"jobs", required_argument, nullptr, 'j'},
    {"include-dir", required_argument, nullptr, 'I'},
    {"keywords", required_argument, nullptr, kKeywords},
    {"css", required_argument, nullptr, kCss},
    {"title", required_argument, nullptr, kTitle},
    {"definitions", no_argument, nullptr, kDefinitions},
    {"no-definitions", no_argument, nullptr, kNoDefinitions},
    {"no-uses", no_argument, nullptr, kNoUses},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

constexpr unsigned long kMaxJobs = 1024;

// A whole number of threads from 1 to kMaxJobs, or 0 if `text` is none.
unsigned ParseJobs(const char* text) {
  if (*text < '0' || *text > '9') return 0;
  char* end = nullptr;
  const unsigned long jobs = std::strtoul(text, &end, 10);
  return *end == '\0' && jobs <= kMaxJobs ? static_cast<unsigned>(jobs) : 0;
}

bool IsShortOption(int c) {
  for (const char* p = kShortOptions; *p != '\0'; ++p) {
    if (*p == c && *p != ':' && *p != '-') return true;
  }
  return false;
}

// The full name of the long option whose value is `value`.
std::string LongOptionNamed(int value) {
  for (const option* o = kLongOptions; o->name != nullptr; ++o) {
    if (o->val == value) return std::string("--") + o->name;
  }
  return "";
}

// The message for the option that getopt_long just turned down, as the user wrote it, or in full
// where the user shortened a long one. A short option may sit inside a cluster that optind has not
// yet passed, so it is named by optopt alone; a long one is the argument before optind. optopt is
// 0 for an unknown long option, an unknown character for an unknown short one, and otherwise the
// value of the option turned down.
std::string Mistake(char* const* argv, bool missingValue) {
  const std::string previous = optind > 1 ? argv[optind - 1] : "";
  if (missingValue) {
    const bool longOption = previous.rfind("--", 0) == 0;
    return "Option " +
           (longOption ? LongOptionNamed(optopt) : std::string("-") + static_cast<char>(optopt)) +
           " needs a value.";
  }
  if (optopt == 0) return "Unknown option: " + previous.substr(0, previous.find('='));
  // A known short option is never turned down for itself: its long name was given a value.
  if (optopt > 255 || IsShortOption(optopt)) {
    return "Option " + LongOptionNamed(optopt) + " takes no value.";
  }
  return std::string("Unknown option: -") + static_cast<char>(optopt);
}

void NoteTreeOnly(Options* options, const std::string& option) {
  if (options->treeOnlyOption.empty()) options->treeOnlyOption = option;
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) {
  // getopt_long keeps its place in globals.
  static std::mutex parsing;
  const std::lock_guard<std::mutex> lock(parsing);

  std::vector<std::string> words;
  words.reserve(args.size() + 1);
  words.emplace_back("lexpaint");
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  ParsedOptions parsed;
  Options& options = parsed.options;
  optind = 0;  // starts a fresh scan, as glibc defines it
  opterr = 0;  // mistakes are reported by the caller
  for (;;) {
    const int option = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr);
    if (option == -1) break;
    switch (option) {
      case 1:
        options.operands.emplace_back(optarg);
        break;
      case 'n':
        options.lineNumbers = true;
        break;
      case kTree:
        options.tree = true;
        break;
      case 'j':
        options.jobs = ParseJobs(optarg);
        if (options.jobs == 0) {
          parsed.mistake = "Option -j needs a whole number of threads from 1 to " +
                           std::to_string(kMaxJobs) + ".";
          return parsed;
        }
        NoteTreeOnly(&options, "-j");
        break;
      case 'I':
        options.includeFolders.emplace_back(optarg);
        NoteTreeOnly(&options, "-I");
        break;
      case kKeywords:
        options.keywordFile = optarg;
        NoteTreeOnly(&options, "--keywords");
        break;
      case kCss:
        options.stylesheetFile = optarg;
        NoteTreeOnly(&options, "--css");
        break;
      case kTitle:
        options.title = optarg;
        NoteTreeOnly(&options, "--title");
        break;
      case kDefinitions:
        options.definitions = true;
        NoteTreeOnly(&options, "--definitions");
        break;
      case kNoDefinitions:
        options.definitions = false;
        NoteTreeOnly(&options, "--no-definitions");
        break;
      case kNoUses:
        options.uses = false;
        NoteTreeOnly(&options, "--no-uses");
        break;
      case kHelp:
        options.help = true;
        break;
      case kVersion:
        options.version = true;
        break;
      case ':':
        parsed.mistake = Mistake(argv.data(), true);
        return parsed;
      default:
        parsed.mistake = Mistake(argv.data(), false);
        return parsed;
    }
  }
  // The arguments after "--".
  options.operands.insert(options.operands.end(), words.begin() + optind, words.end());
  return parsed;
}

}  // namespace lexpaint
