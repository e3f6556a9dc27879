#include "panels/panel_backdrop.h"

#include "panels/panel_style.h"

#include <QPainter>
#include <QVBoxLayout>

namespace zentrel {

PanelBackdrop::PanelBackdrop(QWidget *content, int padding, qreal cornerRadius, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
    , m_cornerRadius(cornerRadius)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->addWidget(content);
}

void PanelBackdrop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPanelBackground(painter, rect(), m_cornerRadius, palette());
}

} // namespace zentrel
