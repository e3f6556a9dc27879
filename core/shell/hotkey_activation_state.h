#pragma once

#include "shell/presentation_feature.h"

#include <optional>

namespace zentrel {

// The feature whose hold-style hot key is down right now, if any.
struct HotkeyActivationState
{
    std::optional<PresentationFeature> heldFeature;
};

} // namespace zentrel
