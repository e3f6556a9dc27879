#pragma once

#include "common/enum_text.h"

namespace zentrel {

// Whether the break timer shows as a floating card or covers the screen.
enum class BreakTimerPresentationStyle {
    floating,
    fullScreen,
};

inline constexpr EnumText<BreakTimerPresentationStyle, 2> breakTimerPresentationStyleText{{{
    {BreakTimerPresentationStyle::floating, "floating"},
    {BreakTimerPresentationStyle::fullScreen, "fullScreen"},
}}};

} // namespace zentrel
