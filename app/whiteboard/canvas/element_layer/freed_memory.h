#pragma once

#include <cstddef>

namespace zentrel {

// The allocator keeps what painting data frees, thousands of small blocks, for the process; these
// hand it back to the system, so that letting go of outlines lowers what the program holds.

// Tells that about `bytes` were freed, on any thread; past some tens of megabytes since memory
// was last handed back, as a long look at many small elements frees, it is handed back.
void noteFreedMemory(std::size_t bytes);

// Hands memory back once a megabyte or more was freed since it last was, as after a paint.
void handBackFreedMemory();
// Hands memory back whatever was noted: once the view let go of what it no longer shows, after
// a pause, when other parts of the program freed much too.
void handBackFreeMemoryNow();

} // namespace zentrel
