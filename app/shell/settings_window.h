#pragma once

#include "common/signal.h"

#include <QWidget>

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
    void refresh();

    AppPreferences &m_preferences;
    QCheckBox *m_enabled = nullptr;
    QCheckBox *m_externalCommandUrls = nullptr;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
