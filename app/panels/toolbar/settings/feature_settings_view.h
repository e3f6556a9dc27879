#pragma once

#include "common/signal.h"

#include <QWidget>

namespace zentrel {

class AppPreferences;

// A feature's settings panel: its rows in the settings frame, every control writing its
// preference at once and showing the preferences whoever changes them.
class FeatureSettingsView : public QWidget
{
    Q_OBJECT

protected:
    FeatureSettingsView(AppPreferences &preferences, QWidget *parent);

    // Puts the rows in the frame and shows the current preferences, now and after each change.
    void setRows(QWidget *rows);

    virtual void refresh() = 0;

    AppPreferences &m_preferences;

private:
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
