#include "panels/toolbar/basic_overlay_toolbar.h"

#include "panels/panel_style.h"
#include "panels/toolbar/toolbar_settings_button.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace zentrel {

BasicOverlayToolbar::BasicOverlayToolbar(OverlaySettingsModel &settingsModel,
                                         const QString &settingsLabel,
                                         const QString &closeLabel,
                                         QWidget *parent)
    : QWidget(parent)
{
    auto *settings = new ToolbarSettingsButton(settingsModel, settingsLabel, this);
    connect(settings, &QToolButton::clicked, this, &BasicOverlayToolbar::toggleSettingsRequested);
    QToolButton *close = makeToolbarButton(QStringLiteral("xmark"), closeLabel, closeLabel, this);
    connect(close, &QToolButton::clicked, this, &BasicOverlayToolbar::closeRequested);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(settings, 0, Qt::AlignVCenter);
    layout->addWidget(makeToolbarDivider(this), 0, Qt::AlignVCenter);
    layout->addWidget(close, 0, Qt::AlignVCenter);
}

} // namespace zentrel
