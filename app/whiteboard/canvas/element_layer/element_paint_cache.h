#pragma once

#include "common/geometry.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/model/whiteboard_element.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
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

// What the canvas keeps to paint elements, whatever the board's size: enough for the elements of
// a few views of a busy board.
inline constexpr std::size_t elementPaintCacheBytes = std::size_t(160) << 20;

// Whether an element that paints within `bounds` covers only a few pixels at `viewportScale`.
bool isSmallOnScreen(const RectF &bounds, double viewportScale);

// Painted elements kept by element value. Elements are immutable and shared between library
// snapshots, so one that a change did not touch keeps its paths, wobble and text layout. What is
// kept is shared with pictures being painted in the background. It holds at most `budgetBytes`:
// past it, what was used longest ago is let go, and an element that covers a few pixels only
// takes room that nothing else needs, since a view of many of them would push out everything
// for elements it will paint again only at that zoom.
class ElementPaintCache
{
public:
    explicit ElementPaintCache(std::size_t budgetBytes = elementPaintCacheBytes);

    // Prepares those of `elements` that are not cached yet.
    void prepare(const std::vector<ElementPtr> &elements, double viewportScale);
    // What is kept for the element, or what its former self painted, moved along; null when it
    // must be prepared.
    PaintedElementPtr find(const ElementPtr &element, double viewportScale);
    // What is kept for the element; null when nothing is. Cheaper than `find`, for the many
    // elements a picture painted elsewhere needs.
    PaintedElementPtr kept(const ElementPtr &element, double viewportScale) const;
    // Keeps what was prepared for the element, as room allows; false when it is not kept.
    bool keep(const ElementPtr &element, double viewportScale, const PaintedElementPtr &painted);
    // Keeps what was prepared elsewhere for elements that are not kept already. They are not
    // known by identifier until painted here: a drag then prepares each of them once.
    void adopt(std::vector<std::pair<ElementPtr, PaintedElementPtr>> prepared,
               double viewportScale);
    // Forgets elements that are no longer in `elements` once a fixed number of entries came
    // since it last did.
    void trim(const std::vector<ElementPtr> &elements);
    // Lets go of what paints nowhere near `sceneArea`, or at a scale other than `viewportScale`
    // shows, used longest ago first, until a sixty-fourth of the budget is left: after a zoom out
    // and back, or a long pan, the canvas holds what the view needs again.
    void letGoOutside(const RectF &sceneArea, double viewportScale);

    std::size_t size() const { return m_entries.size(); }

    std::size_t bytes() const { return m_bytes; }

    std::size_t budget() const { return m_budget; }

private:
    struct Entry
    {
        ElementPtr element; // keeps the key's address from being reused
        double viewportScale = 1;
        PaintedElementPtr painted;
        RectF bounds; // where it paints, in the scene
        std::size_t bytes = 0;
        mutable std::uint64_t lastUse = 0; // when last asked for, however
    };

    using Entries = std::unordered_map<const WhiteboardElement *, Entry>;

    bool isCached(const ElementPtr &element, double viewportScale) const;
    // What the element's former self painted, moved along, when only its place changed: a drag
    // then prepares no new wobble or glyph outlines.
    std::optional<PaintedElement> movedFormerSelf(const WhiteboardElement &element,
                                                  double viewportScale) const;
    PaintedElementPtr
    store(const ElementPtr &element, double viewportScale, PaintedElementPtr painted);
    bool admit(const ElementPtr &element, double viewportScale, const PaintedElementPtr &painted);
    Entries::iterator erase(Entries::iterator entry);
    // Lets go of `candidates`, used longest ago first, until no more than `keptBytes` are kept.
    void letGo(std::vector<Entries::iterator> candidates, std::size_t keptBytes);

    std::size_t m_budget;
    std::size_t m_bytes = 0;
    mutable std::uint64_t m_uses = 0;
    Entries m_entries;
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
