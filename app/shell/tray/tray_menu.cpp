#include "shell/tray/tray_menu.h"

#include "hotkeys/hotkey_registry.h"
#include "hotkeys/shortcut_text.h"
#include "shell/app_coordinator.h"
#include "shell/hotkeys/hotkey_names.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <utility>

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
    std::vector<TrayMenuItem> items =
        trayMenuItems(m_coordinator.preferences().isEnabled(),
                      m_coordinator.mode(),
                      [this](PresentationFeature feature) { return shortcutText(feature); });
    // The entries are changed in place, never taken away while the menu may be open: a menu
    // emptied for a moment shrinks to nothing, the server unmaps it and ends its hold on the
    // keyboard, and the menu then shows without hearing any key.
    if (!hasShapeOf(items)) {
        replaceActions(items);
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TrayMenuItem &item = items[i];
        if (item.isSeparator()) {
            continue;
        }
        // A tab puts the shortcut in the menu's shortcut column without binding the key here.
        // A lone "&" would mark a mnemonic ("Zevizu & Vozurir"); doubled, it shows as itself.
        QString text =
            QString::fromStdString(item.title).replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (!item.shortcut.empty()) {
            text += QLatin1Char('\t') + QString::fromStdString(item.shortcut);
        }
        QAction *action = m_actions[i];
        action->setText(text);
        action->setCheckable(item.isCheckable || item.isChecked);
        action->setChecked(item.isChecked);
        action->setEnabled(item.isEnabled);
    }
    m_items = std::move(items);
}

bool TrayMenu::hasShapeOf(const std::vector<TrayMenuItem> &items) const
{
    return std::ranges::equal(
        items, m_items, [](const TrayMenuItem &one, const TrayMenuItem &other) {
            return one.isSeparator() == other.isSeparator();
        });
}

// The new entries come in before the old ones go, so the menu is never empty.
void TrayMenu::replaceActions(const std::vector<TrayMenuItem> &items)
{
    const std::vector<QAction *> old = std::exchange(m_actions, {});
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].isSeparator()) {
            m_actions.push_back(m_menu->addSeparator());
            continue;
        }
        QAction *action = m_menu->addAction(QString());
        // The entry as the user saw it, handed on once the menu has closed: handling the choice
        // may change the menu.
        connect(action, &QAction::triggered, this, [this, i] {
            QMetaObject::invokeMethod(
                this, [this, item = m_items[i]] { Q_EMIT itemChosen(item); }, Qt::QueuedConnection);
        });
        m_actions.push_back(action);
    }
    for (QAction *action : old) {
        m_menu->removeAction(action);
        delete action;
    }
}

} // namespace zentrel
