#ifndef LEXPAINT_CLI_HEAP_H_
#define LEXPAINT_CLI_HEAP_H_

namespace lexpaint {

// How the process takes memory from the system. Fresh memory costs a page fault for each 4 KiB
// first touched, which on some virtual machines takes 10 us.

// Freed memory stays with the process for reuse instead of going back to the system, and large
// blocks come from the heap too.
void KeepFreedMemory();

// The heap grows by a first step of 1 GiB of address space whose memory is asked for in huge pages
// (a fault for each 2 MiB), where the system hands them out on request, and then in steps of
// 64 MiB: a site of a large tree touches thousands of pages. Only the first call does anything.
void GrowHeapInHugePages();

}  // namespace lexpaint

#endif  // LEXPAINT_CLI_HEAP_H_
