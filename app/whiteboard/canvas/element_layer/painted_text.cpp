#include "whiteboard/canvas/element_layer/painted_text.h"

#include "common/pool_parallel_work.h"
#include "common/qt_conversions.h"
#include "whiteboard/canvas/element_layer/glyph_run_font.h"
#include "whiteboard/canvas/emoji_font.h"
#include "whiteboard/canvas/whiteboard_fonts.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace zentrel {

namespace {

// Lines laid out together, on one of the pool's threads; a text of a megabyte takes most of a
// second on one.
constexpr std::size_t linesPerLayout = 32;
// Glyphs culled together: a chunk is a few hundred points wide at most sizes.
constexpr std::size_t glyphsPerChunk = 64;
// A view showing a huge text whole fills it in parts of about a megabyte, rather than outlining
// every glyph into one path first.
constexpr int elementsPerFill = 1 << 16;

using FontKey = GlyphRunFontKey;
using GlyphKey = std::pair<FontKey, quint32>;
// Per font, each glyph's: looked up a run at a time, so each glyph compares numbers only.
template <typename T>
using ByFont = std::map<FontKey, std::map<quint32, T>>;

// Qt loads every outline afresh, running the font's hinting program each time, which was most
// of the time a board took to show first; a board's texts share few glyphs, so each thread keeps
// the outlines it loaded, and the texts share them. Only outlines are kept, no font: a font may
// not outlive the thread's own font cache.
std::map<quint32, GlyphOutline> &glyphOutlines(const FontKey &font)
{
    thread_local ByFont<GlyphOutline> outlines;
    return outlines[font];
}

const GlyphOutline &
glyphOutline(std::map<quint32, GlyphOutline> &outlines, const QRawFont &rawFont, quint32 glyph)
{
    const auto found = outlines.find(glyph);
    if (found != outlines.end()) {
        return found->second;
    }
    QPainterPath path = glyphRunOutline(rawFont, glyph);
    // Now, while no other thread reads it.
    const QRectF bounds = path.controlPointRect();
    return outlines.emplace(glyph, GlyphOutline{std::move(path), bounds}).first->second;
}

// A glyph without an outline is drawn once per thread to see whether it shows anything, as a
// colour emoji does and a space does not. Each picture weighs as much as thousands of outlines,
// so only so many are kept; texts hold on to their own.
std::shared_ptr<const GlyphPicture>
glyphPictureOf(const FontKey &font, const QRawFont &rawFont, quint32 glyph)
{
    constexpr std::size_t picturesKept = 256;
    thread_local std::map<GlyphKey, std::shared_ptr<const GlyphPicture>> pictures;
    const GlyphKey key{font, glyph};
    const auto found = pictures.find(key);
    if (found != pictures.end()) {
        return found->second;
    }
    if (pictures.size() >= picturesKept) {
        pictures.clear();
    }
    std::optional<GlyphPicture> picture = glyphPicture(rawFont, glyph);
    return pictures
        .emplace(key, picture ? std::make_shared<const GlyphPicture>(std::move(*picture)) : nullptr)
        .first->second;
}

// Some lines of a text, with the outlines they use.
struct LaidOutLines
{
    std::vector<GlyphKey> keys; // of `outlines`, alike
    std::vector<GlyphOutline> outlines;
    std::vector<PlacedGlyph> glyphs;
    // Of `outlines`, where Qt draws a picture instead; empty when it draws none.
    std::vector<std::shared_ptr<const GlyphPicture>> pictures;
};

// Shapes `lines` in the layout font. Qt keeps line positions in fixed point of small range, so
// they are laid out relative to the first, and the glyphs then moved by `offset`.
LaidOutLines laidOutLines(const std::vector<RenderTextLine> &lines,
                          WhiteboardTypeface typeface,
                          double scale,
                          QPointF offset)
{
    QString string;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            string += QChar::LineSeparator;
        }
        string += QString::fromStdString(lines[i].text);
    }
    QTextLayout layout(string, whiteboardLayoutFont(typeface));
    layout.setFormats(emojiFormats(string, whiteboardLayoutPixelSize()));
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    const PointF base = lines.front().origin;
    layout.beginLayout();
    for (const RenderTextLine &line : lines) {
        QTextLine laid = layout.createLine();
        if (!laid.isValid()) {
            break;
        }
        laid.setLineWidth(0);
        laid.setPosition({(line.origin.x - base.x) / scale, (line.origin.y - base.y) / scale});
    }
    layout.endLayout();
    // Line by line: the layout's own glyphRuns() merges the runs of all lines into one per font,
    // copying what it merged so far for every line, which a text of many lines waits seconds
    // for.
    LaidOutLines laidOut;
    ByFont<std::uint32_t> indexes;
    for (int line = 0; line < layout.lineCount(); ++line) {
        for (const QGlyphRun &run : layout.lineAt(line).glyphRuns()) {
            const QRawFont rawFont = run.rawFont();
            const FontKey font = glyphRunFontKey(rawFont);
            std::map<quint32, GlyphOutline> &outlines = glyphOutlines(font);
            std::map<quint32, std::uint32_t> &fontIndexes = indexes[font];
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                auto [index, isNew] =
                    fontIndexes.try_emplace(glyphs[i], std::uint32_t(laidOut.outlines.size()));
                if (isNew) {
                    laidOut.keys.push_back({font, glyphs[i]});
                    laidOut.outlines.push_back(glyphOutline(outlines, rawFont, glyphs[i]));
                    if (laidOut.outlines.back().path.isEmpty()) {
                        if (auto picture = glyphPictureOf(font, rawFont, glyphs[i])) {
                            laidOut.pictures.resize(laidOut.outlines.size());
                            laidOut.pictures.back() = std::move(picture);
                        }
                    }
                }
                laidOut.glyphs.push_back({index->second, offset + positions[i]});
            }
        }
    }
    return laidOut;
}

// Places the part's pictured glyphs in the scene, in the text's colour.
void placePictures(LaidOutLines &part, PaintedText &text)
{
    for (auto &picture : part.pictures) {
        if (picture) {
            picture = inTextColour(std::move(picture), text.colour);
        }
    }
    for (const PlacedGlyph &glyph : part.glyphs) {
        if (glyph.outline < part.pictures.size() && part.pictures[glyph.outline]) {
            const std::shared_ptr<const GlyphPicture> &picture = part.pictures[glyph.outline];
            const QRectF place = picture->place.translated(glyph.position);
            text.pictures.push_back(
                {picture,
                 QRectF(text.origin + place.topLeft() * text.scale, place.size() * text.scale)});
        }
    }
}

// Joins the parts, keeping each distinct outline once.
void join(std::vector<LaidOutLines> &parts, PaintedText &text)
{
    // Most texts are one part, whose outlines are distinct already.
    if (parts.size() == 1) {
        if (!parts.front().pictures.empty()) {
            placePictures(parts.front(), text);
        }
        text.outlines = std::move(parts.front().outlines);
        text.glyphs = std::move(parts.front().glyphs);
        return;
    }
    std::map<GlyphKey, std::uint32_t> indexes;
    for (LaidOutLines &part : parts) {
        std::vector<std::uint32_t> joined(part.outlines.size());
        for (std::size_t i = 0; i < part.outlines.size(); ++i) {
            const auto [index, isNew] =
                indexes.try_emplace(part.keys[i], std::uint32_t(text.outlines.size()));
            if (isNew) {
                text.outlines.push_back(std::move(part.outlines[i]));
            }
            joined[i] = index->second;
        }
        for (const PlacedGlyph &glyph : part.glyphs) {
            text.glyphs.push_back({joined[glyph.outline], glyph.position});
        }
        if (!part.pictures.empty()) {
            placePictures(part, text);
        }
        part = {};
    }
}

QRectF sceneBounds(const PaintedText &text, const GlyphChunk &chunk)
{
    QRectF layoutBounds;
    for (std::size_t i = chunk.begin; i < chunk.end; ++i) {
        const PlacedGlyph &glyph = text.glyphs[i];
        const GlyphOutline &outline = text.outlines[glyph.outline];
        if (!outline.path.isEmpty()) {
            layoutBounds |= outline.bounds.translated(glyph.position);
        }
    }
    return QRectF(text.origin + layoutBounds.topLeft() * text.scale,
                  layoutBounds.size() * text.scale);
}

// A chunk of glyphs without outlines, such as spaces, is left out.
void cutIntoChunks(PaintedText &text)
{
    for (std::size_t begin = 0; begin < text.glyphs.size(); begin += glyphsPerChunk) {
        GlyphChunk chunk{begin, std::min(begin + glyphsPerChunk, text.glyphs.size()), {}};
        chunk.bounds = sceneBounds(text, chunk);
        if (!chunk.bounds.isNull()) {
            text.chunks.push_back(chunk);
        }
    }
}

void appendGlyph(QPainterPath &path, const GlyphOutline &outline, QPointF at, double scale)
{
    const auto point = [&](const QPainterPath::Element &element) {
        return at + QPointF(element.x, element.y) * scale;
    };
    const QPainterPath &elements = outline.path;
    const int count = elements.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element &element = elements.elementAt(i);
        if (element.isMoveTo()) {
            path.moveTo(point(element));
        } else if (element.isCurveTo() && i + 2 < count) {
            path.cubicTo(
                point(element), point(elements.elementAt(i + 1)), point(elements.elementAt(i + 2)));
            i += 2;
        } else {
            path.lineTo(point(element));
        }
    }
}

// Appends the glyphs of `chunk` to `path`, outlined in the scene.
void appendChunk(QPainterPath &path, const PaintedText &text, const GlyphChunk &chunk)
{
    for (std::size_t i = chunk.begin; i < chunk.end; ++i) {
        const PlacedGlyph &glyph = text.glyphs[i];
        appendGlyph(path,
                    text.outlines[glyph.outline],
                    text.origin + glyph.position * text.scale,
                    text.scale);
    }
}

// The chunk's glyphs outlined in the scene, put together as whole paths: a path built a point
// at a time checks and grows with every point.
QPainterPath chunkOutline(const PaintedText &text, const GlyphChunk &chunk)
{
    int elements = 0;
    for (std::size_t i = chunk.begin; i < chunk.end; ++i) {
        elements += text.outlines[text.glyphs[i].outline].path.elementCount();
    }
    // Kept: as large as it needs, no larger.
    QPainterPath outline;
    outline.reserve(elements);
    outline.setFillRule(Qt::WindingFill);
    for (std::size_t i = chunk.begin; i < chunk.end; ++i) {
        const PlacedGlyph &glyph = text.glyphs[i];
        outline.addPath(text.outlines[glyph.outline].path.translated(glyph.position));
    }
    return QTransform::fromTranslate(text.origin.x(), text.origin.y())
        .scale(text.scale, text.scale)
        .map(outline);
}

void outlineChunks(PaintedText &text)
{
    std::size_t elements = 0;
    for (const PlacedGlyph &glyph : text.glyphs) {
        elements += std::size_t(text.outlines[glyph.outline].path.elementCount());
    }
    if (elements > std::size_t(elementsPerFill)) {
        return;
    }
    text.chunkOutlines.reserve(text.chunks.size());
    for (const GlyphChunk &chunk : text.chunks) {
        text.chunkOutlines.push_back(chunkOutline(text, chunk));
    }
}

} // namespace

PaintedText paintedText(const RenderText &text)
{
    PaintedText painted;
    painted.colour = toQColor(text.color);
    const double scale = whiteboardLayoutScale(text.fontSize);
    if (!(scale > 0) || !std::isfinite(scale) || text.lines.empty()) {
        return painted;
    }
    const PointF base = text.lines.front().origin;
    painted.origin = QPointF(base.x, base.y);
    painted.scale = scale;
    const std::size_t count = (text.lines.size() + linesPerLayout - 1) / linesPerLayout;
    std::vector<LaidOutLines> parts(count);
    const auto layOutPart = [&](std::size_t part) {
        const std::size_t first = part * linesPerLayout;
        const auto begin = text.lines.begin() + static_cast<std::ptrdiff_t>(first);
        const std::size_t lines = std::min(linesPerLayout, text.lines.size() - first);
        const std::vector<RenderTextLine> some(begin, begin + static_cast<std::ptrdiff_t>(lines));
        const PointF from = some.front().origin;
        parts[part] = laidOutLines(
            some, text.typeface, scale, QPointF(from.x - base.x, from.y - base.y) / scale);
    };
    if (count > 1) {
        runInParallel(count, poolThreadCount(), layOutPart);
    } else {
        layOutPart(0);
    }
    join(parts, painted);
    cutIntoChunks(painted);
    outlineChunks(painted);
    return painted;
}

void paintText(QPainter &painter,
               const PaintedText &text,
               const std::optional<QRectF> &visible,
               AreaPaths paths)
{
    // A kept outline that is all a painting shows is filled as it is, without copying it.
    const QPainterPath *alone = nullptr;
    QPainterPath area;
    const auto fillArea = [&] {
        area.setFillRule(Qt::WindingFill);
        painter.fillPath(area, text.colour);
    };
    for (std::size_t i = 0; i < text.chunks.size(); ++i) {
        const GlyphChunk &chunk = text.chunks[i];
        if (visible && !boxReaches(chunk.bounds, *visible)) {
            continue;
        }
        if (text.chunkOutlines.empty()) {
            appendChunk(area, text, chunk);
        } else if (!alone && area.isEmpty()) {
            alone = &text.chunkOutlines[i];
            continue;
        } else {
            if (alone) {
                area.addPath(*std::exchange(alone, nullptr));
            }
            area.addPath(text.chunkOutlines[i]);
        }
        if (area.elementCount() >= elementsPerFill) {
            fillArea();
            area.clear();
        }
    }
    if (alone) {
        painter.fillPath(pathToFill(*alone, paths), text.colour);
    } else if (!area.isEmpty()) {
        fillArea();
    }
    if (!text.pictures.empty()) {
        paintGlyphPictures(painter, text.pictures, text.colour.alphaF(), visible);
    }
}

bool boxReaches(const QRectF &box, const QRectF &visible)
{
    return box.left() <= visible.right() && visible.left() <= box.right()
           && box.top() <= visible.bottom() && visible.top() <= box.bottom();
}

} // namespace zentrel
