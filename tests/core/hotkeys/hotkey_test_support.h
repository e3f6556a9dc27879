#pragma once

#include "common/settings/modifier_flags.h"

#include <initializer_list>

namespace zentrel {

// The named modifiers as one set, the way the tests write a chord.
inline ModifierFlags flags(std::initializer_list<ModifierFlag> list)
{
    ModifierFlags result;
    for (const ModifierFlag flag : list) {
        result = result.with(flag, true);
    }
    return result;
}

} // namespace zentrel
