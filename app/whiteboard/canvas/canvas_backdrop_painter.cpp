#include "whiteboard/canvas/canvas_backdrop_painter.h"

#include "common/pool_parallel_work.h"
#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/canvas_backdrop.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"

#include <QPainter>

#include <any>

namespace zentrel {

namespace {

// How far beyond an area the strokes and dots that can show in it begin, in points.
constexpr double paperTextureReach = 12;

} // namespace

void CanvasBackdropPainter::prepare(const WhiteboardBoard &board,
                                    SizeF sceneSize,
                                    QSize viewSize,
                                    qreal pixelRatio)
{
    m_showsScreen = board.background.kind == WhiteboardBackground::Kind::image;
    if (m_showsScreen) {
        const auto *screen = std::any_cast<QImage>(&board.background.image);
        m_frozenScreen.prepare(
            screen ? *screen : QImage(), sceneSize, board.viewport, viewSize, pixelRatio);
    } else {
        preparePaper(
            viewSize, pixelRatio, board.background.kind == WhiteboardBackground::Kind::black);
    }
}

void CanvasBackdropPainter::paint(QPainter &painter) const
{
    if (m_showsScreen) {
        m_frozenScreen.paint(painter);
    } else {
        painter.drawImage(QPointF(0, 0), m_paper);
    }
}

void CanvasBackdropPainter::preparePaper(QSize viewSize, qreal pixelRatio, bool black)
{
    if (m_paper.size() == viewSize * pixelRatio && m_paper.devicePixelRatio() == pixelRatio
        && m_paperIsBlack == black) {
        return;
    }
    m_paper = QImage(viewSize * pixelRatio, QImage::Format_RGB32);
    m_paper.setDevicePixelRatio(pixelRatio);
    m_paper.fill(black ? Qt::black : Qt::white);
    m_paperIsBlack = black;
    // The texture lies on a fixed lattice of the view, so bands painted side by side, each with
    // the strokes and dots that reach it, meet without a seam; the whole view's texture in one
    // painter held up the first frame of every board.
    paintInBands(m_paper, poolThreadCount(), [black](QPainter &painter) {
        const QRectF band = painter.clipBoundingRect().adjusted(
            -paperTextureReach, -paperTextureReach, paperTextureReach, paperTextureReach);
        paintPaperTexture(painter, paperTexture(toRectF(band), black));
    });
}

void paintPaperTexture(QPainter &painter, const PaperTexture &texture)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(toQColor(texture.strokeColor));
    pen.setWidthF(texture.strokeWidth);
    pen.setCapStyle(Qt::FlatCap);
    painter.strokePath(toQPainterPath(texture.strokes), pen);
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(texture.dotColor));
    for (const RectF &dot : texture.dots) {
        painter.drawEllipse(toQRectF(dot));
    }
}

} // namespace zentrel
