#pragma once

#include "common/geometry.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/element_paint_cache.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

namespace zentrel {

// An element a painting shows: where it can paint, and what is kept for it, if anything.
struct ElementToPrepare
{
    ElementPtr element;
    RectF bounds;
    PaintedElementPtr painted; // null when it is to be prepared, or looked up
};

struct ChunkPainting
{
    double viewportScale = 1;
    int threads = 1;
    const std::atomic<bool> *cancelled = nullptr;
    // What is kept for the element, or null; looked up a chunk at a time, just before it paints.
    std::function<PaintedElementPtr(const ElementToPrepare &)> kept;
    // Called with each element prepared, once its chunk has painted; true when it keeps what was
    // prepared, which is let go otherwise.
    std::function<bool(const ElementToPrepare &, PaintedElementPtr)> made;
    // A chunk's outlines take some tens of megabytes at most, and it is long enough for the
    // pool's threads to share its preparation well.
    std::size_t chunkElements = 4096;
};

// Prepares `elements` (board order) and hands them to `paint` a chunk at a time, `first` for
// the first chunk, which is called once even for no elements: a view of hundreds of thousands of
// small elements never holds all their outlines at once. Painting the chunks one over the other
// in order paints what one painting of them all would.
void paintInChunks(
    const std::vector<ElementToPrepare> &elements,
    const ChunkPainting &how,
    const std::function<void(const std::vector<ElementToPaint> &, bool first)> &paint);

} // namespace zentrel
