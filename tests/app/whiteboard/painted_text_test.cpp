#include "whiteboard/canvas/element_layer/painted_text.h"

#include "app/image_difference.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/render/element_render_plan.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <QtMath>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zentrel {
namespace {

// `lines` lines of `words` words each, and a long word of `letters`, in small letters so the
// smaller zooms show much of it, in a box `width` wide; a wide one holds lines far wider than a
// band.
WhiteboardElement textOf(int lines, int words, int letters, double width = 3000)
{
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::text;
    element.setFrame({-40, 10, width, 200});
    element.fontSize = 9;
    element.lineHeight = 1.25;
    element.style.strokeColor = "#1b1b1f";
    std::string text;
    for (int line = 0; line < lines; ++line) {
        for (int word = 0; word < words; ++word) {
            text += "Glyph" + std::to_string(line * words + word) + " ";
        }
        text += "\n";
    }
    text += std::string(std::size_t(letters), 'w');
    element.text = text;
    return element;
}

// The text's whole outline as one path, from Qt's own layout of each line.
QPainterPath wholeOutline(const RenderText &text)
{
    const double scale = whiteboardLayoutScale(text.fontSize);
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    for (const RenderTextLine &line : text.lines) {
        QTextLayout layout(QString::fromStdString(line.text), whiteboardLayoutFont(text.typeface));
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        layout.createLine().setLineWidth(0);
        layout.endLayout();
        const QTransform place =
            QTransform::fromTranslate(line.origin.x, line.origin.y).scale(scale, scale);
        for (const QGlyphRun &run : layout.glyphRuns()) {
            const QRawFont font = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                outline.addPath(place.map(font.pathForGlyph(glyphs[i]).translated(positions[i])));
            }
        }
    }
    return outline;
}

// A long text is outlined anew for each painting, as far as it shows; a shorter one keeps its
// outlines, in one chunk or several.
struct TextCase
{
    WhiteboardElement element;
    bool keepsOutlines = false;
};

TEST(PaintedText, PaintsInBandsAsItsWholeOutlineFilledInOneGo)
{
    const std::vector<TextCase> texts{
        {textOf(6, 60, 900), false}, {textOf(3, 20, 50), true}, {textOf(1, 2, 3, 100), true}};
    for (const auto &[text, keepsOutlines] : texts) {
        for (const double rotation : {0.0, 0.3}) {
            WhiteboardElement element = text;
            element.rotation = rotation;
            const ElementRenderPlan plan =
                elementRenderPlan(element, RoughnessLevel::none, 1, whiteboardLineMeasurer());
            ASSERT_TRUE(plan.text);
            const QPainterPath whole = wholeOutline(*plan.text);
            const PaintedElement painted = paintedPlan(plan);
            ASSERT_TRUE(painted.text);
            EXPECT_EQ(!painted.text->chunkOutlines.empty(), keepsOutlines) << text.text->size();
            const std::vector<ElementToPaint> elements{{elementPaintBounds(element, 1), &painted}};
            const QSize size(1100, 700);
            for (const double zoom : {0.4, 1.5, 4.0}) {
                for (const PointF at : {PointF{0, 0}, PointF{-1337.25 * zoom, -41.5 * zoom}}) {
                    QImage expected(size, QImage::Format_ARGB32_Premultiplied);
                    expected.fill(Qt::transparent);
                    {
                        QPainter painter(&expected);
                        painter.setRenderHints(QPainter::Antialiasing);
                        painter.translate(at.x, at.y);
                        painter.scale(zoom, zoom);
                        painter.translate(plan.centre.x, plan.centre.y);
                        painter.rotate(qRadiansToDegrees(rotation));
                        painter.translate(-plan.centre.x, -plan.centre.y);
                        painter.fillPath(whole, QColor(0x1b, 0x1b, 0x1f));
                    }
                    QImage banded(size, QImage::Format_ARGB32_Premultiplied);
                    banded.fill(Qt::red); // cleared first
                    // In one band at the smallest zoom, which then fills the glyphs in parts.
                    const int threads = zoom < 1 ? 1 : 8;
                    paintElementsInBands(banded,
                                         QRectF(banded.rect()),
                                         elements,
                                         {{zoom, {at.x, at.y}}, true, threads});
                    EXPECT_LE(largestDifference(banded, expected), 2)
                        << text.text->size() << " letters turned " << rotation << ", zoom " << zoom
                        << ", at " << at.x;
                }
            }
        }
    }
}

TEST(PaintedText, KeepsEachOutlineOnceAndCullsItsGlyphsInChunks)
{
    RenderText word;
    word.fontSize = 20;
    word.lines.push_back({std::string(100'000, 'x'), {0, 0}});
    word.lines.push_back({"", {0, 25}});
    word.lines.push_back({"xy x", {0, 50}});
    // Laid out apart from the first lines, the same glyphs again.
    for (int line = 0; line < 40; ++line) {
        word.lines.push_back({"yx", {0, 75.0 + 25 * line}});
    }
    const PaintedText painted = paintedText(word);
    EXPECT_EQ(painted.outlines.size(), 3u); // x, y and the space
    EXPECT_EQ(painted.glyphs.size(), 100'084u);
    ASSERT_FALSE(painted.chunks.empty());
    EXPECT_LT(painted.chunks.front().bounds.width(), 1000);
    EXPECT_GT(painted.chunks.back().bounds.bottom(), 50);

    // Only the glyphs the painter shows are outlined: a view of the word's middle paints as
    // much ink as one of its start, and nothing where no glyph is.
    const auto inkIn = [&](QRectF view) {
        QImage image(200, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setClipRect(image.rect());
        painter.translate(-view.topLeft());
        paintText(painter, painted, painter.clipBoundingRect());
        painter.end();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                ink += qAlpha(image.pixel(x, y));
            }
        }
        return ink;
    };
    const int start = inkIn({0, 0, 200, 40});
    EXPECT_GT(start, 0);
    EXPECT_NEAR(inkIn({400'000, 0, 200, 40}), start, start / 10);
    EXPECT_EQ(inkIn({0, -400, 200, 40}), 0);
}

} // namespace
} // namespace zentrel
