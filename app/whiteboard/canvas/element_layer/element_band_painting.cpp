#include "whiteboard/canvas/element_layer/element_band_painting.h"

#include "common/pool_parallel_work.h"
#include "common/qt_path.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace zentrel {

namespace {

// Thinner bands cost more in elements painted twice than they gain.
constexpr int minimumBandPixels = 256;

// The bands `pixels` are cut into to be painted side by side: across its longer side, as many as
// there are threads, none thinner than a few hundred pixels.
std::vector<QRect> pixelBands(const QRect &pixels, int threads)
{
    const bool across = pixels.height() >= pixels.width();
    const int length = across ? pixels.height() : pixels.width();
    const int count = std::clamp(length / minimumBandPixels, 1, std::max(threads, 1));
    std::vector<QRect> bands;
    for (int i = 0; i < count; ++i) {
        const int start = length * i / count;
        const int end = length * (i + 1) / count;
        bands.push_back(across
                            ? QRect(pixels.x(), pixels.y() + start, pixels.width(), end - start)
                            : QRect(pixels.x() + start, pixels.y(), end - start, pixels.height()));
    }
    return bands;
}

} // namespace

void paintInBands(QImage &target, int threads, const std::function<void(QPainter &)> &paint)
{
    const std::vector<QRect> bands = pixelBands(target.rect(), threads);
    const qreal ratio = target.devicePixelRatio();
    uchar *bits = target.bits();
    runInParallel(bands.size(), threads, [&](std::size_t index) {
        QImage band(bits, target.width(), target.height(), target.bytesPerLine(), target.format());
        QPainter painter(&band);
        painter.setClipRect(bands[index]);
        painter.scale(ratio, ratio);
        paint(painter);
    });
}

WhiteboardViewport seenFrom(WhiteboardViewport viewport, QPointF origin)
{
    viewport.translation.x -= origin.x();
    viewport.translation.y -= origin.y();
    return viewport;
}

bool reaches(const RectF &bounds, const RectF &area)
{
    return bounds.x <= area.x + area.width && area.x <= bounds.x + bounds.width
           && bounds.y <= area.y + area.height && area.y <= bounds.y + bounds.height;
}

void paintElementsInBands(QImage &image,
                          const QRectF &viewArea,
                          const std::vector<ElementToPaint> &elements,
                          const BandPainting &how)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect pixels = QRectF(viewArea.topLeft() * ratio, viewArea.size() * ratio)
                             .toAlignedRect()
                             .intersected(image.rect());
    if (pixels.isEmpty()) {
        return;
    }
    const WhiteboardViewport &viewport = how.viewport;
    const auto sceneOf = [&](const QRect &devicePixels) {
        return viewport.toScene(toRectF(
            QRectF(QPointF(devicePixels.topLeft()) / ratio, QSizeF(devicePixels.size()) / ratio)));
    };
    const RectF sceneArea = sceneOf(pixels);
    std::vector<const ElementToPaint *> reaching;
    for (const ElementToPaint &element : elements) {
        if (reaches(element.bounds, sceneArea)) {
            reaching.push_back(&element);
        }
    }
    const std::vector<QRect> bands = pixelBands(pixels, how.threads);
    std::vector<RectF> sceneBands;
    for (const QRect &band : bands) {
        sceneBands.push_back(sceneOf(band));
    }
    // Each band paints through an image of its own over the same pixels: a device takes one
    // painter at a time.
    uchar *bits = image.bits();
    runInParallel(bands.size(), how.threads, [&](std::size_t index) {
        const QRect &band = bands[index];
        const RectF &sceneBand = sceneBands[index];
        QImage target(bits, image.width(), image.height(), image.bytesPerLine(), image.format());
        QPainter painter(&target);
        painter.setClipRect(band);
        if (how.clearFirst) {
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(band, Qt::transparent);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.scale(ratio, ratio);
        paintBoardGrid(painter,
                       QRectF(QPointF(band.topLeft()) / ratio, QSizeF(band.size()) / ratio),
                       viewport,
                       how.grid,
                       ratio);
        painter.translate(viewport.translation.x, viewport.translation.y);
        painter.scale(viewport.scale, viewport.scale);
        for (const ElementToPaint *element : reaching) {
            if (how.cancelled && how.cancelled->load(std::memory_order_relaxed)) {
                return;
            }
            if (!reaches(element->bounds, sceneBand)) {
                continue;
            }
            // The first band an element reaches paints it from the shared paths, unless another
            // painting may use them; bands lie side by side, so that is the one whose neighbour
            // before it does not reach it.
            if (!how.alongside
                && (index == 0 || !reaches(element->bounds, sceneBands[index - 1]))) {
                paintElement(painter, *element->painted);
            } else {
                paintElement(painter, *element->painted, AreaPaths::ownCopies);
            }
        }
    });
}

} // namespace zentrel
