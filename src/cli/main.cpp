#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"

namespace {

constexpr std::uintptr_t kHugePage = 2 << 20;

// Fresh memory costs a page fault for each 4 KiB first touched, which on some virtual machines
// takes 10 us, and a site of a large tree touches thousands of pages. So freed memory stays with
// the process for reuse instead of going back to the system, large blocks come from the heap
// too, and the heap grows in large steps whose memory is asked for in huge pages (a fault for
// each 2 MiB), where the system hands them out on request.
void TuneHeap() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the most glibc accepts
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_TOP_PAD, 64 << 20);
  const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
  void* volatile step = std::malloc(1 << 20);  // more than the heap holds yet: it grows a step
  std::free(step);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  const std::uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
  if (start < end) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace

int main(int argc, char** argv) {
  TuneHeap();
  const std::vector<std::string> args(argv + 1, argv + argc);
  // A progress line is for a person watching, not for a log.
  std::ostream* progress = ::isatty(STDERR_FILENO) ? &std::cerr : nullptr;
  return lexpaint::RunCommand(args, std::cout, progress);
}
