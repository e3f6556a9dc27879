#pragma once

#include "common/signal.h"
#include "shell/tray/tray_menu_model.h"

#include <QObject>

#include <vector>

class QAction;
class QMenu;

namespace zentrel {

class AppCoordinator;

namespace hotkeys {
class HotkeyRegistry;
class KeyCharacterSource;
} // namespace hotkeys

// The tray's menu, brought up to date from the menu model whenever the mode, the enabled switch, a
// feature's hot key or the keyboard layout changes.
class TrayMenu : public QObject
{
    Q_OBJECT

public:
    // Each feature entry shows its hot key as stored in `hotkeys`, written for `layout`, and
    // none while a shortcut recorder records or while another program holds the combination
    // (which opening the menu tries to take again).
    TrayMenu(AppCoordinator &coordinator,
             hotkeys::HotkeyRegistry &hotkeys,
             const hotkeys::KeyCharacterSource &layout,
             QObject *parent = nullptr);
    ~TrayMenu() override;

    QMenu *menu() const { return m_menu; }

Q_SIGNALS:
    void itemChosen(const zentrel::TrayMenuItem &item);

private:
    void rebuild();
    bool hasShapeOf(const std::vector<TrayMenuItem> &items) const;
    void replaceActions(const std::vector<TrayMenuItem> &items);
    std::string shortcutText(PresentationFeature feature) const;

    AppCoordinator &m_coordinator;
    hotkeys::HotkeyRegistry &m_hotkeys;
    const hotkeys::KeyCharacterSource &m_layout;
    QMenu *m_menu;
    // One action for each item, separators included, in menu order.
    std::vector<QAction *> m_actions;
    std::vector<TrayMenuItem> m_items;
    ScopedConnection m_modeConnection;
    ScopedConnection m_preferencesConnection;
    ScopedConnection m_hotkeysConnection;
    ScopedConnection m_recorderConnection;
    ScopedConnection m_refusalsConnection;
    ScopedConnection m_keymapConnection;
};

} // namespace zentrel
