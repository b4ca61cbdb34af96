#include <malloc.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "command.h"

int main(int argc, char** argv) {
  // Freed memory stays with the process for the next page to reuse, rather than going back to
  // the system at once: fresh memory costs a page fault per 4 KiB touched, which on some
  // virtual machines takes 10 us.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  const std::vector<std::string> args(argv + 1, argv + argc);
  // A progress line is for a person watching, not for a log.
  std::ostream* progress = ::isatty(STDERR_FILENO) ? &std::cerr : nullptr;
  return lexpaint::RunCommand(args, std::cout, progress);
}
