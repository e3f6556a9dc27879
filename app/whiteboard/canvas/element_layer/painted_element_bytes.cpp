#include "whiteboard/canvas/element_layer/painted_element_bytes.h"

#include <QPainterPath>

namespace zentrel {

namespace {

// What the allocator adds to each block.
constexpr std::size_t blockOverhead = 32;

std::size_t pathBytes(const QPainterPath &path)
{
    return sizeof(QPainterPath) + blockOverhead
           + std::size_t(path.elementCount()) * sizeof(QPainterPath::Element);
}

std::size_t hatchBytes(const PaintedHatch &hatch)
{
    std::size_t bytes = sizeof(PaintedHatch);
    for (const QPolygonF &line : hatch.lines) {
        bytes += sizeof(QPolygonF) + blockOverhead + std::size_t(line.size()) * sizeof(QPointF);
    }
    if (hatch.fill) {
        for (const auto &run : hatch.fill->outline) {
            bytes += blockOverhead + run.size() * sizeof(PointF);
        }
    }
    return bytes;
}

std::size_t textBytes(const PaintedText &text)
{
    std::size_t bytes = sizeof(PaintedText) + blockOverhead
                        + text.glyphs.size() * sizeof(PlacedGlyph)
                        + text.chunks.size() * sizeof(GlyphChunk);
    for (const GlyphOutline &outline : text.outlines) {
        bytes += pathBytes(outline.path);
    }
    for (const QPainterPath &outline : text.chunkOutlines) {
        bytes += pathBytes(outline);
    }
    for (const PlacedGlyphPicture &placed : text.pictures) {
        bytes += sizeof(PlacedGlyphPicture);
        if (placed.picture) {
            for (const QImage &size : placed.picture->sizes) {
                bytes += std::size_t(size.sizeInBytes());
            }
        }
    }
    return bytes;
}

} // namespace

std::size_t paintedElementBytes(const PaintedElement &element)
{
    std::size_t bytes = sizeof(PaintedElement) + blockOverhead;
    for (const auto &area : element.areas) {
        bytes += pathBytes(area.first);
    }
    bytes += element.denseAreas.size() / 8;
    if (element.hatch) {
        bytes += hatchBytes(*element.hatch);
    }
    if (element.text) {
        bytes += textBytes(*element.text);
    }
    return bytes;
}

} // namespace zentrel
