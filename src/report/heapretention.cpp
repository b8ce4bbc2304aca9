#include "report/heapretention.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace movilibro::report {

#if defined(__GLIBC__)

namespace {
constexpr int RetainedBytes = 256 * 1024 * 1024;
// Where the allocator's own sliding thresholds end up after large blocks
// have been freed: blocks up to 32 MiB from the heap, trimmed beyond twice that.
constexpr int LargestHeapBlock = 32 * 1024 * 1024;
constexpr int SettledTrim = 2 * LargestHeapBlock;
} // namespace

HeapRetention::HeapRetention()
{
    mallopt(M_TRIM_THRESHOLD, RetainedBytes);
    mallopt(M_MMAP_THRESHOLD, LargestHeapBlock);
}

HeapRetention::~HeapRetention()
{
    mallopt(M_TRIM_THRESHOLD, SettledTrim);
    malloc_trim(0);
}

#else

HeapRetention::HeapRetention() = default;
HeapRetention::~HeapRetention() = default;

#endif

} // namespace movilibro::report
