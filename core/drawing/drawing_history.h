#pragma once

#include "drawing/drawing_canvas_item.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace zentrel {

// The canvas's finished items and its redo list. `items` never holds more than `limit()`
// elements after an operation of this type; the redo list has no bound of its own.
struct DrawingHistory
{
    static constexpr std::size_t defaultLimit = 20;

    std::vector<DrawingCanvasItem> items;     // oldest first, drawn in this order
    std::vector<DrawingCanvasItem> redoItems; // the last one is redone next

    DrawingHistory() = default;

    explicit DrawingHistory(std::size_t limit)
        : m_limit(limit)
    {}

    std::size_t limit() const { return m_limit; }

    // Empties the redo list, then drops the oldest items beyond the limit.
    void append(DrawingCanvasItem item);
    std::optional<DrawingCanvasItem> undo();
    // Leaves the rest of the redo list alone, unlike append.
    std::optional<DrawingCanvasItem> redo();
    void clear();

    friend bool operator==(const DrawingHistory &, const DrawingHistory &) = default;

private:
    void dropOldestBeyondLimit();

    std::size_t m_limit = defaultLimit;
};

} // namespace zentrel
