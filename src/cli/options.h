#ifndef LEXPAINT_CLI_OPTIONS_H_
#define LEXPAINT_CLI_OPTIONS_H_

#include <string>
#include <vector>

namespace lexpaint {

// What the command line asks for, once its options are read.
struct Options {
  bool help = false;
  bool version = false;
  bool lineNumbers = false;
  // Tree mode and the options that only it takes.
  bool tree = false;
  unsigned jobs = 0;  // 0: one per core
  std::vector<std::string> includeFolders;
  std::string keywordFile;     // "" for the built-in keywords
  std::string stylesheetFile;  // "" for the built-in stylesheet
  std::string title;           // of the site's root index; "" for the default
  bool definitions = true;     // find definitions, link names to them, write the tags file
  bool uses = true;            // with definitions, list the uses of each name
  // The first option given that only tree mode takes, for the message when --tree is missing.
  std::string treeOnlyOption;
  // The arguments after the options: the source and target names.
  std::vector<std::string> operands;
};

// The outcome of reading a command line: the options, or the message of a mistake in it.
struct ParsedOptions {
  Options options;
  std::string mistake;  // "" when the command line is well formed
};

// Reads `args` (the arguments after the program name) as GNU tools do: options may come before,
// between or after the operands, and "--" ends them, every argument after it being an operand.
ParsedOptions ParseOptions(const std::vector<std::string>& args);

}  // namespace lexpaint

#endif  // LEXPAINT_CLI_OPTIONS_H_
