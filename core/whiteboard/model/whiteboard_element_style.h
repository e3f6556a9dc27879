#pragma once

#include "whiteboard/model/whiteboard_vocabulary.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zentrel {

// A coded scene point: freehand paths, viewport offsets and the older document format.
struct WhiteboardPoint
{
    double x = 0;
    double y = 0;

    friend bool operator==(const WhiteboardPoint &, const WhiteboardPoint &) = default;
};

// Stroke and fill of an element.
struct WhiteboardElementStyle
{
    // Kept as text, unchanged: normally "#RRGGBB" (read with colorFromHex), but imported
    // documents may carry other words such as "transparent".
    std::string strokeColor = "#000000";
    std::optional<std::string> fillColor; // absent: no fill
    double strokeWidth = 1;               // also widens line hit areas and freehand bounds
    double opacity = 1;                   // 0…1
    std::int64_t roughness = 0;
    std::optional<WhiteboardStrokeStyle> strokeStyle;
    std::optional<WhiteboardFillStyle> fillStyle;
    std::optional<std::int64_t> roundnessType; // Excalidraw's roundness number, carried along

    friend bool operator==(const WhiteboardElementStyle &,
                           const WhiteboardElementStyle &) = default;
};

} // namespace zentrel
