#pragma once

#include "common/signal.h"
#include "shell/app_mode.h"
#include "shell/app_preferences.h"
#include "shell/error_alert_queue.h"
#include "shell/hotkeys/hotkey_activation_state.h"
#include "shell/overlay_controller.h"
#include "shell/presentation_command.h"
#include "shell/shell_ports.h"

#include <cstdint>
#include <memory>

namespace zentrel {

// The spine of the program: keeps the one running feature and routes every request from the
// menu, hot keys and command URLs to it. Lives for the whole run.
class AppCoordinator
{
public:
    struct Ports
    {
        OverlayFactory &overlays;
        ScreenLocator &screens;
        AlertPresenter &alerts;
        Scheduler &scheduler;
    };

    AppCoordinator(DefaultsStore &defaults, Ports ports);
    AppCoordinator(const AppCoordinator &) = delete;
    AppCoordinator &operator=(const AppCoordinator &) = delete;
    ~AppCoordinator();

    AppMode mode() const { return m_mode; }

    AppPreferences &preferences() { return m_preferences; }

    HotkeyActivationState &hotkeyActivationState() { return m_hotkeyActivationState; }

    void toggleFeature(AppMode mode);
    void activateFeature(AppMode mode);
    void stopCurrentMode();
    void performOverlayAction(const PresentationAction &action);
    void handleCommandUrl(const CommandUrlParts &url);
    // `shown` is called once the alert with the text has been on screen.
    void reportError(const std::string &text, std::function<void()> shown = {});

    // What a feature's hot key does on press and on release, by its activation style.
    void handleHotkeyDown(PresentationFeature feature);
    void handleHotkeyUp(PresentationFeature feature);
    // Stops the running feature and forgets a held feature key, so its release starts nothing.
    void handleCloseCurrentMode();

    // Sent after the mode changed.
    Signal<AppMode> modeChanged;

private:
    void startMode(AppMode mode);
    void handleOverlayExit(std::uint64_t run, AppMode mode);
    void dispatch(const PresentationCommand &command);
    void carryOut(const HotkeyActivationDecision &decision);
    void setMode(AppMode mode);

    AppPreferences m_preferences;
    Ports m_ports;
    ErrorAlertQueue m_errorAlerts;
    HotkeyActivationState m_hotkeyActivationState;
    AppMode m_mode = AppMode::idle;
    std::unique_ptr<OverlayController> m_overlay;
    // Tells the exit of the current run from a late exit of an earlier one.
    std::uint64_t m_run = 0;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
