#pragma once

#include "whiteboard/model/whiteboard_board.h"

#include <cmath>
#include <string>

namespace zentrel {

// A board cycling through every element kind, laid out on a grid; freehand strokes carry 20
// points each, so the board is a fair mix of short and long lines.
inline WhiteboardBoard generatedBoard(int elementCount)
{
    WhiteboardBoard board;
    board.background = WhiteboardBackground::white();
    board.elements.reserve(static_cast<std::size_t>(elementCount));
    for (int i = 0; i < elementCount; ++i) {
        WhiteboardElement element;
        element.kind = allWhiteboardElementKinds[static_cast<std::size_t>(i)
                                                 % allWhiteboardElementKinds.size()];
        element.setFrame({(i % 100) * 37.5, (i / 100) * 41.25, 30.5 + i % 7, 20.25 - i % 5});
        element.rotation = i % 4 == 0 ? 0.3 : 0;
        element.style.strokeColor = "#1b1b1f";
        element.style.fillColor = i % 2 == 0 ? std::optional<std::string>("#a5d8ff") : std::nullopt;
        element.style.strokeWidth = 2;
        element.style.strokeStyle = static_cast<WhiteboardStrokeStyle>(i % 3);
        element.text = "Note & <idea> " + std::to_string(i);
        element.markerNumber = i;
        if (element.kind == WhiteboardElementKind::freedraw) {
            for (int p = 0; p < 20; ++p) {
                element.points.push_back({element.x + p * 1.5, element.y + 5 * std::sin(p * 0.4)});
            }
        }
        board.elements.push_back(makeElement(std::move(element)));
    }
    return board;
}

} // namespace zentrel
