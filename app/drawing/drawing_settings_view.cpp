#include "drawing/drawing_settings_view.h"

#include "panels/panel_backdrop.h"
#include "panels/toolbar/settings/roughness_picker.h"
#include "panels/toolbar/settings/settings_value_text.h"
#include "panels/toolbar/settings/toolbar_settings_label.h"
#include "panels/toolbar/settings/toolbar_slider_row.h"
#include "panels/toolbar/settings/toolbar_toggle_row.h"
#include "panels/toolbar/toolbar_preset_button.h"
#include "shell/app_preferences.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QVBoxLayout>

#include <cmath>

namespace zentrel {

DrawingSettingsView::DrawingSettingsView(AppPreferences &preferences, QWidget *parent)
    : FeatureSettingsView(preferences, parent)
{
    setRows(makeContent());
}

QString DrawingSettingsView::formattedFadeDuration(bool autoFade, double seconds)
{
    if (!autoFade) {
        return QStringLiteral("Off");
    }
    return QLocale().toString(seconds, 'f', 1) + QStringLiteral(" s");
}

QWidget *DrawingSettingsView::makeContent()
{
    auto *content = new QWidget(this);
    m_lineWidth = new ToolbarSliderRow(QStringLiteral("Line width"), 1, 16, 1, content);
    connect(m_lineWidth, &ToolbarSliderRow::valueChanged, this, [this](double width) {
        m_preferences.setLineWidth(width);
    });
    m_roughness = new RoughnessPicker(content);
    m_roughness->setTitleVisible(false);
    connect(m_roughness, &RoughnessPicker::levelChosen, this, [this](RoughnessLevel level) {
        m_preferences.setRoughnessLevel(level);
    });
    m_highContrast = new ToolbarToggleRow(QStringLiteral("High contrast"), content);
    connect(m_highContrast, &ToolbarToggleRow::clicked, this, [this](bool on) {
        m_preferences.setHighContrastDrawing(on);
    });
    m_contrastOutline = new ToolbarToggleRow(QStringLiteral("Contrast outline"), content);
    connect(m_contrastOutline, &ToolbarToggleRow::clicked, this, [this](bool on) {
        m_preferences.setHighContrastOutline(on);
    });
    m_autoFade = new ToolbarToggleRow(QStringLiteral("Fade drawings"), content);
    connect(m_autoFade, &ToolbarToggleRow::clicked, this, [this](bool on) {
        m_preferences.setAutoFade(on);
    });
    m_fadeDuration = new ToolbarSliderRow(QStringLiteral("Fade after"), 3, 10, 1, content);
    connect(m_fadeDuration, &ToolbarSliderRow::valueChanged, this, [this](double seconds) {
        m_preferences.setFadeDuration(seconds);
    });

    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(new ToolbarSettingsLabel(QStringLiteral("Stroke"), content));
    layout->addWidget(m_lineWidth);
    layout->addWidget(m_roughness);
    layout->addWidget(new ToolbarSettingsLabel(QStringLiteral("Contrast"), content));
    layout->addWidget(m_highContrast);
    layout->addWidget(m_contrastOutline);
    layout->addWidget(new ToolbarSettingsLabel(QStringLiteral("Auto fade"), content));
    layout->addWidget(m_autoFade);
    layout->addWidget(m_fadeDuration);
    layout->addWidget(makeFadePresets(content));
    return content;
}

QWidget *DrawingSettingsView::makeFadePresets(QWidget *parent)
{
    auto *presets = new QWidget(parent);
    auto *row = new QHBoxLayout(presets);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (const int seconds : {3, 5, 10}) {
        auto *preset = new ToolbarPresetButton(QStringLiteral("%1s").arg(seconds), presets);
        connect(preset, &ToolbarPresetButton::clicked, this, [this, seconds] {
            m_preferences.setAutoFade(true);
            m_preferences.setFadeDuration(seconds);
        });
        m_fadePresets.emplace_back(seconds, preset);
        row->addWidget(preset);
    }
    m_fadeOff = new ToolbarPresetButton(QStringLiteral("Off"), presets);
    connect(m_fadeOff, &ToolbarPresetButton::clicked, this, [this] {
        m_preferences.setAutoFade(false);
    });
    row->addWidget(m_fadeOff);
    row->addStretch();
    return presets;
}

void DrawingSettingsView::refresh()
{
    const AppPreferences &preferences = m_preferences;
    m_lineWidth->setValue(preferences.lineWidth());
    m_lineWidth->setFormattedValue(pointsText(preferences.lineWidth()));
    m_roughness->setLevel(preferences.roughnessLevel());
    m_highContrast->setChecked(preferences.highContrastDrawing());
    m_contrastOutline->setChecked(preferences.highContrastOutline());
    m_contrastOutline->setEnabled(preferences.highContrastDrawing());
    m_autoFade->setChecked(preferences.autoFade());
    m_fadeDuration->setValue(preferences.fadeDuration());
    m_fadeDuration->setFormattedValue(
        formattedFadeDuration(preferences.autoFade(), preferences.fadeDuration()));
    m_fadeDuration->setEnabled(preferences.autoFade());
    for (const auto &[seconds, preset] : m_fadePresets) {
        preset->setSelected(preferences.autoFade() && preferences.fadeDuration() == seconds);
    }
    m_fadeOff->setSelected(!preferences.autoFade());
}

} // namespace zentrel
