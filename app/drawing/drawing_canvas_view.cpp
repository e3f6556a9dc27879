#include "drawing/drawing_canvas_view.h"

#include "capture/capture_geometry.h"
#include "common/escape_key.h"
#include "common/pool_thread_painting.h"
#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "drawing/drawing_painter.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace zentrel {
namespace {

constexpr int fadeRefreshMs = 1000 / 30;

Timestamp now()
{
    return std::chrono::system_clock::now();
}

} // namespace

DrawingCanvasView::DrawingCanvasView(QWidget *parent)
    : QWidget(parent)
    , m_fadeTimer(new QTimer(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    setMouseTracking(false);
    m_fadeTimer->setInterval(fadeRefreshMs);
    connect(m_fadeTimer, &QTimer::timeout, this, &DrawingCanvasView::onFadeTick);
}

void DrawingCanvasView::setContrast(ContrastOptions contrast)
{
    if (contrast != m_contrast) {
        m_contrast = contrast;
        historyChanged();
    }
}

void DrawingCanvasView::setBackground(const QImage &screenImage)
{
    m_background = screenImage;
    update();
}

void DrawingCanvasView::historyChanged()
{
    m_itemsLayerIsValid = false;
    updateFadeTimer();
    update();
}

void DrawingCanvasView::updateFadeTimer()
{
    if (m_model.hasFadingStrokes()) {
        if (!m_fadeTimer->isActive()) {
            m_fadeTimer->start();
        }
    } else {
        m_fadeTimer->stop();
    }
}

void DrawingCanvasView::onFadeTick()
{
    if (m_model.removeExpiredStrokes(now())) {
        historyChanged();
    }
}

void DrawingCanvasView::rebuildItemsLayer() const
{
    const qreal ratio = devicePixelRatioF();
    if (m_itemsLayer.size() != size() * ratio) {
        m_itemsLayer = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        m_itemsLayer.setDevicePixelRatio(ratio);
    }
    m_itemsLayer.fill(Qt::transparent);
    paintOnPoolThread([this] {
        QPainter painter(&m_itemsLayer);
        DrawingPainter(m_contrast).paintItems(painter, m_model, now());
    });
    m_itemsLayerIsValid = true;
}

void DrawingCanvasView::paintContent(QPainter &painter, const QRect &area) const
{
    painter.fillRect(area, toQColor(canvasTint));
    if (!m_itemsLayerIsValid) {
        rebuildItemsLayer();
    }
    painter.drawImage(area,
                      m_itemsLayer,
                      QRectF(area.topLeft() * m_itemsLayer.devicePixelRatio(),
                             area.size() * m_itemsLayer.devicePixelRatio()));
    DrawingPainter(m_contrast).paintActiveStroke(painter, m_model, area);
}

void DrawingCanvasView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    if (!m_background.isNull()) {
        painter.drawImage(rect(), m_background);
    } else {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    painter.setClipRect(area);
    paintContent(painter, area);
}

QRect DrawingCanvasView::segmentArea() const
{
    const auto &stroke = m_model.activeStroke();
    if (!stroke || stroke->points.empty()) {
        return rect();
    }
    // A freehand drag only adds its newest segment; the other tools redraw their whole shape.
    if (stroke->tool != DrawingTool::freehand) {
        return rect();
    }
    const auto count = stroke->points.size();
    const PointF last = stroke->points[count - 1];
    const PointF previous = stroke->points[count >= 3 ? count - 3 : 0];
    const double reach =
        outlineWidth(stroke->lineWidth) + 2 * drawingShadow(stroke->lineWidth, 1).blurRadius + 4;
    const QRectF segment = QRectF(toQPointF(previous), toQPointF(last)).normalized();
    return segment.adjusted(-reach, -reach, reach, reach).toAlignedRect();
}

void DrawingCanvasView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // Only a marker or an erased item changes the finished items; a stroke starts on its own.
    const std::size_t itemCount = m_model.history().items.size();
    m_model.press(toPointF(event->position()), now(), event->modifiers().testFlag(Qt::AltModifier));
    if (m_model.history().items.size() != itemCount) {
        historyChanged();
    } else {
        update();
    }
}

void DrawingCanvasView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const bool erasing = m_model.isErasing();
    const std::size_t itemCount = m_model.history().items.size();
    m_model.drag(toPointF(event->position()));
    if (!erasing) {
        update(segmentArea());
    } else if (m_model.history().items.size() != itemCount) {
        // Rebuilding the finished items' layer on every move over nothing made the eraser lag.
        historyChanged();
    }
}

void DrawingCanvasView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_model.release(toPointF(event->position()));
    historyChanged();
}

void DrawingCanvasView::keyPressEvent(QKeyEvent *event)
{
    if (takeEscapeKey(event, onEscape)) {
        return;
    }
    if (!m_model.keyTyped(event->text().toStdString())) {
        QWidget::keyPressEvent(event);
    }
}

void DrawingCanvasView::resizeEvent(QResizeEvent *event)
{
    m_itemsLayerIsValid = false;
    QWidget::resizeEvent(event);
}

std::optional<QByteArray> DrawingCanvasView::renderPNG(const QImage &screenImage) const
{
    if (screenImage.isNull() || width() <= 0 || height() <= 0) {
        return std::nullopt;
    }
    // An opaque picture stays opaque, so its PNG is plain RGB: smaller, and a session PDF can
    // carry its data as it is.
    QImage image(screenImage.size(),
                 screenImage.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                               : QImage::Format_RGB32);
    if (image.isNull()) {
        return std::nullopt;
    }
    QPainter painter(&image);
    painter.drawImage(image.rect(), screenImage);
    // The drawing's own coordinates are the canvas's points; a denser picture keeps its pixels.
    // Where Qt rounded the canvas to whole points, the screen's exact size gives the scale the
    // strokes were shown at.
    const SizeF points = screenSizeInPoints(SizeF{double(width()), double(height())},
                                            image.width(),
                                            image.height(),
                                            screenImage.devicePixelRatio());
    painter.scale(image.width() / points.width, image.height() / points.height);
    painter.fillRect(QRectF(0, 0, points.width, points.height), toQColor(canvasTint));
    const DrawingPainter drawingPainter(m_contrast);
    drawingPainter.paintItems(painter, m_model, now());
    drawingPainter.paintActiveStroke(painter, m_model);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        return std::nullopt;
    }
    return png;
}

} // namespace zentrel
