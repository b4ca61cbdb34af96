#include "heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace lexpaint {
namespace {

constexpr std::uintptr_t kHugePage = 2 << 20;
// The heap's first step is room enough for the index of a tree of millions of definitions; it is
// address space only, until it is touched.
constexpr int kFirstHeapStep = 1 << 30;
constexpr int kHeapStep = 64 << 20;

}  // namespace

void KeepFreedMemory() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the most glibc accepts
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

void GrowHeapInHugePages() {
  static const bool grown = [] {
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());  // the first step stays
    mallopt(M_TOP_PAD, kFirstHeapStep);
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* volatile step = std::malloc(1 << 20);  // more than the heap holds free: it grows a step
    std::free(step);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    mallopt(M_TOP_PAD, kHeapStep);
    const std::uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
    return start < end && madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE) == 0;
  }();
  static_cast<void>(grown);
}

}  // namespace lexpaint
