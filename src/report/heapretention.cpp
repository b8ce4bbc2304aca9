#include "report/heapretention.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace movilibro::report {

#if defined(__GLIBC__)

namespace {
constexpr int RetainedBytes = 256 * 1024 * 1024;
constexpr int LargestHeapBlock = 32 * 1024 * 1024;
// The allocator's documented defaults.
constexpr int DefaultThreshold = 128 * 1024;
} // namespace

HeapRetention::HeapRetention()
{
    mallopt(M_TRIM_THRESHOLD, RetainedBytes);
    mallopt(M_MMAP_THRESHOLD, LargestHeapBlock);
}

HeapRetention::~HeapRetention()
{
    mallopt(M_MMAP_THRESHOLD, DefaultThreshold);
    mallopt(M_TRIM_THRESHOLD, DefaultThreshold);
    malloc_trim(0);
}

#else

HeapRetention::HeapRetention() = default;
HeapRetention::~HeapRetention() = default;

#endif

} // namespace movilibro::report
