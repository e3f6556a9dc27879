#pragma once

#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <cstddef>

namespace zentrel {

// A comb of `teeth` teeth `side` points wide (see combCorners) as one element of `kind`, filled
// pink in `style`: every hatch line across it crosses its outline about `teeth` times.
inline WhiteboardElement
combElement(WhiteboardElementKind kind, int teeth, double side, WhiteboardFillStyle style)
{
    WhiteboardElement element;
    element.kind = kind;
    for (const auto &[x, y] : combCorners(teeth, side)) {
        element.points.push_back({x, y});
    }
    element.setFrame({0, side, 0, 0});
    element.style.fillColor = "#ffc9c9";
    element.style.fillStyle = style;
    return element;
}

// The path elements a plan holds: what painting it costs.
inline std::size_t planPathElements(const ElementRenderPlan &plan)
{
    std::size_t count = plan.fillPath.elements().size() + plan.headFill.elements().size();
    for (const auto *stroke : {&plan.hatch, &plan.stroke}) {
        count += *stroke ? (*stroke)->path.elements().size() : 0;
    }
    return count;
}

} // namespace zentrel
