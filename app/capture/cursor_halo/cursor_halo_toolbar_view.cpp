#include "capture/cursor_halo/cursor_halo_toolbar_view.h"

#include "capture/color_well_button.h"
#include "common/qt_conversions.h"
#include "panels/panel_backdrop.h"
#include "panels/panel_style.h"
#include "panels/toolbar/toolbar_settings_button.h"
#include "shell/app_preferences.h"

#include <QHBoxLayout>

namespace zentrel {

CursorHaloToolbarView::CursorHaloToolbarView(AppPreferences &preferences,
                                             OverlaySettingsModel &settingsModel,
                                             QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new TeachingControlStrip(makeContent(settingsModel), this));

    refresh();
    m_preferencesConnection =
        m_preferences.changed.connect([this](AppPreferences::Setting) { refresh(); });
}

QWidget *CursorHaloToolbarView::makeContent(OverlaySettingsModel &settingsModel)
{
    auto *content = new QWidget(this);
    const QString colorLabel = QStringLiteral("Halo color");
    m_color = new ColorWellButton(colorLabel, content);
    m_color->setToolTip(colorLabel);
    m_color->setAccessibleName(colorLabel);
    connect(m_color, &ColorWellButton::colorPicked, this, [this](const QColor &color) {
        m_preferences.setCursorHaloColor(toColor(color));
    });

    auto *settings =
        new ToolbarSettingsButton(settingsModel, QStringLiteral("Cursor halo settings"), content);
    connect(settings, &QToolButton::clicked, this, &CursorHaloToolbarView::toggleSettingsRequested);

    QToolButton *close = makeToolbarButton(QStringLiteral("xmark"),
                                           QStringLiteral("Close"),
                                           QStringLiteral("Close cursor halo"),
                                           content);
    connect(close, &QToolButton::clicked, this, &CursorHaloToolbarView::closeRequested);

    auto *row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_color, 0, Qt::AlignVCenter);
    row->addWidget(settings, 0, Qt::AlignVCenter);
    row->addWidget(makeToolbarDivider(content), 0, Qt::AlignVCenter);
    row->addWidget(close, 0, Qt::AlignVCenter);
    return content;
}

void CursorHaloToolbarView::refresh()
{
    m_color->setColor(toQColor(m_preferences.cursorHaloColor()));
}

} // namespace zentrel
