#pragma once

#include "common/settings/modifier_flags.h"
#include "common/signal.h"
#include "hotkeys/hotkey_name.h"
#include "hotkeys/shortcut_recorder.h"

#include <QWidget>

#include <utility>
#include <vector>

class QCheckBox;
class QLabel;

namespace zentrel {

class AppPreferences;

// The settings window's Hotkeys tab: the leader toggles, a recorder for each feature's key, and
// what keeps a hot key from working: another program holding its combination, or another of the
// program's hot keys storing the same one. Showing the tab tries the held ones again.
class HotkeysTab : public QWidget
{
    Q_OBJECT

public:
    HotkeysTab(AppPreferences &preferences,
               const ShortcutRecorder::Services &recorders,
               QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeLeaderGroup();
    QWidget *makeShortcutsGroup();
    void showLeader();
    // What names keys: the caption and the shared pairs follow the keyboard layout.
    void showKeyTexts();
    void showObstacles();

    AppPreferences &m_preferences;
    ShortcutRecorder::Services m_recorders;
    std::vector<std::pair<ModifierFlag, QCheckBox *>> m_leaderToggles;
    std::vector<std::pair<hotkeys::Name, QLabel *>> m_heldMarks;
    QLabel *m_shared = nullptr;
    QLabel *m_leaderCaption = nullptr;
    ScopedConnection m_preferencesConnection;
    ScopedConnection m_shortcutsConnection;
    ScopedConnection m_refusalsConnection;
    ScopedConnection m_keymapConnection;
};

} // namespace zentrel
