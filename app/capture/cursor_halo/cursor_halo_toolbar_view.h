#pragma once

#include "common/signal.h"

#include <QWidget>

namespace zentrel {

class AppPreferences;
class ColorWellButton;
class OverlaySettingsModel;

// The cursor halo's floating strip: the halo colour, the settings button (selected while the
// settings panel shows) and close. The colour is written to the preferences at once; the two
// buttons are reported by signals.
class CursorHaloToolbarView : public QWidget
{
    Q_OBJECT

public:
    CursorHaloToolbarView(AppPreferences &preferences,
                          OverlaySettingsModel &settingsModel,
                          QWidget *parent = nullptr);

Q_SIGNALS:
    void toggleSettingsRequested();
    void closeRequested();

private:
    QWidget *makeContent(OverlaySettingsModel &settingsModel);
    void refresh();

    AppPreferences &m_preferences;
    ColorWellButton *m_color = nullptr;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
