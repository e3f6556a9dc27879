#pragma once

#include "common/signal.h"

#include <QObject>

class QSystemTrayIcon;

namespace zentrel {

class AppPreferences;

// The program's permanent presence: the tray icon, which shows whether Zentrel is enabled.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    explicit TrayIcon(AppPreferences &preferences, QObject *parent = nullptr);

    // The symbol name of the icon shown now.
    QString iconName() const;

private:
    void updateIcon();

    AppPreferences &m_preferences;
    QSystemTrayIcon *m_trayIcon = nullptr;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
