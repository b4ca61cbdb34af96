#ifndef LEXPAINT_CLI_SOURCE_NAME_H_
#define LEXPAINT_CLI_SOURCE_NAME_H_

#include <string>
#include <string_view>

namespace lexpaint {

// True if `name` ends in "cpp" or in "h", compared byte for byte (so "a.CPP" is not supported).
bool IsSupportedFile(std::string_view name);

// The page written when no target is named: the source name with ".html" appended.
std::string DefaultTargetName(std::string_view sourceName);

}  // namespace lexpaint

#endif  // LEXPAINT_CLI_SOURCE_NAME_H_
