#include "shell/tray/tray_icon.h"

#include "common/escape_key.h"
#include "common/symbol_icon.h"
#include "platform/platform_services.h"
#include "platform/tray_host_watch.h"
#include "shell/app_preferences.h"
#include "shell/tray/tray_fallback_window.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace zentrel {

TrayIcon::TrayIcon(AppPreferences &preferences,
                   TrayHostWatch &trayHost,
                   QMenu *menu,
                   QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_menu(menu)
    , m_trayIcon(new QSystemTrayIcon(this))
{
    m_trayIcon->setToolTip(QStringLiteral("Zentrel"));
    m_trayIcon->setContextMenu(m_menu);
    // Most Linux trays open the menu on a left click too.
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](auto reason) {
        if (reason == QSystemTrayIcon::Trigger) {
            m_menu->popup(QCursor::pos());
        }
    });
    connect(m_menu, &QMenu::aboutToHide, this, &TrayIcon::onMenuClosed);
    updateIcon();
    m_preferencesConnection =
        m_preferences.onChange(AppPreferences::Setting::isEnabled, [this] { updateIcon(); });
    connect(&trayHost, &TrayHostWatch::trayHostChanged, this, &TrayIcon::onTrayHostChanged);
    m_state.hasTrayHost = trayHost.hasTrayHost();
    showWayIn();
}

TrayIcon::~TrayIcon()
{
    delete m_launcher;
}

QString TrayIcon::iconName() const
{
    return m_preferences.isEnabled() ? QStringLiteral("scribble.variable")
                                     : QStringLiteral("scribble");
}

void TrayIcon::setFeatureRunning(bool isRunning)
{
    m_state.isFeatureRunning = isRunning;
    showWayIn();
}

void TrayIcon::reveal()
{
    const bool isIconPlaceKnown = m_trayIcon->isVisible() && !m_trayIcon->geometry().isEmpty();
    if (revealFor(m_state.hasTrayHost, isIconPlaceKnown) == Reveal::menuAtIcon) {
        m_menu->popup(m_trayIcon->geometry().bottomLeft());
        return;
    }
    m_state.launcherWish = LauncherWish::called;
    // During a run it waits for the end, then comes back where it was.
    if (!wayInFor(m_state).showsLauncher) {
        showWayIn();
        return;
    }
    const bool wasShown = m_launcher && m_launcher->isVisible();
    launcher().showInCorner();
    // Shown anew, it is on top already and takes the keyboard as it maps.
    if (wasShown) {
        m_launcher->raise();
        activateOwnWindow(m_launcher);
    }
}

// A tray that came or went is a new desktop: what the user did with the small window before
// no longer counts.
void TrayIcon::onTrayHostChanged(bool hasTrayHost)
{
    m_state.hasTrayHost = hasTrayHost;
    m_state.launcherWish = LauncherWish::asTheTrayGoes;
    showWayIn();
}

void TrayIcon::onLauncherClosed()
{
    m_state.launcherWish = LauncherWish::closed;
    showWayIn();
}

// The small window called beside a tray has done its job once its menu was used.
void TrayIcon::onMenuClosed()
{
    if (m_state.hasTrayHost && m_state.launcherWish == LauncherWish::called) {
        m_state.launcherWish = LauncherWish::asTheTrayGoes;
        showWayIn();
    }
}

void TrayIcon::showWayIn()
{
    const WayIn wayIn = wayInFor(m_state);
    // Shown anew on a tray that has just come, the icon docks in it.
    m_trayIcon->setVisible(wayIn.showsTrayIcon);
    if (wayIn.showsLauncher) {
        if (!launcher().isVisible()) {
            m_launcher->comeBack();
        }
    } else if (m_launcher) {
        m_launcher->hide();
    }
}

TrayFallbackWindow &TrayIcon::launcher()
{
    if (!m_launcher) {
        m_launcher = new TrayFallbackWindow(m_menu);
        m_launcher->setIcon(symbolIcon(iconName()));
        // Holding the keyboard once its menu has started a feature, it leaves Escape to that run.
        letEscapeThrough(m_launcher);
        connect(m_launcher, &TrayFallbackWindow::closed, this, &TrayIcon::onLauncherClosed);
    }
    return *m_launcher;
}

void TrayIcon::updateIcon()
{
    const QIcon icon = symbolIcon(iconName());
    m_trayIcon->setIcon(icon);
    if (m_launcher) {
        m_launcher->setIcon(icon);
    }
}

} // namespace zentrel
