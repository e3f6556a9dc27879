#include "common/allocator_settings.h"

#include <malloc.h>

namespace zentrel {

void useProgramAllocatorSettings()
{
    // What a feature run freed must go back to the system when the run ends (malloc_trim then),
    // but malloc_trim cannot shrink the heaps of Qt's pool threads, only return free blocks
    // inside them. Two glibc habits kept 20 to 70 MB there after a large board closed: it
    // raises its threshold for mapping a block alone to the size of each large block freed, so
    // full-screen pictures came from those heaps, and it keeps small freed blocks apart
    // (fastbins) until they are folded into the top of a heap. Fixed, large pictures are
    // unmapped when freed and small blocks merge as they are freed.
    constexpr int ownMappingFrom = 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, ownMappingFrom);
    mallopt(M_MXFAST, 0);
    // Each pool thread's heap of its own took a share of the outlines a zoomed-out view of a
    // large board prepared and let go; the few kept among them then held a hundred megabytes of
    // its pages after a zoom back. Two heaps that all threads share keep the view's painting as
    // fast and are filled again by the next one.
    mallopt(M_ARENA_MAX, 2);
}

} // namespace zentrel
