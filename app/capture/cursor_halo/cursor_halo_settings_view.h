#pragma once

#include "panels/toolbar/settings/feature_settings_view.h"

#include <QWidget>

namespace zentrel {

class AppPreferences;
class ToolbarSliderRow;

// The cursor halo's settings panel: size, opacity and the ripples' border. Every slider writes
// its preference at once and shows the preferences whoever changes them.
class CursorHaloSettingsView : public FeatureSettingsView
{
    Q_OBJECT

public:
    explicit CursorHaloSettingsView(AppPreferences &preferences, QWidget *parent = nullptr);

private:
    QWidget *makeContent();
    void refresh() override;

    ToolbarSliderRow *m_size = nullptr;
    ToolbarSliderRow *m_opacity = nullptr;
    ToolbarSliderRow *m_border = nullptr;
};

} // namespace zentrel
