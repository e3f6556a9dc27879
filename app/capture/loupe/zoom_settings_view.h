#pragma once

#include "panels/toolbar/settings/feature_settings_view.h"

#include <QWidget>

namespace zentrel {

class AppPreferences;
class ToolbarSliderRow;

// The zoom loupe's settings panel: its size and magnification, written at once.
class ZoomSettingsView : public FeatureSettingsView
{
    Q_OBJECT

public:
    explicit ZoomSettingsView(AppPreferences &preferences, QWidget *parent = nullptr);

    // "2.0x": one fraction digit in the user's locale.
    static QString magnificationText(double zoom);

private:
    void refresh() override;

    ToolbarSliderRow *m_size = nullptr;
    ToolbarSliderRow *m_magnification = nullptr;
};

} // namespace zentrel
