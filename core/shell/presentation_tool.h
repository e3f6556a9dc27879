#pragma once

#include "common/enum_text.h"

namespace zentrel {

// The drawing tools that hot keys and command URLs can choose.
enum class PresentationTool {
    pan,
    pen,
    arrow,
    rectangle,
    number,
    eraser,
};

inline constexpr EnumText<PresentationTool, 6> presentationToolText{{{
    {PresentationTool::pan, "pan"},
    {PresentationTool::pen, "pen"},
    {PresentationTool::arrow, "arrow"},
    {PresentationTool::rectangle, "rectangle"},
    {PresentationTool::number, "number"},
    {PresentationTool::eraser, "eraser"},
}}};

} // namespace zentrel
