#pragma once

#include "common/enum_text.h"

#include <optional>
#include <string_view>

namespace zentrel {

// The tool the whiteboard editor holds, in toolbar order. Not stored in files.
enum class WhiteboardTool {
    selection,
    pan,
    freedraw,
    arrow,
    rectangle,
    ellipse,
    diamond,
    line,
    text,
    marker,
    eraser,
};

inline constexpr EnumText<WhiteboardTool, 11> whiteboardToolText{{{
    {WhiteboardTool::selection, "selection"},
    {WhiteboardTool::pan, "pan"},
    {WhiteboardTool::freedraw, "freedraw"},
    {WhiteboardTool::arrow, "arrow"},
    {WhiteboardTool::rectangle, "rectangle"},
    {WhiteboardTool::ellipse, "ellipse"},
    {WhiteboardTool::diamond, "diamond"},
    {WhiteboardTool::line, "line"},
    {WhiteboardTool::text, "text"},
    {WhiteboardTool::marker, "marker"},
    {WhiteboardTool::eraser, "eraser"},
}}};

inline constexpr auto allWhiteboardTools = whiteboardToolText.values();

// Display name on the toolbar ("Pen" for freedraw, "Number" for marker).
std::string_view title(WhiteboardTool tool);

// Name of the symbol image on the tool's button.
std::string_view symbolName(WhiteboardTool tool);

// One-character label of the tool's key: a digit, or "H" for pan.
std::string_view shortcutKey(WhiteboardTool tool);

// The tool a typed key selects: its digit or its letter, in any case. The whole text must match,
// so "" and "12" select nothing.
std::optional<WhiteboardTool> toolForShortcut(std::string_view text);

} // namespace zentrel
