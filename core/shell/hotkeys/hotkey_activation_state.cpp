#include "shell/hotkeys/hotkey_activation_state.h"

namespace zentrel {

using Decision = HotkeyActivationDecision;

Decision HotkeyActivationState::keyDown(PresentationFeature feature, ActivationStyle style)
{
    if (style == ActivationStyle::toggle || heldFeature == feature) {
        return Decision{Decision::Kind::ignore};
    }
    heldFeature = feature;
    return Decision{Decision::Kind::activate, appMode(feature)};
}

Decision HotkeyActivationState::keyUp(PresentationFeature feature, ActivationStyle style)
{
    if (heldFeature == feature) {
        heldFeature.reset();
        return Decision{Decision::Kind::stop};
    }
    if (style == ActivationStyle::hold) {
        return Decision{Decision::Kind::ignore};
    }
    heldFeature.reset();
    return Decision{Decision::Kind::toggle, appMode(feature)};
}

} // namespace zentrel
