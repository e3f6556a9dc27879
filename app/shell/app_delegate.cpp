#include "shell/app_delegate.h"

#include "common/application_paths.h"
#include "common/bundled_fonts.h"
#include "common/files/pending_file.h"
#include "hotkeys/shortcut_recorder.h"
#include "platform/key_grabber.h"
#include "platform/platform_services.h"
#include "platform/sound_player.h"
#include "platform/tray_host_watch.h"
#include "sessions/default_session_store.h"
#include "sessions/session_dialogs.h"
#include "sessions/session_library_model.h"
#include "sessions/sessions_window.h"
#include "shell/commands/command_url.h"
#include "shell/error_alert_box.h"
#include "shell/hotkeys/held_hotkeys_report.h"
#include "shell/hotkeys/hotkey_routing.h"
#include "shell/hotkeys/hotkey_titles.h"
#include "shell/message_box_alert_presenter.h"
#include "shell/onboarding/onboarding_window.h"
#include "shell/settings_window.h"
#include "shell/tray/tray_icon.h"
#include "shell/tray/tray_menu.h"
#include "shell/tray/tray_menu_model.h"
#include "shell/updates/appcast_updater.h"
#include "shell/updates/update_check_alert.h"
#include "shell/window_placement.h"
#include "whiteboard/model/store/whiteboard_library_store.h"

#include <QApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace zentrel {

namespace {

// How often a command waiting for a dialog to close looks again.
constexpr int dialogPollMs = 100;

// How long the alert about lost whiteboard changes stays when a signal ends the program.
constexpr std::chrono::seconds unansweredQuitAlertTime{10};

// A feature run's dialogs and menus (save, open, colour, "…") run an event loop of their own
// inside the run; stopping the run meanwhile would delete their window under their caller.
bool isDialogRunning()
{
    return QThread::currentThread()->loopLevel() > 1;
}

} // namespace

AppDelegate::AppDelegate()
    : m_defaults(JsonFileDefaultsStore::open(defaultsFilePath(), m_clock))
    , m_scheduler(this)
    , m_alerts(new MessageBoxAlertPresenter(this))
    , m_coordinator(std::make_unique<AppCoordinator>(
          *m_defaults, AppCoordinator::Ports{m_overlays, m_screens, *m_alerts, m_scheduler}))
    , m_keyGrabber(makeKeyGrabber())
    , m_hotkeys(
          std::make_unique<hotkeys::HotkeyRegistry>(*m_defaults, *m_keyGrabber, *m_keyGrabber))
    , m_leaderKeyBinder(
          std::make_unique<LeaderKeyBinder>(m_coordinator->preferences(), *m_hotkeys, m_scheduler))
    , m_permissionProbe(makePermissionProbe())
    , m_permissions(std::make_unique<PermissionManager>(*m_permissionProbe))
    , m_launchAtLogin(std::make_unique<LaunchAtLoginManager>(
          autostartEntryPath(), QCoreApplication::applicationFilePath().toStdString()))
    , m_updater(new AppcastUpdater(*m_defaults,
                                   m_clock,
                                   QStringLiteral(ZENTREL_VERSION),
                                   QStringLiteral(ZENTREL_UPDATE_FEED_URL),
                                   this))
    , m_updateService(std::make_unique<UpdateService>(*m_updater))
    , m_onboarding(std::make_unique<OnboardingFlow>(*m_defaults, m_scheduler))
    , m_soundPlayer(makeSoundPlayer())
    , m_trayHost(makeTrayHostWatch())
{
    // What a killed save left beside a file would otherwise stay until that file is next
    // opened; a pending copy written within the last minute may be another save's, still going.
    sweepAbandonedLeftovers(rewrittenFilePaths(),
                            std::filesystem::file_time_type::clock::now() - abandonedPendingAge);
    m_overlays.setPreferences(m_coordinator->preferences());
    m_overlays.setSessionStore(makeDefaultSessionStore(m_clock));
    // Virgil draws hand-drawn text; Excalifont, the hand-drawn font that newer Excalidraw
    // documents name, comes with it so that it is there by name too.
    registerBundledFonts(resourceFolders(), QStringLiteral("Virgil"), QStringLiteral("otf"));
    registerBundledFonts(resourceFolders(), QStringLiteral("Excalifont"), QStringLiteral("otf"));
    m_defaultsWriteConnection = m_defaults->writeFailed.connect(
        [this](const FileError &error) { m_coordinator->reportError(message(error)); });
    connect(m_keyGrabber.get(),
            &KeyGrabber::shortcutPressed,
            this,
            [this](const hotkeys::Shortcut &shortcut) {
                // Keys pressed while a dialog asks something are the dialog's.
                if (!isDialogRunning()) {
                    m_hotkeys->handleKeyDown(shortcut);
                }
            });
    connect(m_keyGrabber.get(),
            &KeyGrabber::shortcutReleased,
            this,
            [this](const hotkeys::Shortcut &shortcut) {
                if (!isDialogRunning()) {
                    m_hotkeys->handleKeyUp(shortcut);
                }
            });
    connect(m_keyGrabber.get(), &KeyGrabber::keymapChanged, this, [this] {
        m_hotkeys->followKeymapChange();
    });
    // Bound before the handlers attach, so a combination another program holds is tried, and
    // reported, once.
    m_leaderKeyBinder->bindAtStart();
    registerHotkeyHandlers(*m_hotkeys, *m_coordinator);
    // Remembered as told only once seen: an alert that never reached the screen tells again.
    if (auto held = heldHotkeysAlert(*m_hotkeys, *m_keyGrabber, *m_defaults)) {
        m_coordinator->reportError(
            held->text, [this, held = *held] { rememberHeldHotkeysTold(held, *m_defaults); });
    }
    // Only once the hot keys are held: a docked icon tells people, and tests, that they work.
    m_trayMenu = new TrayMenu(*m_coordinator, *m_hotkeys, *m_keyGrabber, this);
    m_trayIcon = new TrayIcon(m_coordinator->preferences(), *m_trayHost, m_trayMenu->menu(), this);
    m_modeConnection = m_coordinator->modeChanged.connect(
        [this](AppMode mode) { m_trayIcon->setFeatureRunning(mode != AppMode::idle); });
    connect(m_trayMenu, &TrayMenu::itemChosen, this, [this](const TrayMenuItem &item) {
        runWhenNoDialogRuns([this, item] { onMenuItemChosen(item); });
    });
    connect(m_updater, &AppcastUpdater::checkFinished, this, &showUpdateCheckOutcome);
    // Permissions granted meanwhile show once the user comes back to the program.
    connect(
        qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive) {
                m_permissions->refresh();
            }
        });
    m_onboarding->scheduleAtStart([this] { showOnboarding(); });
    // Whatever ends the program, a running feature closes first, so nothing it keeps is lost.
    // A leader changed just before quitting is bound still: the next start keeps what it finds.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        closeBeforeQuitting(false);
        m_leaderKeyBinder->finishPendingRebind();
    });
}

AppDelegate::~AppDelegate()
{
    // Before the hot keys and the menu that follow the coordinator's mode go away.
    m_coordinator->stopCurrentMode();
}

void AppDelegate::openUrls(const QStringList &urls)
{
    for (const QString &url : urls) {
        m_scheduler.post([this, url] {
            runWhenNoDialogRuns(
                [this, url] { m_coordinator->handleCommandUrl(commandUrlParts(QUrl(url))); });
        });
    }
}

void AppDelegate::revealMenu()
{
    m_trayIcon->reveal();
}

// Commands that may stop the running feature wait until its dialog is answered; they keep
// their order, as each waits the same time.
void AppDelegate::runWhenNoDialogRuns(std::function<void()> command)
{
    if (!isDialogRunning()) {
        command();
        return;
    }
    QTimer::singleShot(dialogPollMs, this, [this, command = std::move(command)]() mutable {
        runWhenNoDialogRuns(std::move(command));
    });
}

void AppDelegate::onMenuItemChosen(const TrayMenuItem &item)
{
    switch (item.command) {
    case TrayMenuItem::Command::none:
        break;
    case TrayMenuItem::Command::setEnabled:
        m_coordinator->preferences().setEnabled(!item.isChecked);
        break;
    case TrayMenuItem::Command::toggleMode:
        m_coordinator->toggleFeature(item.mode);
        break;
    case TrayMenuItem::Command::openSessions:
        openSessions();
        break;
    case TrayMenuItem::Command::checkForUpdates:
        m_updateService->checkForUpdates();
        break;
    case TrayMenuItem::Command::openSettings:
        openSettings();
        break;
    case TrayMenuItem::Command::quit:
        // While the user can still be asked to read what was lost; the handler of aboutToQuit
        // then finds nothing left to close.
        closeBeforeQuitting(true);
        QCoreApplication::quit();
        break;
    }
}

void AppDelegate::closeBeforeQuitting(bool waitForAnswer)
{
    m_coordinator->handleCloseCurrentMode();
    const WhiteboardLibraryStore store(applicationDataFolder(), m_clock, systemUuidRandomSource());
    // Lost changes, or another program's newer library kept aside before they replaced it.
    const std::optional<std::string> lastWord =
        m_overlays.unsavedWhiteboard().saveBeforeQuit(store);
    if (!lastWord) {
        return;
    }
    // The last word says why too: an alert still open about the failed save would stand beside
    // it. Closing one opens the text waiting behind it, so each goes in turn.
    for (QMessageBox *open = m_alerts->currentAlert(); open;) {
        open->close();
        QMessageBox *next = m_alerts->currentAlert();
        open = next != open ? next : nullptr;
    }
    const QString text = QString::fromStdString(*lastWord);
    if (waitForAnswer) {
        showAlertBeforeQuitting(text);
        return;
    }
    // Ended by a signal: the desktop may be going away with nobody there to answer.
    std::fprintf(stderr, "%s\n", lastWord->c_str());
    showAlertBeforeQuitting(text, unansweredQuitAlertTime);
}

void AppDelegate::openSettings()
{
    if (!m_settingsWindow) {
        ShortcutRecorder::Services recorders{
            *m_hotkeys,
            *m_keyGrabber,
            *m_keyGrabber,
            [this] {
                return hotkeyShortcuts(
                    [this](const hotkeys::Name &name) { return m_hotkeys->shortcut(name); });
            },
            *m_soundPlayer};
        m_settingsWindow =
            std::make_unique<SettingsWindow>(SettingsWindow::Services{m_coordinator->preferences(),
                                                                      *m_permissions,
                                                                      *m_launchAtLogin,
                                                                      *m_updateService,
                                                                      std::move(recorders)});
        fitOnActiveScreen(*m_settingsWindow);
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

void AppDelegate::openSessions()
{
    if (!m_sessionsWindow) {
        m_sessionLibrary = std::make_unique<SessionLibraryModel>(makeDefaultSessionStore(m_clock));
        m_sessionDialogs = std::make_unique<QtSessionDialogs>();
        m_sessionsWindow = std::make_unique<SessionsWindow>(*m_sessionLibrary, *m_sessionDialogs);
        fitOnActiveScreen(*m_sessionsWindow);
    }
    m_sessionsWindow->show();
    m_sessionsWindow->raise();
    m_sessionsWindow->activateWindow();
}

void AppDelegate::showOnboarding()
{
    m_onboardingWindow = std::make_unique<OnboardingWindow>(*m_permissions);
    connect(m_onboardingWindow.get(),
            &OnboardingWindow::finished,
            this,
            &AppDelegate::onOnboardingFinished);
    fitOnActiveScreen(*m_onboardingWindow);
    m_onboardingWindow->show();
    m_onboardingWindow->raise();
    m_onboardingWindow->activateWindow();
}

void AppDelegate::onOnboardingFinished(bool completed)
{
    m_onboarding->finish(completed);
    // The window is still inside its own signal.
    if (OnboardingWindow *window = m_onboardingWindow.release()) {
        window->deleteLater();
    }
}

} // namespace zentrel
