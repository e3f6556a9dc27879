#include "capture/loupe/zoom_settings_view.h"

#include "capture/loupe_model.h"
#include "panels/toolbar/settings/settings_value_text.h"
#include "panels/toolbar/settings/toolbar_slider_row.h"
#include "shell/app_preferences.h"

#include <QLocale>
#include <QVBoxLayout>

namespace zentrel {

ZoomSettingsView::ZoomSettingsView(AppPreferences &preferences, QWidget *parent)
    : FeatureSettingsView(preferences, parent)
{
    auto *content = new QWidget(this);
    m_size = new ToolbarSliderRow(QStringLiteral("Loupe size"),
                                  loupe::minimumDiameter,
                                  loupe::maximumDiameter,
                                  loupe::diameterStep,
                                  content);
    connect(m_size, &ToolbarSliderRow::valueChanged, this, [this](double diameter) {
        m_preferences.setZoomDiameter(diameter);
    });
    m_magnification = new ToolbarSliderRow(QStringLiteral("Magnification"),
                                           loupe::minimumZoom,
                                           loupe::maximumZoom,
                                           loupe::sliderZoomStep,
                                           content);
    connect(m_magnification, &ToolbarSliderRow::valueChanged, this, [this](double zoom) {
        m_preferences.setZoomFactor(zoom);
    });
    auto *rows = new QVBoxLayout(content);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(12);
    rows->addWidget(m_size);
    rows->addWidget(m_magnification);
    setRows(content);
}

QString ZoomSettingsView::magnificationText(double zoom)
{
    return QLocale().toString(zoom, 'f', 1) + QLatin1Char('x');
}

void ZoomSettingsView::refresh()
{
    m_size->setValue(m_preferences.zoomDiameter());
    m_size->setFormattedValue(pointsText(m_preferences.zoomDiameter()));
    m_magnification->setValue(m_preferences.zoomFactor());
    m_magnification->setFormattedValue(magnificationText(m_preferences.zoomFactor()));
}

} // namespace zentrel
