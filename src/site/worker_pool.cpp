#include "worker_pool.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace lexpaint {

void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) job(i);
  };
  const std::size_t helpers = std::min<std::size_t>(threads, count) - (count > 0 ? 1 : 0);
  std::vector<std::thread> pool;
  pool.reserve(helpers);
  for (std::size_t t = 0; t < helpers; ++t) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
}

}  // namespace lexpaint
