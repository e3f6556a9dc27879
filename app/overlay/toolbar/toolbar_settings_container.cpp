#include "overlay/toolbar/toolbar_settings_container.h"

#include "overlay/toolbar/toolbar_style.h"

#include <QPainter>
#include <QVBoxLayout>

namespace zentrel {

namespace {

constexpr int padding = 12;
constexpr qreal cornerRadius = 10;

} // namespace

ToolbarSettingsContainer::ToolbarSettingsContainer(QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->addWidget(content);
}

void ToolbarSettingsContainer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintToolbarBackground(painter, rect(), cornerRadius, palette());
}

} // namespace zentrel
