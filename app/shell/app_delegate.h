#pragma once

#include "common/clock.h"
#include "common/qt_shell_ports.h"
#include "common/settings/json_file_defaults_store.h"
#include "hotkeys/hotkey_registry.h"
#include "overlay/overlay_window_controller.h"
#include "shell/app_coordinator.h"
#include "shell/hotkeys/leader_key_binding.h"
#include "shell/login/launch_at_login_manager.h"
#include "shell/onboarding/onboarding_flow.h"
#include "shell/onboarding/permission_manager.h"
#include "shell/updates/update_service.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace zentrel {

class AppcastUpdater;
class KeyGrabber;
class MessageBoxAlertPresenter;
class OnboardingWindow;
class SessionLibraryModel;
class SessionsWindow;
class QtSessionDialogs;
class SettingsWindow;
class SoundPlayer;
class TrayHostWatch;
class TrayIcon;
class TrayMenu;
struct TrayMenuItem;

// Builds the program's objects at start and keeps them for the whole run: the settings, the
// coordinator and what it talks to, the tray, the windows and the command-URL server.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    AppDelegate();
    ~AppDelegate() override;

    // Handles each URL in its own turn of the event loop, in order.
    void openUrls(const QStringList &urls);

    // For a start of `zentrel` without URLs: the menu or the small window in place of the tray.
    void revealMenu();

private:
    void runWhenNoDialogRuns(std::function<void()> command);
    void onMenuItemChosen(const TrayMenuItem &item);
    // The running feature closes, and what the whiteboard could not write is tried once more;
    // when that fails too the user is told, and waited for when the quit came from the menu.
    void closeBeforeQuitting(bool waitForAnswer);
    void openSettings();
    void openSessions();
    void showOnboarding();
    void onOnboardingFinished(bool completed);

    SystemClock m_clock;
    std::unique_ptr<JsonFileDefaultsStore> m_defaults;
    QtScreenLocator m_screens;
    QtScheduler m_scheduler;
    OverlayWindowControllerFactory m_overlays;
    MessageBoxAlertPresenter *m_alerts;
    std::unique_ptr<AppCoordinator> m_coordinator;
    std::unique_ptr<KeyGrabber> m_keyGrabber;
    std::unique_ptr<hotkeys::HotkeyRegistry> m_hotkeys;
    std::unique_ptr<LeaderKeyBinder> m_leaderKeyBinder;
    std::unique_ptr<PermissionProbe> m_permissionProbe;
    std::unique_ptr<PermissionManager> m_permissions;
    std::unique_ptr<LaunchAtLoginManager> m_launchAtLogin;
    AppcastUpdater *m_updater;
    std::unique_ptr<UpdateService> m_updateService;
    std::unique_ptr<OnboardingFlow> m_onboarding;
    std::unique_ptr<OnboardingWindow> m_onboardingWindow;
    std::unique_ptr<SoundPlayer> m_soundPlayer;
    std::unique_ptr<TrayHostWatch> m_trayHost;
    TrayMenu *m_trayMenu = nullptr;
    TrayIcon *m_trayIcon = nullptr;
    std::unique_ptr<SettingsWindow> m_settingsWindow;
    // Made when the window first opens, then kept for the run.
    std::unique_ptr<SessionLibraryModel> m_sessionLibrary;
    std::unique_ptr<QtSessionDialogs> m_sessionDialogs;
    std::unique_ptr<SessionsWindow> m_sessionsWindow;
    ScopedConnection m_defaultsWriteConnection;
    ScopedConnection m_modeConnection;
};

} // namespace zentrel
