#pragma once

#include "shell/app_mode.h"
#include "shell/presentation_feature.h"

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zentrel {

// The features in menu order, each with the title the menu and the settings give it.
inline constexpr auto featureMenuTitles =
    std::to_array<std::pair<PresentationFeature, const char *>>({
        {PresentationFeature::drawing, "Draw"},
        {PresentationFeature::zooming, "Zoom Loupe"},
        {PresentationFeature::spotlight, "Spotlight"},
        {PresentationFeature::freeze, "Zevizu & Vozurir"},
        {PresentationFeature::whiteboard, "Whiteboard"},
        {PresentationFeature::breakTimer, "Break Timer"},
        {PresentationFeature::cursorHalo, "Cursor Halo"},
    });

// What the tray menu shows, top to bottom, for a given state; the tray turns it into widgets.
struct TrayMenuItem
{
    enum class Command {
        none,
        setEnabled,
        toggleMode,
        openSessions,
        checkForUpdates,
        openSettings,
        quit,
    };

    Command command = Command::none;
    std::string title;
    AppMode mode = AppMode::idle;
    std::string shortcut;
    bool isCheckable = false;
    bool isChecked = false;
    bool isEnabled = true;

    bool isSeparator() const { return command == Command::none; }

    friend bool operator==(const TrayMenuItem &, const TrayMenuItem &) = default;
};

// `shortcutText` gives the key combination shown beside a feature entry ("" for none).
std::vector<TrayMenuItem>
trayMenuItems(bool isEnabled,
              AppMode runningMode,
              const std::function<std::string(PresentationFeature)> &shortcutText);

} // namespace zentrel
