#pragma once

#include "common/signal.h"

#include <QObject>
#include <QPointer>

class QMenu;
class QSystemTrayIcon;

namespace zentrel {

class AppPreferences;
class TrayFallbackWindow;

// The program's permanent presence: the tray icon with the menu, which shows whether Zentrel is
// enabled. Where the desktop has no tray, a small window offers the same menu instead, so the
// program is never out of reach.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(AppPreferences &preferences, QMenu *menu, QObject *parent = nullptr);
    ~TrayIcon() override;

    // The symbol name of the icon shown now.
    QString iconName() const;

private:
    void updateIcon();

    AppPreferences &m_preferences;
    QMenu *m_menu;
    QSystemTrayIcon *m_trayIcon = nullptr;
    QPointer<TrayFallbackWindow> m_fallbackWindow;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
