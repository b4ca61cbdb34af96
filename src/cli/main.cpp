#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "heap.h"

int main(int argc, char** argv) {
  lexpaint::KeepFreedMemory();
  const std::vector<std::string> args(argv + 1, argv + argc);
  // A progress line is for a person watching, not for a log.
  std::ostream* progress = ::isatty(STDERR_FILENO) ? &std::cerr : nullptr;
  return lexpaint::RunCommand(args, std::cout, progress);
}
