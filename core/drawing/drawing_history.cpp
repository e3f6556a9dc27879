#include "drawing/drawing_history.h"

#include <iterator>
#include <utility>

namespace zentrel {

void DrawingHistory::append(DrawingCanvasItem item)
{
    redoItems.clear();
    items.push_back(std::move(item));
    dropOldestBeyondLimit();
}

std::optional<DrawingCanvasItem> DrawingHistory::undo()
{
    if (items.empty()) {
        return std::nullopt;
    }
    DrawingCanvasItem item = std::move(items.back());
    items.pop_back();
    redoItems.push_back(item);
    return item;
}

std::optional<DrawingCanvasItem> DrawingHistory::redo()
{
    if (redoItems.empty()) {
        return std::nullopt;
    }
    DrawingCanvasItem item = std::move(redoItems.back());
    redoItems.pop_back();
    items.push_back(item);
    dropOldestBeyondLimit();
    return item;
}

void DrawingHistory::clear()
{
    items.clear();
    redoItems.clear();
}

void DrawingHistory::dropOldestBeyondLimit()
{
    if (items.size() > m_limit) {
        const auto excess = static_cast<std::ptrdiff_t>(items.size() - m_limit);
        items.erase(items.begin(), std::next(items.begin(), excess));
    }
}

} // namespace zentrel
