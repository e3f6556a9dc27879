#include "capture/cursor_halo_toolbar_view.h"

#include "capture/color_well_button.h"
#include "common/qt_conversions.h"
#include "common/symbol_icon.h"
#include "overlay/overlay_settings_model.h"
#include "overlay/toolbar/toolbar_backdrop.h"
#include "overlay/toolbar/toolbar_selection_button.h"
#include "overlay/toolbar/toolbar_style.h"
#include "shell/app_preferences.h"

#include <QHBoxLayout>

namespace zentrel {

CursorHaloToolbarView::CursorHaloToolbarView(AppPreferences &preferences,
                                             OverlaySettingsModel &settingsModel,
                                             QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
    , m_settingsModel(settingsModel)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new TeachingControlStrip(makeContent(), this));

    refresh();
    m_preferencesConnection =
        m_preferences.changed.connect([this](AppPreferences::Setting) { refresh(); });
    m_settingsConnection = m_settingsModel.changed.connect([this] { refresh(); });
}

QWidget *CursorHaloToolbarView::makeContent()
{
    auto *content = new QWidget(this);
    const QString colorLabel = QStringLiteral("Halo color");
    m_color = new ColorWellButton(colorLabel, content);
    m_color->setToolTip(colorLabel);
    m_color->setAccessibleName(colorLabel);
    connect(m_color, &ColorWellButton::colorPicked, this, [this](const QColor &color) {
        m_preferences.setCursorHaloColor(toColor(color));
    });

    const QString settingsLabel = QStringLiteral("Cursor halo settings");
    m_settingsButton = new ToolbarSelectionButton(content);
    m_settingsButton->setIcon(symbolIcon(QStringLiteral("slider.horizontal.3")));
    m_settingsButton->setToolTip(settingsLabel);
    m_settingsButton->setAccessibleName(settingsLabel);
    connect(m_settingsButton,
            &QToolButton::clicked,
            this,
            &CursorHaloToolbarView::toggleSettingsRequested);

    QToolButton *close = makeToolbarButton(QStringLiteral("xmark"),
                                           QStringLiteral("Close"),
                                           QStringLiteral("Close cursor halo"),
                                           content);
    connect(close, &QToolButton::clicked, this, &CursorHaloToolbarView::closeRequested);

    auto *row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_color, 0, Qt::AlignVCenter);
    row->addWidget(m_settingsButton, 0, Qt::AlignVCenter);
    row->addWidget(makeToolbarDivider(content), 0, Qt::AlignVCenter);
    row->addWidget(close, 0, Qt::AlignVCenter);
    return content;
}

void CursorHaloToolbarView::refresh()
{
    m_color->setColor(toQColor(m_preferences.cursorHaloColor()));
    m_settingsButton->setSelected(m_settingsModel.isSettingsVisible());
}

} // namespace zentrel
