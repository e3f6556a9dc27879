#include "whiteboard/canvas/canvas_backdrop_painter.h"

#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/canvas_backdrop.h"

#include <QPainter>

#include <algorithm>
#include <any>

namespace zentrel {

namespace {

// Drawn as one-pixel lines with the alpha thinned by the half point's share of the pixel: the
// same look as antialiased half-point lines at a small part of their cost.
void paintGrid(QPainter &painter, const WhiteboardBoard &board, QSize viewSize, bool black)
{
    const BoardGrid grid = boardGrid(
        {0, 0, double(viewSize.width()), double(viewSize.height())}, board.viewport, black);
    const WhiteboardViewport &viewport = board.viewport;
    QList<QLineF> lines;
    const auto &elements = grid.lines.elements();
    for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
        lines.append(QLineF(toQPointF(viewport.toView(elements[i].points[0])),
                            toQPointF(viewport.toView(elements[i + 1].points[0]))));
    }
    const double deviceWidth =
        grid.lineWidth * viewport.scale * painter.device()->devicePixelRatioF();
    QColor colour = toQColor(grid.color);
    colour.setAlphaF(colour.alphaF() * std::min(deviceWidth, 1.0));
    QPen pen(colour, 0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    painter.drawLines(lines);
    painter.restore();
}

} // namespace

void CanvasBackdropPainter::paint(QPainter &painter,
                                  const WhiteboardBoard &board,
                                  SizeF sceneSize,
                                  QSize viewSize)
{
    if (board.background.kind == WhiteboardBackground::Kind::image) {
        const auto *screen = std::any_cast<QImage>(&board.background.image);
        m_frozenScreen.paint(
            painter, screen ? *screen : QImage(), sceneSize, board.viewport, viewSize);
        return;
    }
    const bool black = board.background.kind == WhiteboardBackground::Kind::black;
    painter.drawImage(QPointF(0, 0),
                      paperImage(viewSize, painter.device()->devicePixelRatioF(), black));
    if (board.showsGrid) {
        paintGrid(painter, board, viewSize, black);
    }
}

const QImage &CanvasBackdropPainter::paperImage(QSize viewSize, qreal pixelRatio, bool black)
{
    if (m_paper.size() == viewSize * pixelRatio && m_paper.devicePixelRatio() == pixelRatio
        && m_paperIsBlack == black) {
        return m_paper;
    }
    m_paper = QImage(viewSize * pixelRatio, QImage::Format_RGB32);
    m_paper.setDevicePixelRatio(pixelRatio);
    m_paper.fill(black ? Qt::black : Qt::white);
    m_paperIsBlack = black;
    const PaperTexture texture =
        paperTexture({0, 0, double(viewSize.width()), double(viewSize.height())}, black);
    QPainter painter(&m_paper);
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
    return m_paper;
}

} // namespace zentrel
