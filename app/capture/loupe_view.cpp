#include "capture/loupe_view.h"

#include "common/escape_key.h"
#include "common/qt_path.h"

#include <QKeyEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QWheelEvent>

#include <cmath>

namespace zentrel {

LoupeView::LoupeView(const QImage &screenImage, QSize screenSize)
    : m_screenSize(screenSize)
{
    setImage(screenImage);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_TranslucentBackground);
}

void LoupeView::setImage(const QImage &screenImage)
{
    // One pixel layout for the resampler: 32 bits with the alpha byte on top.
    m_image = screenImage.format() == QImage::Format_RGB32
                  ? screenImage
                  : screenImage.convertToFormat(QImage::Format_RGB32);
    update();
}

void LoupeView::updateRegion(const QImage &frame)
{
    QPainter painter(&m_image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // Pixels to pixels: the frame's density is the screen picture's own.
    QImage placed = frame;
    placed.setDevicePixelRatio(m_image.devicePixelRatio());
    painter.drawImage(QPointF(frame.offset()) / m_image.devicePixelRatio(), placed);
    painter.end();
    update();
}

void LoupeView::setMouseLocation(QPointF location)
{
    // The window's shape goes to the X server; unmoved, it need not go again on every report.
    if (location != m_mouseLocation) {
        m_mouseLocation = location;
        updateShape();
    }
    update();
}

void LoupeView::setSettings(const LoupeSettings &settings)
{
    m_settings = clampedLoupeSettings(settings.diameter, settings.zoom);
    updateShape();
    update();
}

void LoupeView::setShapesWindow(bool shapesWindow)
{
    m_shapesWindow = shapesWindow;
    updateShape();
}

LoupeGeometry LoupeView::geometry() const
{
    return loupeGeometry(toPointF(m_mouseLocation),
                         m_settings,
                         SizeF{double(m_screenSize.width()), double(m_screenSize.height())},
                         m_image.width(),
                         m_image.height());
}

void LoupeView::updateShape()
{
    if (m_shapesWindow) {
        QPainterPath disc;
        disc.addEllipse(toQRectF(geometry().loupe));
        window()->setMask(QRegion(disc.toFillPolygon().toPolygon()));
    }
}

void LoupeView::apply(const LoupeAdjustment &adjustment)
{
    if (!adjustment.changed()) {
        return;
    }
    m_settings = adjusted(m_settings, adjustment);
    updateShape();
    if (adjustment.zoom && onZoomChange) {
        onZoomChange(*adjustment.zoom);
    }
    if (adjustment.diameter && onSizeChange) {
        onSizeChange(*adjustment.diameter);
    }
    update();
}

void LoupeView::wheelEvent(QWheelEvent *event)
{
    // Wheels report eighths of a degree; one notch (15 degrees) counts as one step.
    const double notches = event->angleDelta().y() / 120.0;
    apply(loupeScroll(m_settings, notches, event->modifiers().testFlag(Qt::ControlModifier)));
    event->accept();
}

// Each step of a pinch reports its change of scale, as Qt's XInput 2.4 touchpad gestures do
// where the X server offers them; the loupe magnifies by it as it does for any pinch.
bool LoupeView::event(QEvent *event)
{
    if (event->type() == QEvent::NativeGesture) {
        const auto *gesture = static_cast<QNativeGestureEvent *>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            apply(loupeMagnify(m_settings, gesture->value()));
            return true;
        }
    }
    return QWidget::event(event);
}

void LoupeView::keyPressEvent(QKeyEvent *event)
{
    if (!takeEscapeKey(event, onEscape)) {
        QWidget::keyPressEvent(event);
    }
}

void LoupeView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::Antialiasing);

    const LoupeGeometry shape = geometry();
    const QRectF loupe = toQRectF(shape.loupe);
    if (!shape.crop.isEmpty() && !m_image.isNull()) {
        const qreal ratio = devicePixelRatioF();
        const QSize target(qCeil(loupe.width() * ratio), qCeil(loupe.height() * ratio));
        if (m_magnified.size() != target) {
            m_magnified = QImage(target, QImage::Format_RGB32);
        }
        const auto *bits = reinterpret_cast<const std::uint32_t *>(m_image.constBits());
        const int stride = static_cast<int>(m_image.bytesPerLine() / 4);
        const PixelView source{bits + shape.crop.y * stride + shape.crop.x,
                               shape.crop.width,
                               shape.crop.height,
                               stride};
        const MutablePixelView destination{reinterpret_cast<std::uint32_t *>(m_magnified.bits()),
                                           target.width(),
                                           target.height(),
                                           static_cast<int>(m_magnified.bytesPerLine() / 4)};
        m_resampler.resample(source, destination);
        QPainterPath circle;
        circle.addEllipse(loupe);
        painter.save();
        painter.setClipPath(circle);
        painter.drawImage(loupe, m_magnified);
        painter.restore();
    }
    painter.setBrush(Qt::NoBrush);
    QColor outer(Qt::white);
    outer.setAlphaF(loupe::outerRimAlpha);
    painter.setPen(QPen(outer, loupe::outerRimWidth));
    painter.drawEllipse(toQRectF(shape.outerRim));
    QColor inner(Qt::black);
    inner.setAlphaF(loupe::innerRimAlpha);
    painter.setPen(QPen(inner, loupe::innerRimWidth));
    painter.drawEllipse(toQRectF(shape.innerRim));
}

} // namespace zentrel
