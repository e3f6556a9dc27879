#include "shell/tray/tray_icon.h"

#include "common/escape_key.h"
#include "common/symbol_icon.h"
#include "shell/app_preferences.h"
#include "shell/tray/tray_fallback_window.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace zentrel {

TrayIcon::TrayIcon(AppPreferences &preferences, QMenu *menu, QObject *parent)
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
    updateIcon();
    m_preferencesConnection =
        m_preferences.onChange(AppPreferences::Setting::isEnabled, [this] { updateIcon(); });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_trayIcon->show();
    } else {
        m_fallbackWindow = new TrayFallbackWindow(m_menu);
        m_fallbackWindow->setIcon(symbolIcon(iconName()));
        // Holding the keyboard once its menu has started a feature, it leaves Escape to that run.
        letEscapeThrough(m_fallbackWindow);
        m_fallbackWindow->showInCorner();
    }
}

TrayIcon::~TrayIcon()
{
    delete m_fallbackWindow;
}

QString TrayIcon::iconName() const
{
    return m_preferences.isEnabled() ? QStringLiteral("scribble.variable")
                                     : QStringLiteral("scribble");
}

void TrayIcon::updateIcon()
{
    const QIcon icon = symbolIcon(iconName());
    m_trayIcon->setIcon(icon);
    if (m_fallbackWindow) {
        m_fallbackWindow->setIcon(icon);
    }
}

} // namespace zentrel
