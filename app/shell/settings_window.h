#pragma once

#include "common/modifier_flags.h"
#include "common/signal.h"

#include <QWidget>

#include <utility>
#include <vector>

class QCheckBox;

namespace zentrel {

class AppPreferences;

// The settings window; its switches read and write the preferences directly.
class SettingsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsWindow(AppPreferences &preferences);

private:
    QWidget *makeGeneralTab();
    QWidget *makeHotkeysTab();
    void refresh();

    AppPreferences &m_preferences;
    QCheckBox *m_enabled = nullptr;
    QCheckBox *m_externalCommandUrls = nullptr;
    std::vector<std::pair<ModifierFlag, QCheckBox *>> m_leaderToggles;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
