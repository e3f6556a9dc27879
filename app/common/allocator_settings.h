#pragma once

namespace zentrel {

// Sets how the C library's allocator hands memory back to the system, before any thread starts:
// the program and the benchmarks that measure its memory call it alike.
void useProgramAllocatorSettings();

} // namespace zentrel
