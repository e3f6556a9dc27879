#include "capture/loupe/loupe_view.h"

#include "common/escape_key.h"
#include "common/qt_path.h"

#include <QKeyEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QWheelEvent>

#include <cmath>
#include <cstring>

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
    update(lensArea());
}

void LoupeView::updateRegion(const QImage &frame)
{
    const QImage source = frame.format() == QImage::Format_RGB32
                              ? frame
                              : frame.convertToFormat(QImage::Format_RGB32);
    // Pixels to pixels: the frame's density is the screen picture's own.
    const QRect placed = QRect(frame.offset(), frame.size()) & m_image.rect();
    if (placed.isEmpty()) {
        return;
    }
    const QPoint from = placed.topLeft() - frame.offset();
    const auto bytes = std::size_t(placed.width()) * 4;
    int firstChanged = -1;
    int lastChanged = -1;
    for (int row = 0; row < placed.height(); ++row) {
        const uchar *incoming = source.constScanLine(from.y() + row) + from.x() * 4;
        uchar *kept = m_image.scanLine(placed.y() + row) + placed.x() * 4;
        if (std::memcmp(incoming, kept, bytes) != 0) {
            std::memcpy(kept, incoming, bytes);
            firstChanged = firstChanged < 0 ? row : firstChanged;
            lastChanged = row;
        }
    }
    if (firstChanged < 0) {
        return;
    }
    const PixelRect crop = geometry().crop;
    const QRect changed(
        placed.x(), placed.y() + firstChanged, placed.width(), lastChanged - firstChanged + 1);
    if (changed.intersects(QRect(crop.x, crop.y, crop.width, crop.height))) {
        update(lensArea());
    }
}

template <typename Change>
void LoupeView::moveLens(Change change)
{
    const QRect before = lensArea();
    change();
    updateShape();
    update(QRegion(before) + lensArea());
}

void LoupeView::setMouseLocation(QPointF location)
{
    // The pointer tracker reports 60 times a second, mostly where the pointer already was.
    if (location != m_mouseLocation) {
        moveLens([&] { m_mouseLocation = location; });
    }
}

void LoupeView::setSettings(const LoupeSettings &settings)
{
    const LoupeSettings clamped = clampedLoupeSettings(settings.diameter, settings.zoom);
    if (clamped != m_settings) {
        moveLens([&] { m_settings = clamped; });
    }
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

QRect LoupeView::lensArea() const
{
    const qreal ratio = devicePixelRatioF();
    const QRect pixels = LoupeLens::deviceRect(geometry(), ratio);
    return QRectF(QPointF(pixels.topLeft()) / ratio, QSizeF(pixels.size()) / ratio).toAlignedRect();
}

void LoupeView::updateShape()
{
    if (!m_shapesWindow) {
        return;
    }
    const LoupeGeometry shape = geometry();
    if (m_discShapeDiameter != m_settings.diameter || m_discShape.isEmpty()) {
        QPainterPath disc;
        disc.addEllipse(QRectF(0, 0, shape.loupe.width, shape.loupe.height));
        m_discShape = QRegion(disc.toFillPolygon().toPolygon());
        m_discShapeDiameter = m_settings.diameter;
    }
    window()->setMask(m_discShape.translated(QPointF(shape.loupe.x, shape.loupe.y).toPoint()));
}

void LoupeView::apply(const LoupeAdjustment &adjustment)
{
    if (!adjustment.changed()) {
        return;
    }
    moveLens([&] { m_settings = adjusted(m_settings, adjustment); });
    if (adjustment.zoom && onZoomChange) {
        onZoomChange(*adjustment.zoom);
    }
    if (adjustment.diameter && onSizeChange) {
        onSizeChange(*adjustment.diameter);
    }
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

void LoupeView::paintEvent(QPaintEvent *event)
{
    const LoupeGeometry shape = geometry();
    const qreal ratio = devicePixelRatioF();
    const bool magnifies = !shape.crop.isEmpty() && !m_image.isNull();
    if (magnifies) {
        const int side = LoupeLens::magnifiedSide(shape, ratio);
        if (m_magnified.size() != QSize(side, side)) {
            m_magnified = QImage(side, side, QImage::Format_RGB32);
        }
        const auto *bits = reinterpret_cast<const std::uint32_t *>(m_image.constBits());
        const int stride = static_cast<int>(m_image.bytesPerLine() / 4);
        const PixelView source{bits + shape.crop.y * stride + shape.crop.x,
                               shape.crop.width,
                               shape.crop.height,
                               stride};
        const MutablePixelView destination{reinterpret_cast<std::uint32_t *>(m_magnified.bits()),
                                           side,
                                           side,
                                           static_cast<int>(m_magnified.bytesPerLine() / 4)};
        m_resampler.resample(source, destination);
    }
    const QImage &lens = m_lens.compose(magnifies ? m_magnified : QImage(), shape, ratio);
    const QPointF corner = QPointF(LoupeLens::deviceRect(shape, ratio).topLeft()) / ratio;
    // One rectangle at a time: over a clip of several, Qt's raster engine would blend the lens
    // span by span through its thread pool instead of copying it.
    QPainter painter(this);
    for (const QRect &rect : event->region()) {
        painter.setClipRect(rect);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(corner, lens);
    }
}

} // namespace zentrel
