#pragma once

#include "common/geometry.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/model/whiteboard_element.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zentrel {

using PaintedElementPtr = std::shared_ptr<const PaintedElement>;

// Prepares `elements` for painting side by side on up to `threads` of the pool's threads, so a
// board shown for the first time does not wait on one core. What is made holds no font: texts
// are kept as glyph outlines, which outlive the thread that laid them out. Once `cancelled` is
// set, the rest stay null.
std::vector<PaintedElementPtr> preparedElements(const std::vector<ElementPtr> &elements,
                                                double viewportScale,
                                                int threads,
                                                const std::atomic<bool> *cancelled = nullptr);

// Painted elements kept by element value. Elements are immutable and shared between library
// snapshots, so one that a change did not touch keeps its paths, wobble and text layout. What is
// kept is shared with pictures being painted in the background.
class ElementPaintCache
{
public:
    const PaintedElement &painted(const ElementPtr &element, double viewportScale);
    // Prepares those of `elements` that are not cached yet.
    void prepare(const std::vector<ElementPtr> &elements, double viewportScale);
    // What is kept for the element, or what its former self painted, moved along; null when it
    // must be prepared.
    PaintedElementPtr find(const ElementPtr &element, double viewportScale);
    // What is kept for the element; null when nothing is. Cheaper than `find`, for the many
    // elements a picture painted elsewhere needs.
    PaintedElementPtr kept(const ElementPtr &element, double viewportScale) const;
    // Keeps what was prepared elsewhere for elements that are not kept already. They are not
    // known by identifier until painted here: a drag then prepares each of them once.
    void adopt(std::vector<std::pair<ElementPtr, PaintedElementPtr>> prepared,
               double viewportScale);
    // Forgets elements that are no longer in `elements` once a fixed number of entries came
    // since it last did.
    void trim(const std::vector<ElementPtr> &elements);

    std::size_t size() const { return m_entries.size(); }

private:
    bool isCached(const ElementPtr &element, double viewportScale) const;
    // What the element's former self painted, moved along, when only its place changed: a drag
    // then prepares no new wobble or glyph outlines.
    std::optional<PaintedElement> movedFormerSelf(const WhiteboardElement &element,
                                                  double viewportScale) const;
    const PaintedElementPtr &
    store(const ElementPtr &element, double viewportScale, PaintedElementPtr painted);

    struct Entry
    {
        ElementPtr element; // keeps the key's address from being reused
        double viewportScale = 1;
        PaintedElementPtr painted;
    };

    std::unordered_map<const WhiteboardElement *, Entry> m_entries;
    // The value each identifier was last prepared for.
    std::unordered_map<Uuid, const WhiteboardElement *> m_latestByID;
    std::size_t m_sizeAfterTrim = 0;
};

// Where each element of a board can paint, kept in board order so culling scans a flat array.
// Unchanged elements keep their bounds from one update to the next.
class ElementBoundsIndex
{
public:
    void update(const std::vector<ElementPtr> &elements, double viewportScale);

    const RectF &bounds(std::size_t index) const { return m_bounds[index]; }

private:
    std::vector<ElementPtr> m_elements;
    std::vector<RectF> m_bounds;
    double m_viewportScale = 0;
};

} // namespace zentrel
