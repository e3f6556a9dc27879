#include "drawing/drawing_canvas_item.h"

#include <algorithm>

namespace zentrel {

int nextMarkerNumber(const std::vector<DrawingCanvasItem> &items)
{
    int largest = 0;
    for (const DrawingCanvasItem &item : items) {
        if (const auto *marker = std::get_if<NumberedMarker>(&item)) {
            largest = std::max(largest, marker->number);
        }
    }
    return largest + 1;
}

} // namespace zentrel
