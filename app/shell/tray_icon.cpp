#include "shell/tray_icon.h"

#include "common/symbol_icon.h"
#include "shell/app_preferences.h"

#include <QSystemTrayIcon>

namespace zentrel {

TrayIcon::TrayIcon(AppPreferences &preferences, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_trayIcon(new QSystemTrayIcon(this))
{
    m_trayIcon->setToolTip(QStringLiteral("Zentrel"));
    updateIcon();
    m_preferencesConnection =
        m_preferences.changed.connect([this](AppPreferences::Setting setting) {
            if (setting == AppPreferences::Setting::isEnabled) {
                updateIcon();
            }
        });
    m_trayIcon->show();
}

QString TrayIcon::iconName() const
{
    return m_preferences.isEnabled() ? QStringLiteral("scribble.variable")
                                     : QStringLiteral("scribble");
}

void TrayIcon::updateIcon()
{
    m_trayIcon->setIcon(symbolIcon(iconName()));
}

} // namespace zentrel
