#include "whiteboard/canvas/element_layer/freed_memory.h"

#include <QThreadPool>

#include <malloc.h>

#include <atomic>

namespace zentrel {

namespace {

// Handing back walks all the allocator's free blocks, which takes a while once paintings have
// freed hundreds of megabytes: so not for every element, one at a time, on a pool thread.
constexpr std::size_t freedBytesHandedBack = std::size_t(64) << 20;
constexpr std::size_t freedBytesWorthHandingBack = std::size_t(1) << 20;

std::atomic<std::size_t> freedBytes{0};
std::atomic<bool> handingBack{false};

void handBackIfFreed(std::size_t least)
{
    if (freedBytes.load(std::memory_order_relaxed) < least || handingBack.exchange(true)) {
        return;
    }
    // What is freed while it hands back is handed back too, before it ends.
    QThreadPool::globalInstance()->start([] {
        do {
            freedBytes.store(0, std::memory_order_relaxed);
            malloc_trim(0);
        } while (freedBytes.load(std::memory_order_relaxed) >= freedBytesWorthHandingBack);
        handingBack.store(false);
    });
}

} // namespace

void noteFreedMemory(std::size_t bytes)
{
    freedBytes.fetch_add(bytes, std::memory_order_relaxed);
    handBackIfFreed(freedBytesHandedBack);
}

void handBackFreedMemory()
{
    handBackIfFreed(freedBytesWorthHandingBack);
}

void handBackFreeMemoryNow()
{
    handBackIfFreed(0);
}

} // namespace zentrel
