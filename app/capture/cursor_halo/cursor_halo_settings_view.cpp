#include "capture/cursor_halo/cursor_halo_settings_view.h"

#include "panels/panel_backdrop.h"
#include "panels/toolbar/settings/settings_value_text.h"
#include "panels/toolbar/settings/toolbar_slider_row.h"
#include "shell/app_preferences.h"

#include <QVBoxLayout>

namespace zentrel {

CursorHaloSettingsView::CursorHaloSettingsView(AppPreferences &preferences, QWidget *parent)
    : FeatureSettingsView(preferences, parent)
{
    setRows(makeContent());
}

QWidget *CursorHaloSettingsView::makeContent()
{
    auto *content = new QWidget(this);
    m_size = new ToolbarSliderRow(QStringLiteral("Size"), 40, 160, 4, content);
    connect(m_size, &ToolbarSliderRow::valueChanged, this, [this](double size) {
        m_preferences.setCursorHaloSize(size);
    });
    m_opacity = new ToolbarSliderRow(QStringLiteral("Opacity"), 0.2, 1.0, 0.05, content);
    connect(m_opacity, &ToolbarSliderRow::valueChanged, this, [this](double opacity) {
        m_preferences.setCursorHaloOpacity(opacity);
    });
    m_border = new ToolbarSliderRow(QStringLiteral("Border"), 1, 12, 1, content);
    connect(m_border, &ToolbarSliderRow::valueChanged, this, [this](double width) {
        m_preferences.setCursorHaloBorderWidth(width);
    });

    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(m_size);
    layout->addWidget(m_opacity);
    layout->addWidget(m_border);
    return content;
}

void CursorHaloSettingsView::refresh()
{
    const AppPreferences &preferences = m_preferences;
    m_size->setValue(preferences.cursorHaloSize());
    m_size->setFormattedValue(pointsText(preferences.cursorHaloSize()));
    m_opacity->setValue(preferences.cursorHaloOpacity());
    m_opacity->setFormattedValue(percentText(preferences.cursorHaloOpacity()));
    m_border->setValue(preferences.cursorHaloBorderWidth());
    m_border->setFormattedValue(pointsText(preferences.cursorHaloBorderWidth()));
}

} // namespace zentrel
