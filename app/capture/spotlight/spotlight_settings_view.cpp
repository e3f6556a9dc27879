#include "capture/spotlight/spotlight_settings_view.h"

#include "capture/color_well_button.h"
#include "common/qt_conversions.h"
#include "panels/panel_backdrop.h"
#include "panels/panel_style.h"
#include "panels/toolbar/settings/settings_value_text.h"
#include "panels/toolbar/settings/toolbar_slider_row.h"
#include "shell/app_preferences.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace zentrel {

SpotlightSettingsView::SpotlightSettingsView(AppPreferences &preferences, QWidget *parent)
    : FeatureSettingsView(preferences, parent)
{
    setRows(makeContent());
}

QWidget *SpotlightSettingsView::makeContent()
{
    auto *content = new QWidget(this);
    m_size = new ToolbarSliderRow(QStringLiteral("Size"), 60, 300, 10, content);
    connect(m_size, &ToolbarSliderRow::valueChanged, this, [this](double radius) {
        m_preferences.setSpotlightRadius(radius);
    });
    m_darkness = new ToolbarSliderRow(QStringLiteral("Darkness"), 0.3, 0.9, 0.05, content);
    connect(m_darkness, &ToolbarSliderRow::valueChanged, this, [this](double darkness) {
        m_preferences.setSpotlightDarkness(darkness);
    });
    m_feather = new ToolbarSliderRow(QStringLiteral("Feather"), 0, 100, 5, content);
    connect(m_feather, &ToolbarSliderRow::valueChanged, this, [this](double feather) {
        m_preferences.setSpotlightFeather(feather);
    });

    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(m_size);
    layout->addWidget(m_darkness);
    layout->addWidget(m_feather);
    layout->addWidget(makeDimColorRow(content));
    return content;
}

QWidget *SpotlightSettingsView::makeDimColorRow(QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *title = new QLabel(QStringLiteral("Dim colour"), row);
    title->setFont(panelFont(*title, 12, QFont::Medium));
    m_dimColor = new ColorWellButton(QStringLiteral("Dim colour"), row);
    m_dimColor->setSwatchSize(QSize(28, 22));
    m_dimColor->setAccessibleName(QStringLiteral("Dim colour"));
    connect(m_dimColor, &ColorWellButton::colorPicked, this, [this](const QColor &color) {
        m_preferences.setSpotlightColor(toColor(color));
    });
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title, 0, Qt::AlignVCenter);
    layout->addStretch();
    layout->addWidget(m_dimColor, 0, Qt::AlignVCenter);
    return row;
}

void SpotlightSettingsView::refresh()
{
    const AppPreferences &preferences = m_preferences;
    m_size->setValue(preferences.spotlightRadius());
    m_size->setFormattedValue(pointsText(preferences.spotlightRadius()));
    m_darkness->setValue(preferences.spotlightDarkness());
    m_darkness->setFormattedValue(percentText(preferences.spotlightDarkness()));
    m_feather->setValue(preferences.spotlightFeather());
    m_feather->setFormattedValue(pointsText(preferences.spotlightFeather()));
    m_dimColor->setColor(toQColor(preferences.spotlightColor()));
}

} // namespace zentrel
