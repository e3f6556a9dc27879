#pragma once

#include "common/signal.h"

#include <QWidget>

namespace zentrel {

class AppPreferences;
class ColorWellButton;
class ToolbarSliderRow;

// The spotlight's settings panel: size (the clear circle's radius), darkness, feather and dim
// colour. Every control writes its preference at once and shows the preferences whoever
// changes them.
class SpotlightSettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit SpotlightSettingsView(AppPreferences &preferences, QWidget *parent = nullptr);

private:
    QWidget *makeContent();
    QWidget *makeDimColorRow(QWidget *parent);
    void refresh();

    AppPreferences &m_preferences;
    ToolbarSliderRow *m_size = nullptr;
    ToolbarSliderRow *m_darkness = nullptr;
    ToolbarSliderRow *m_feather = nullptr;
    ColorWellButton *m_dimColor = nullptr;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
