#ifndef LEXPAINT_CLI_COMMAND_H_
#define LEXPAINT_CLI_COMMAND_H_

#include <ostream>
#include <string>
#include <vector>

#include "exit_status.h"

namespace lexpaint {

// Runs `lexpaint` with `args` (the arguments after the program name), writing every message to
// `messages`, and any progress line to `progress` (nullptr for none). The data files of the
// single-file command are looked up in the working directory. Returns the exit status.
int RunCommand(const std::vector<std::string>& args, std::ostream& messages,
               std::ostream* progress = nullptr);

}  // namespace lexpaint

#endif  // LEXPAINT_CLI_COMMAND_H_
