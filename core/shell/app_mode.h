#pragma once

#include "shell/presentation_feature.h"

#include <optional>

namespace zentrel {

// The feature that runs, or idle. Every feature has the mode of the same name, one position
// further along.
enum class AppMode {
    idle,
    drawing,
    zooming,
    spotlight,
    freeze,
    whiteboard,
    breakTimer,
    cursorHalo,
};

constexpr AppMode appMode(PresentationFeature feature)
{
    return static_cast<AppMode>(static_cast<int>(feature) + 1);
}

constexpr std::optional<PresentationFeature> presentationFeature(AppMode mode)
{
    if (mode == AppMode::idle) {
        return std::nullopt;
    }
    return static_cast<PresentationFeature>(static_cast<int>(mode) - 1);
}

} // namespace zentrel
