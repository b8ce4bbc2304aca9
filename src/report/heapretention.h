#pragma once

namespace movilibro::report {

// While alive, memory the program frees stays with the process instead of
// going back to the system at once. The PDF engine allocates and frees
// megabyte buffers for every page it writes; returning them each time costs
// a third of an export in page faults. The memory is handed back at the end;
// the allocator keeps the thresholds it would have reached by itself.
class HeapRetention
{
public:
    HeapRetention();
    ~HeapRetention();
    HeapRetention(const HeapRetention&) = delete;
    HeapRetention& operator=(const HeapRetention&) = delete;
};

} // namespace movilibro::report
