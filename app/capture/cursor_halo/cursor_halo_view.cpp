#include "capture/cursor_halo/cursor_halo_view.h"

#include "common/escape_key.h"
#include "common/qt_conversions.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTimer>

#include <algorithm>

namespace zentrel {
namespace {

// Where the glow has faded to under a fifth of its peak; a shaped window shows the disc up to
// here, so the cut-out reads as the halo and not as a hard coin.
constexpr double shapedHaloExtent = 0.7;

QRectF toQRectF(const RectF &rect)
{
    return QRectF(rect.x, rect.y, rect.width, rect.height);
}

QColor opaque(QColor color)
{
    color.setAlphaF(1);
    return color;
}

QPainterPath ripplePath(const RippleAppearance &ripple)
{
    QPainterPath path;
    path.addEllipse(QPointF(ripple.centre.x, ripple.centre.y), ripple.radius, ripple.radius);
    return path;
}

// Qt measures dashes in pen widths; the ripple's pattern is in points.
QPen ripplePen(const RippleAppearance &ripple, const QColor &color, double extraWidth)
{
    const double width = ripple.lineWidth + extraWidth;
    QPen pen(color, width);
    if (ripple.dashed && width > 0) {
        const double dash = cursorHalo::rightClickDashes[0] / width;
        const double gap = cursorHalo::rightClickDashes[1] / width;
        pen.setDashPattern({dash, gap});
        pen.setDashOffset(ripple.dashPhase / width);
        pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

} // namespace

CursorHaloView::CursorHaloView(const AppPreferences &preferences, Now now, QWidget *parent)
    : QWidget(parent)
    , m_model(cursorHaloSettings(preferences))
    , m_now(std::move(now))
    , m_animationTimer(new QTimer(this))
{
    m_animationTimer->setInterval(
        std::chrono::duration_cast<std::chrono::milliseconds>(cursorHalo::animationInterval));
    connect(m_animationTimer, &QTimer::timeout, this, &CursorHaloView::animationTick);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CursorHaloView::applyPreferences(const AppPreferences &preferences)
{
    m_model.applySettings(cursorHaloSettings(preferences));
    update();
    updateShape();
}

void CursorHaloView::updateMouseLocation(QPointF location)
{
    // The window's shape goes to the X server; unmoved, it need not go again on every report.
    const bool moved = m_model.pointer() != PointF{location.x(), location.y()};
    const RedrawArea area = m_model.moveTo(PointF{location.x(), location.y()});
    if (!area) {
        update();
    } else if (area->width > 0 && area->height > 0) {
        update(toQRectF(*area).toAlignedRect());
    }
    if (moved) {
        updateShape();
    }
}

void CursorHaloView::recordClick(CursorClickKind kind, Timestamp at)
{
    if (m_model.recordClick(kind, at)) {
        m_animationTimer->start();
    }
    update();
    updateShape();
}

bool CursorHaloView::isAnimating() const
{
    return m_animationTimer->isActive();
}

void CursorHaloView::animationTick()
{
    const bool live = m_model.prune(m_now());
    update();
    updateShape();
    if (!live) {
        m_animationTimer->stop();
    }
}

void CursorHaloView::setShapesWindow(bool shapesWindow)
{
    m_shapesWindow = shapesWindow;
    updateShape();
    update();
}

QRegion CursorHaloView::shape() const
{
    QRegion region;
    const double haloRadius = m_model.settings().ringSize / 2 * shapedHaloExtent;
    if (haloRadius > 0) {
        QPainterPath disc;
        const PointF pointer = m_model.pointer();
        disc.addEllipse(QPointF(pointer.x, pointer.y), haloRadius, haloRadius);
        region += QRegion(disc.toFillPolygon().toPolygon());
    }
    for (const RippleAppearance &ripple : m_model.ripples(m_now())) {
        QPainterPathStroker stroker(ripplePen(ripple, Qt::black, 2));
        for (const QPolygonF &part : stroker.createStroke(ripplePath(ripple)).toFillPolygons()) {
            region += QRegion(part.toPolygon(), Qt::WindingFill);
        }
    }
    return region;
}

void CursorHaloView::updateShape()
{
    if (m_shapesWindow) {
        // An empty mask would show the whole window, so a halo of size 0 keeps one pixel.
        const QRegion region = shape();
        window()->setMask(region.isEmpty() ? QRegion(0, 0, 1, 1) : region);
    }
}

void CursorHaloView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(event->rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::Antialiasing);
    paintHalo(painter);
    // Taken once, so all ripples of a frame are at the same moment; younger ones paint over.
    for (const RippleAppearance &ripple : m_model.ripples(m_now())) {
        paintRipple(painter, ripple);
    }
}

void CursorHaloView::paintHalo(QPainter &painter) const
{
    const double radius = m_model.settings().ringSize / 2;
    if (!(radius > 0)) {
        return;
    }
    const PointF pointer = m_model.pointer();
    const QPointF centre(pointer.x, pointer.y);
    QRadialGradient glow(centre, radius);
    for (const HaloGradientStop &stop : haloGradient(m_model.settings())) {
        QColor color = toQColor(stop.color);
        // A shaped window shows its pixels as they are: keep the hue, drop the translucency.
        glow.setColorAt(stop.location, m_shapesWindow ? opaque(color) : color);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius, radius);
}

void CursorHaloView::paintRipple(QPainter &painter, const RippleAppearance &ripple) const
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    const QPainterPath path = ripplePath(ripple);
    if (!m_shapesWindow && ripple.shadowBlur > 0) {
        // A glow in place of a blurred shadow: two wider, fainter strokes below the ring.
        QColor shadow = toQColor(ripple.shadowColor);
        shadow.setAlphaF(shadow.alphaF() * 0.25);
        painter.strokePath(path, ripplePen(ripple, shadow, ripple.shadowBlur));
        painter.strokePath(path, ripplePen(ripple, shadow, ripple.shadowBlur / 2));
    }
    const QColor color = toQColor(ripple.color);
    painter.strokePath(path, ripplePen(ripple, m_shapesWindow ? opaque(color) : color, 0));
    painter.restore();
}

void CursorHaloView::keyPressEvent(QKeyEvent *event)
{
    if (!takeEscapeKey(event, onEscape)) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace zentrel
