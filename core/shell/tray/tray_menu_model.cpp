#include "shell/tray/tray_menu_model.h"

namespace zentrel {

std::vector<TrayMenuItem>
trayMenuItems(bool isEnabled,
              AppMode runningMode,
              const std::function<std::string(PresentationFeature)> &shortcutText)
{
    using Command = TrayMenuItem::Command;

    const auto button = [](Command command, const char *title) {
        TrayMenuItem item;
        item.command = command;
        item.title = title;
        return item;
    };

    std::vector<TrayMenuItem> items;
    TrayMenuItem enable = button(Command::setEnabled, "Enable Zentrel");
    enable.isCheckable = true;
    enable.isChecked = isEnabled;
    items.push_back(enable);
    items.push_back(TrayMenuItem{});
    for (const auto &[feature, title] : featureMenuTitles) {
        TrayMenuItem entry = button(Command::toggleMode, title);
        entry.mode = appMode(feature);
        entry.shortcut = shortcutText(feature);
        entry.isChecked = runningMode == entry.mode;
        entry.isEnabled = isEnabled;
        items.push_back(entry);
    }
    items.push_back(TrayMenuItem{});
    items.push_back(button(Command::openSessions, "Sessions..."));
    items.push_back(button(Command::checkForUpdates, "Check for Updates\u2026"));
    items.push_back(button(Command::openSettings, "Settings..."));
    items.push_back(button(Command::quit, "Quit Zentrel"));
    return items;
}

} // namespace zentrel
