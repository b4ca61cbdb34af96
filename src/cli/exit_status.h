#ifndef LEXPAINT_CLI_EXIT_STATUS_H_
#define LEXPAINT_CLI_EXIT_STATUS_H_

namespace lexpaint {

// Exit statuses of the command.
enum ExitStatus {
  kExitSuccess = 0,     // everything asked for was written completely
  kExitFailure = 1,     // any failure other than a command-line mistake
  kExitUsageError = 2,  // a mistake in the command line
};

}  // namespace lexpaint

#endif  // LEXPAINT_CLI_EXIT_STATUS_H_
