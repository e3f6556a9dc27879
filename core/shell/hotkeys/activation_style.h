#pragma once

#include "common/enum_text.h"

namespace zentrel {

// How a feature's hot key acts: toggled on release, or held (on while the key is down).
enum class ActivationStyle {
    toggle,
    hold,
};

inline constexpr EnumText<ActivationStyle, 2> activationStyleText{{{
    {ActivationStyle::toggle, "toggle"},
    {ActivationStyle::hold, "hold"},
}}};

} // namespace zentrel
