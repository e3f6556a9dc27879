#include "overlay/toolbar/toolbar_backdrop.h"

#include "overlay/toolbar/toolbar_style.h"

#include <QPainter>
#include <QVBoxLayout>

namespace zentrel {

ToolbarBackdrop::ToolbarBackdrop(QWidget *content, int padding, qreal cornerRadius, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
    , m_cornerRadius(cornerRadius)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->addWidget(content);
}

void ToolbarBackdrop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintToolbarBackground(painter, rect(), m_cornerRadius, palette());
}

} // namespace zentrel
