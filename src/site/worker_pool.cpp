#include "worker_pool.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

namespace lexpaint {
namespace {

// glibc gives a thread other than the first heaps of its own: 64 MiB of address space each,
// aligned to their size, whose memory the system hands out a 4 KiB page per fault, at a cost on
// every page that some virtual machines make 10 us. Asks for huge pages in the heap this thread
// now allocates from, as the main heap has them.
void AskHugePagesForThreadHeap() {
#ifdef __GLIBC__
  constexpr std::uintptr_t kThreadHeapSize = std::uintptr_t{64} << 20;
  thread_local std::uintptr_t advised = 0;
  void* const probe = std::malloc(1);
  const std::uintptr_t heap = reinterpret_cast<std::uintptr_t>(probe) & ~(kThreadHeapSize - 1);
  std::free(probe);
  if (heap == advised) return;
  advised = heap;
  madvise(reinterpret_cast<void*>(heap), kThreadHeapSize, MADV_HUGEPAGE);
#endif
}

}  // namespace

void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job) {
  ParallelFor(count, threads, job, [] {});
}

void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job,
                 const std::function<void()>& first) {
  std::atomic<std::size_t> next{0};
  const auto work = [&](bool helper) {
    for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
      if (helper) AskHugePagesForThreadHeap();
      job(i);
    }
  };
  const std::size_t helpers = std::min<std::size_t>(threads, count) - (count > 0 ? 1 : 0);
  std::vector<std::thread> pool;
  pool.reserve(helpers);
  for (std::size_t t = 0; t < helpers; ++t) pool.emplace_back(work, true);
  first();
  work(false);
  for (std::thread& thread : pool) thread.join();
}

}  // namespace lexpaint
