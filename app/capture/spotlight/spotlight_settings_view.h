#pragma once

#include "panels/toolbar/settings/feature_settings_view.h"

#include <QWidget>

namespace zentrel {

class AppPreferences;
class ColorWellButton;
class ToolbarSliderRow;

// The spotlight's settings panel: size (the clear circle's radius), darkness, feather and dim
// colour. Every control writes its preference at once and shows the preferences whoever
// changes them.
class SpotlightSettingsView : public FeatureSettingsView
{
    Q_OBJECT

public:
    explicit SpotlightSettingsView(AppPreferences &preferences, QWidget *parent = nullptr);

private:
    QWidget *makeContent();
    QWidget *makeDimColorRow(QWidget *parent);
    void refresh() override;

    ToolbarSliderRow *m_size = nullptr;
    ToolbarSliderRow *m_darkness = nullptr;
    ToolbarSliderRow *m_feather = nullptr;
    ColorWellButton *m_dimColor = nullptr;
};

} // namespace zentrel
