#include "shell/tray/tray_menu.h"

#include "hotkeys/hotkey_registry.h"
#include "hotkeys/shortcut_text.h"
#include "shell/app_coordinator.h"
#include "shell/hotkeys/hotkey_names.h"

#include <QAction>
#include <QMenu>

namespace zentrel {

TrayMenu::TrayMenu(AppCoordinator &coordinator,
                   hotkeys::HotkeyRegistry &hotkeys,
                   const hotkeys::KeyCharacterSource &layout,
                   QObject *parent)
    : QObject(parent)
    , m_coordinator(coordinator)
    , m_hotkeys(hotkeys)
    , m_layout(layout)
    , m_menu(new QMenu)
{
    rebuild();
    m_modeConnection = m_coordinator.modeChanged.connect([this](AppMode) { rebuild(); });
    m_preferencesConnection = m_coordinator.preferences().onChange(
        AppPreferences::Setting::isEnabled, [this] { rebuild(); });
    // Only the features' own keys show in the menu; the leader rebinds two dozen names at once.
    m_hotkeysConnection = m_hotkeys.shortcutChanged.connect([this](const std::string &name) {
        for (const auto &[feature, title] : featureMenuTitles) {
            if (featureHotkeyName(feature).rawValue == name) {
                rebuild();
                return;
            }
        }
    });
    m_recorderConnection = m_hotkeys.recorderActiveChanged.connect([this](bool) { rebuild(); });
    m_refusalsConnection = m_hotkeys.refusalsChanged.connect([this] { rebuild(); });
    // "Ctrl+Alt+Z" on one layout is "Ctrl+Alt+Y" on another.
    m_keymapConnection = m_hotkeys.keymapChanged.connect([this] { rebuild(); });
    connect(m_menu, &QMenu::aboutToShow, this, [this] { m_hotkeys.retryRefused(); });
}

std::string TrayMenu::shortcutText(PresentationFeature feature) const
{
    const hotkeys::Name &name = featureHotkeyName(feature);
    const auto shortcut = m_hotkeys.shortcutToShow(name);
    return shortcut && !m_hotkeys.isHeldElsewhere(name) ? hotkeys::menuText(*shortcut, m_layout)
                                                        : std::string();
}

TrayMenu::~TrayMenu()
{
    delete m_menu;
}

void TrayMenu::rebuild()
{
    m_menu->clear();
    const auto items =
        trayMenuItems(m_coordinator.preferences().isEnabled(),
                      m_coordinator.mode(),
                      [this](PresentationFeature feature) { return shortcutText(feature); });
    for (const TrayMenuItem &item : items) {
        if (item.isSeparator()) {
            m_menu->addSeparator();
            continue;
        }
        // A tab puts the shortcut in the menu's shortcut column without binding the key here.
        // A lone "&" would mark a mnemonic ("Zevizu & Vozurir"); doubled, it shows as itself.
        QString text =
            QString::fromStdString(item.title).replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (!item.shortcut.empty()) {
            text += QLatin1Char('\t') + QString::fromStdString(item.shortcut);
        }
        QAction *action = m_menu->addAction(text);
        action->setCheckable(item.isCheckable || item.isChecked);
        action->setChecked(item.isChecked);
        action->setEnabled(item.isEnabled);
        // Queued: handling the choice rebuilds the menu, which deletes this very action.
        connect(
            action,
            &QAction::triggered,
            this,
            [this, item] { Q_EMIT itemChosen(item); },
            Qt::QueuedConnection);
    }
}

} // namespace zentrel
