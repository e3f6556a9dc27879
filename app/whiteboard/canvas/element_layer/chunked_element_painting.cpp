#include "whiteboard/canvas/element_layer/chunked_element_painting.h"

#include "whiteboard/canvas/element_layer/freed_memory.h"
#include "whiteboard/canvas/element_layer/painted_element_bytes.h"

#include <algorithm>

namespace zentrel {

void paintInChunks(
    const std::vector<ElementToPrepare> &elements,
    const ChunkPainting &how,
    const std::function<void(const std::vector<ElementToPaint> &, bool first)> &paint)
{
    std::vector<PaintedElementPtr> held;
    std::vector<ElementPtr> missing;
    std::vector<std::size_t> missingAt;
    std::vector<ElementToPaint> toPaint;
    std::size_t begin = 0;
    do {
        if (how.cancelled && how.cancelled->load(std::memory_order_relaxed)) {
            return;
        }
        const std::size_t end =
            std::min(elements.size(), begin + std::max<std::size_t>(how.chunkElements, 1));
        held.clear();
        missing.clear();
        missingAt.clear();
        for (std::size_t i = begin; i < end; ++i) {
            const ElementToPrepare &element = elements[i];
            held.push_back(element.painted ? element.painted : how.kept(element));
            if (!held.back()) {
                missing.push_back(element.element);
                missingAt.push_back(held.size() - 1);
            }
        }
        std::vector<PaintedElementPtr> prepared =
            preparedElements(missing, how.viewportScale, how.threads, how.cancelled);
        if (how.cancelled && how.cancelled->load(std::memory_order_relaxed)) {
            return;
        }
        for (std::size_t k = 0; k < missing.size(); ++k) {
            held[missingAt[k]] = std::move(prepared[k]);
        }
        toPaint.clear();
        for (std::size_t i = begin; i < end; ++i) {
            toPaint.push_back({elements[i].bounds, held[i - begin].get()});
        }
        paint(toPaint, begin == 0);
        std::size_t freed = 0;
        for (const std::size_t at : missingAt) {
            const std::size_t bytes = paintedElementBytes(*held[at]);
            if (!how.made(elements[begin + at], std::move(held[at]))) {
                freed += bytes;
            }
        }
        held.clear();
        noteFreedMemory(freed);
        begin = end;
    } while (begin < elements.size());
}

} // namespace zentrel
