#ifndef LEXPAINT_CLI_COMMAND_H_
#define LEXPAINT_CLI_COMMAND_H_

#include <ostream>
#include <string>
#include <vector>

namespace lexpaint {

// Exit statuses of the command.
enum ExitStatus {
  kExitSuccess = 0,     // the page was written completely
  kExitFailure = 1,     // any failure other than a command-line mistake
  kExitUsageError = 2,  // no argument, or a source name of an unsupported type
};

// Runs `lexpaint` with `args` (the arguments after the program name), writing every message to
// `messages`. The data files are looked up in the working directory. Returns the exit status.
int RunCommand(const std::vector<std::string>& args, std::ostream& messages);

}  // namespace lexpaint

#endif  // LEXPAINT_CLI_COMMAND_H_
