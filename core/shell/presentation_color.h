#pragma once

#include "common/color.h"
#include "common/enum_text.h"

namespace zentrel {

// The four quick colours, each the desktop's usual colour of that name.
enum class PresentationColor {
    red,
    yellow,
    green,
    blue,
};

inline constexpr EnumText<PresentationColor, 4> presentationColorText{{{
    {PresentationColor::red, "red"},
    {PresentationColor::yellow, "yellow"},
    {PresentationColor::green, "green"},
    {PresentationColor::blue, "blue"},
}}};

Color systemColor(PresentationColor color);

} // namespace zentrel
