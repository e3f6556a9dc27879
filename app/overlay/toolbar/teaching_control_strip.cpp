#include "overlay/toolbar/teaching_control_strip.h"

#include "overlay/toolbar/toolbar_style.h"

#include <QPainter>
#include <QVBoxLayout>

namespace zentrel {

namespace {

constexpr int padding = 10;
constexpr qreal cornerRadius = 8;

} // namespace

TeachingControlStrip::TeachingControlStrip(QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->addWidget(content);
}

void TeachingControlStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintToolbarBackground(painter, rect(), cornerRadius, palette());
}

} // namespace zentrel
