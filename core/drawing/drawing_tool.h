#pragma once

#include "common/enum_text.h"

#include <optional>
#include <string_view>

namespace zentrel {

// The live-drawing tools, in the order the toolbar lists them and their digit keys select them.
enum class DrawingTool {
    freehand,
    arrow,
    rectangle,
    ellipse,
    diamond,
    line,
    number,
    eraser,
};

inline constexpr EnumText<DrawingTool, 8> drawingToolText{{{
    {DrawingTool::freehand, "freehand"},
    {DrawingTool::arrow, "arrow"},
    {DrawingTool::rectangle, "rectangle"},
    {DrawingTool::ellipse, "ellipse"},
    {DrawingTool::diamond, "diamond"},
    {DrawingTool::line, "line"},
    {DrawingTool::number, "number"},
    {DrawingTool::eraser, "eraser"},
}}};

inline constexpr auto allDrawingTools = drawingToolText.values();

// The tool a typed key selects on the canvas: the digit of its position or its letter, in any
// case. The whole text must match, so "12" or "pp" select nothing.
std::optional<DrawingTool> drawingToolForKey(std::string_view text);

} // namespace zentrel
