#ifndef LEXPAINT_CLI_INPUT_FILE_H_
#define LEXPAINT_CLI_INPUT_FILE_H_

#include <fstream>
#include <optional>
#include <string>

namespace lexpaint {

// Opens `name` for reading into `*file` and returns true if it opened and its first byte can be
// read (an empty file counts as readable; a directory does not).
bool OpenReadable(const std::string& name, std::ifstream* file);

// The whole content of `name`, or nothing if it cannot be opened or read to its end.
std::optional<std::string> ReadWholeFile(const std::string& name);

}  // namespace lexpaint

#endif  // LEXPAINT_CLI_INPUT_FILE_H_
