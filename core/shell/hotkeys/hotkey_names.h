#pragma once

#include "hotkeys/hotkey_name.h"
#include "shell/presentation_action.h"
#include "shell/presentation_feature.h"

#include <optional>
#include <vector>

namespace zentrel {

// The program's 26 global hot keys and what each one asks for.
struct HotkeyCommand
{
    enum class Kind {
        feature,
        breakTimer,
        closeCurrentMode,
        action,
    };

    hotkeys::Name name;
    Kind kind = Kind::action;
    PresentationFeature feature = PresentationFeature::drawing;
    PresentationAction action;
};

// In the order their handlers are attached.
const std::vector<HotkeyCommand> &hotkeyCommands();

const hotkeys::Name &hotkeyName(std::string_view rawValue);

// The name whose key toggles or holds a feature.
const hotkeys::Name &featureHotkeyName(PresentationFeature feature);

} // namespace zentrel
