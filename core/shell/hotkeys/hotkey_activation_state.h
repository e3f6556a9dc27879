#pragma once

#include "shell/app_mode.h"
#include "shell/hotkeys/activation_style.h"
#include "shell/presentation_feature.h"

#include <optional>

namespace zentrel {

// What a feature key's press or release asks of the coordinator.
struct HotkeyActivationDecision
{
    enum class Kind {
        activate,
        toggle,
        ignore,
        stop,
    };

    Kind kind = Kind::ignore;
    AppMode mode = AppMode::idle;

    friend bool operator==(const HotkeyActivationDecision &,
                           const HotkeyActivationDecision &) = default;
};

// The feature whose hold-style key is down right now, if any. A toggle-style key acts on
// release; a hold-style key starts its feature on press and stops it on release.
struct HotkeyActivationState
{
    std::optional<PresentationFeature> heldFeature;

    HotkeyActivationDecision keyDown(PresentationFeature feature, ActivationStyle style);
    HotkeyActivationDecision keyUp(PresentationFeature feature, ActivationStyle style);
};

} // namespace zentrel
