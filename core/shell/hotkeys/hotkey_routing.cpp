#include "shell/hotkeys/hotkey_routing.h"

#include "hotkeys/hotkey_registry.h"
#include "shell/app_coordinator.h"
#include "shell/hotkeys/hotkey_names.h"

namespace zentrel {

void registerHotkeyHandlers(hotkeys::HotkeyRegistry &registry, AppCoordinator &coordinator)
{
    for (const HotkeyCommand &command : hotkeyCommands()) {
        registry.declare(command.name);
        switch (command.kind) {
        case HotkeyCommand::Kind::feature:
            registry.onKeyDown(command.name, [&coordinator, feature = command.feature] {
                coordinator.handleHotkeyDown(feature);
            });
            registry.onKeyUp(command.name, [&coordinator, feature = command.feature] {
                coordinator.handleHotkeyUp(feature);
            });
            break;
        case HotkeyCommand::Kind::breakTimer:
            registry.onKeyUp(command.name,
                             [&coordinator] { coordinator.toggleFeature(AppMode::breakTimer); });
            break;
        case HotkeyCommand::Kind::closeCurrentMode:
            registry.onKeyUp(command.name,
                             [&coordinator] { coordinator.handleCloseCurrentMode(); });
            break;
        case HotkeyCommand::Kind::action:
            registry.onKeyUp(command.name, [&coordinator, action = command.action] {
                coordinator.performOverlayAction(action);
            });
            break;
        }
    }
}

} // namespace zentrel
