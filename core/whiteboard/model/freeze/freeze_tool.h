#pragma once

#include "common/enum_text.h"

namespace zentrel {

// The tools of an annotation session over a frozen screen, in toolbar order. A tool is known by
// its text: freezeToolText gives it and reads it back, exactly and case-sensitively.
enum class FreezeTool {
    selection,
    pan,
    freehand,
    arrow,
    rectangle,
    ellipse,
    diamond,
    line,
    text,
    number,
    eraser,
};

inline constexpr EnumText<FreezeTool, 11> freezeToolText{{{
    {FreezeTool::selection, "selection"},
    {FreezeTool::pan, "pan"},
    {FreezeTool::freehand, "freehand"},
    {FreezeTool::arrow, "arrow"},
    {FreezeTool::rectangle, "rectangle"},
    {FreezeTool::ellipse, "ellipse"},
    {FreezeTool::diamond, "diamond"},
    {FreezeTool::line, "line"},
    {FreezeTool::text, "text"},
    {FreezeTool::number, "number"},
    {FreezeTool::eraser, "eraser"},
}}};

inline constexpr auto allFreezeTools = freezeToolText.values();

} // namespace zentrel
