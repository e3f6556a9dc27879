#pragma once

#include "common/signal.h"
#include "shell/tray/way_in.h"

#include <QObject>
#include <QPointer>

class QMenu;
class QSystemTrayIcon;

namespace zentrel {

class AppPreferences;
class TrayFallbackWindow;
class TrayHostWatch;

// The program's permanent presence: the tray icon with the menu, which shows whether Zentrel is
// enabled. Where the desktop has no tray, or while it has none, a small window offers the same
// menu instead, so the program is never out of reach.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(AppPreferences &preferences,
             TrayHostWatch &trayHost,
             QMenu *menu,
             QObject *parent = nullptr);
    ~TrayIcon() override;

    // The symbol name of the icon shown now.
    QString iconName() const;

    // The small window stands back while a feature runs.
    void setFeatureRunning(bool isRunning);

    // Brings the way into the menu back, for a start of `zentrel` while the program runs: the
    // menu at the icon, or the small window, shown again on the screen the pointer is on.
    void reveal();

private:
    void onTrayHostChanged(bool hasTrayHost);
    void onLauncherClosed();
    void onMenuClosed();
    void showWayIn();
    // Made the first time it is needed.
    TrayFallbackWindow &launcher();
    void updateIcon();

    AppPreferences &m_preferences;
    QMenu *m_menu;
    QSystemTrayIcon *m_trayIcon;
    QPointer<TrayFallbackWindow> m_launcher;
    WayInState m_state;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
