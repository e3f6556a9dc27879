#include "drawing/drawing_tool.h"

#include "common/text.h"

#include <array>
#include <utility>

namespace zentrel {

std::optional<DrawingTool> drawingToolForKey(std::string_view text)
{
    static constexpr auto keys = std::to_array<std::pair<std::string_view, DrawingTool>>({
        {"1", DrawingTool::freehand},
        {"p", DrawingTool::freehand},
        {"2", DrawingTool::arrow},
        {"a", DrawingTool::arrow},
        {"3", DrawingTool::rectangle},
        {"r", DrawingTool::rectangle},
        {"4", DrawingTool::ellipse},
        {"o", DrawingTool::ellipse},
        {"5", DrawingTool::diamond},
        {"d", DrawingTool::diamond},
        {"6", DrawingTool::line},
        {"l", DrawingTool::line},
        {"7", DrawingTool::number},
        {"n", DrawingTool::number},
        {"8", DrawingTool::eraser},
        {"e", DrawingTool::eraser},
    });
    // ASCII lower-casing is enough: no non-ASCII character lower-cases to one of these keys.
    const std::string lowered = asciiLowercased(text);
    for (const auto &[key, tool] : keys) {
        if (key == lowered) {
            return tool;
        }
    }
    return std::nullopt;
}

} // namespace zentrel
