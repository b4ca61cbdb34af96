#ifndef LEXPAINT_SITE_WORKER_POOL_H_
#define LEXPAINT_SITE_WORKER_POOL_H_

#include <cstddef>
#include <functional>

namespace lexpaint {

// Runs job(i) once for every i in [0, count) on `threads` threads, the calling thread among them.
// Each thread takes the next index from a shared counter, so the jobs start in index order
// whatever the number of threads. Returns when every job has ended. `job` must not throw.
void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job);

// The same, but the calling thread first runs `first` while the other threads start on the jobs.
void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job,
                 const std::function<void()>& first);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_WORKER_POOL_H_
