#pragma once

#include "panels/toolbar/settings/feature_settings_view.h"

#include <QWidget>

#include <utility>
#include <vector>

namespace zentrel {

class AppPreferences;
class RoughnessPicker;
class ToolbarPresetButton;
class ToolbarSliderRow;
class ToolbarToggleRow;

// The live-drawing settings panel: line width, roughness, contrast and auto fade. Every
// control writes its preference at once and shows the preferences whoever changes them.
class DrawingSettingsView : public FeatureSettingsView
{
    Q_OBJECT

public:
    explicit DrawingSettingsView(AppPreferences &preferences, QWidget *parent = nullptr);

    // "4.0 s" in the current locale while auto fade is on, else "Off".
    static QString formattedFadeDuration(bool autoFade, double seconds);

private:
    QWidget *makeContent();
    QWidget *makeFadePresets(QWidget *parent);
    void refresh() override;

    ToolbarSliderRow *m_lineWidth = nullptr;
    RoughnessPicker *m_roughness = nullptr;
    ToolbarToggleRow *m_highContrast = nullptr;
    ToolbarToggleRow *m_contrastOutline = nullptr;
    ToolbarToggleRow *m_autoFade = nullptr;
    ToolbarSliderRow *m_fadeDuration = nullptr;
    // The duration presets with their seconds; the one of the current duration shows selected
    // while auto fade is on.
    std::vector<std::pair<int, ToolbarPresetButton *>> m_fadePresets;
    ToolbarPresetButton *m_fadeOff = nullptr;
};

} // namespace zentrel
