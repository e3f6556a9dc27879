#include "capture/spotlight/spotlight_view.h"

#include "common/escape_key.h"
#include "common/qt_conversions.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace zentrel {

SpotlightView::SpotlightView(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void SpotlightView::updateMouseLocation(QPointF location)
{
    const RedrawArea area = m_model.moveTo(PointF{location.x(), location.y()});
    if (!area) {
        update();
    } else if (area->width > 0 && area->height > 0) {
        update(QRectF(area->x, area->y, area->width, area->height).toAlignedRect());
    }
}

void SpotlightView::applyPreferences(const AppPreferences &preferences)
{
    m_model.applySettings(spotlightSettings(preferences));
    update();
}

void SpotlightView::setBackground(const QImage &background)
{
    m_background = background;
    update();
}

void SpotlightView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (!m_background.isNull()) {
        painter.drawImage(rect(), m_background);
    } else {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    const std::optional<RectF> circle = m_model.clearCircle();
    if (!circle) {
        return;
    }
    QPainterPath dimming;
    dimming.setFillRule(Qt::OddEvenFill);
    dimming.addRect(rect());
    dimming.addEllipse(QRectF(circle->x, circle->y, circle->width, circle->height));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(dimming, toQColor(m_model.settings().fillColor()));
}

void SpotlightView::keyPressEvent(QKeyEvent *event)
{
    if (!takeEscapeKey(event, onEscape)) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace zentrel
