#pragma once

#include "shell/app_mode.h"

#include <functional>
#include <string>
#include <vector>

namespace zentrel {

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
