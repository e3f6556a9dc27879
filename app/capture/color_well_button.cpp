#include "capture/color_well_button.h"

#include "panels/panel_style.h"

#include <QColorDialog>
#include <QPainter>

namespace zentrel {

ColorWellButton::ColorWellButton(const QString &title, QWidget *parent)
    : QToolButton(parent)
    , m_title(title)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(m_size);
    connect(this, &QToolButton::clicked, this, &ColorWellButton::pickColor);
}

void ColorWellButton::setColor(const QColor &color)
{
    if (color != m_color) {
        m_color = color;
        update();
    }
}

void ColorWellButton::setSwatchSize(const QSize &size)
{
    m_size = size;
    setFixedSize(size);
}

void ColorWellButton::pickColor()
{
    const QColor picked = QColorDialog::getColor(m_color, window(), m_title);
    // A cancelled dialog gives an invalid colour: the choice stays as it was.
    if (picked.isValid()) {
        Q_EMIT colorPicked(picked);
    }
}

void ColorWellButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(withOpacity(panelSecondaryColor(palette()), 0.4), 1));
    painter.setBrush(m_color);
    painter.drawRoundedRect(frame, 5, 5);
}

} // namespace zentrel
