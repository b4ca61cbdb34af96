#ifndef LEXPAINT_CLI_TREE_COMMAND_H_
#define LEXPAINT_CLI_TREE_COMMAND_H_

#include <ostream>

#include "options.h"

namespace lexpaint {

// The usage line of tree mode.
extern const char kTreeUsage[];

// Runs `lexpaint --tree` as `options` ask, writing every message to `messages` and, if
// `progress` is not null, a progress line updated in place. Returns the exit status.
int RunTreeCommand(const Options& options, std::ostream& messages, std::ostream* progress);

}  // namespace lexpaint

#endif  // LEXPAINT_CLI_TREE_COMMAND_H_
