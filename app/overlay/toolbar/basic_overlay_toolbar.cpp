#include "overlay/toolbar/basic_overlay_toolbar.h"

#include "common/symbol_icon.h"
#include "overlay/overlay_settings_model.h"
#include "overlay/toolbar/toolbar_selection_button.h"
#include "overlay/toolbar/toolbar_style.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace zentrel {

BasicOverlayToolbar::BasicOverlayToolbar(OverlaySettingsModel &settingsModel,
                                         const QString &settingsLabel,
                                         const QString &closeLabel,
                                         QWidget *parent)
    : QWidget(parent)
    , m_settingsModel(settingsModel)
    , m_settingsButton(new ToolbarSelectionButton(this))
{
    m_settingsButton->setIcon(symbolIcon(QStringLiteral("slider.horizontal.3")));
    m_settingsButton->setToolTip(settingsLabel);
    m_settingsButton->setAccessibleName(settingsLabel);
    connect(m_settingsButton,
            &QToolButton::clicked,
            this,
            &BasicOverlayToolbar::toggleSettingsRequested);
    QToolButton *close = makeToolbarButton(QStringLiteral("xmark"), closeLabel, closeLabel, this);
    connect(close, &QToolButton::clicked, this, &BasicOverlayToolbar::closeRequested);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_settingsButton, 0, Qt::AlignVCenter);
    layout->addWidget(makeToolbarDivider(this), 0, Qt::AlignVCenter);
    layout->addWidget(close, 0, Qt::AlignVCenter);

    refresh();
    m_settingsConnection = m_settingsModel.changed.connect([this] { refresh(); });
}

void BasicOverlayToolbar::refresh()
{
    m_settingsButton->setSelected(m_settingsModel.isSettingsVisible());
}

} // namespace zentrel
