#include "whiteboard/canvas/element_layer/glyph_pictures.h"

#include "common/bundled_fonts.h"
#include "common/qt_conversions.h"
#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"
#include "whiteboard/render/element_render_plan.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QtMath>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace zentrel {
namespace {

const std::string wellDone = "Well done 👍 class";

// Where the emoji font is missing, what is tested here cannot show.
void skipWithoutColourEmoji()
{
    if (!QFontDatabase::families().contains(QStringLiteral("Noto Color Emoji"))) {
        GTEST_SKIP() << "no colour emoji font (fonts-noto-color-emoji) is installed";
    }
}

struct ColourEmoji : ::testing::Test
{
    void SetUp() override { skipWithoutColourEmoji(); }
};

// The picture the view hands out for copies, saved files and session frames.
struct ColourEmojiExport : testing::EditorFixture
{
    void SetUp() override { skipWithoutColourEmoji(); }
};

WhiteboardElement emojiText(double opacity, double rotation)
{
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::text;
    // Narrow enough that "class" breaks onto a centred line of its own.
    element.setFrame({30, 20, 200, 80});
    element.text = wellDone;
    element.fontSize = 28;
    element.fontFamily = WhiteboardFontFamily::system;
    element.textAlignment = WhiteboardTextAlignment::center;
    element.rotation = rotation;
    element.style.strokeColor = "#000000";
    element.style.opacity = opacity;
    return element;
}

ElementRenderPlan planOf(const WhiteboardElement &element)
{
    return elementRenderPlan(element, RoughnessLevel::none, 1, whiteboardLineMeasurer());
}

// Qt's own drawing of the plan's lines where the plan puts them, in the font the board lays
// texts out in, under a painter already placed in the scene. The element's opacity is the
// painter's: under a translucent pen Qt would leave a colour glyph opaque.
void drawWithQt(QPainter &painter, const ElementRenderPlan &plan, double opacity)
{
    const RenderText &text = *plan.text;
    const double scale = whiteboardLayoutScale(text.fontSize);
    painter.save();
    painter.setOpacity(opacity);
    painter.translate(plan.centre.x, plan.centre.y);
    painter.rotate(qRadiansToDegrees(plan.rotation));
    painter.translate(-plan.centre.x, -plan.centre.y);
    painter.setFont(whiteboardLayoutFont(text.typeface));
    painter.setPen(Qt::black);
    for (const RenderTextLine &line : text.lines) {
        painter.save();
        painter.translate(line.origin.x, line.origin.y);
        painter.scale(scale, scale);
        painter.drawText(QRectF(0, 0, 10'000, 1'000),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromStdString(line.text));
        painter.restore();
    }
    painter.restore();
}

// The emoji's pixels on a white ground: the only ones of strong colour, as the text is black.
struct ColourInk
{
    int count = 0;
    QPointF centre;
    double red = 0, green = 0, blue = 0;
};

ColourInk colourInk(const QImage &image)
{
    ColourInk ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            if (high - low > 60) {
                ++ink.count;
                ink.centre += QPointF(x, y);
                ink.red += qRed(pixel);
                ink.green += qGreen(pixel);
                ink.blue += qBlue(pixel);
            }
        }
    }
    if (ink.count > 0) {
        ink.centre /= ink.count;
        ink.red /= ink.count;
        ink.green /= ink.count;
        ink.blue /= ink.count;
    }
    return ink;
}

// As many colour pixels, in the same place, of the same colours on average. Qt snaps a colour
// glyph to whole pixels, where the board places it as laid out.
void expectSameColourInk(const QImage &board, const QImage &qt, const std::string &situation)
{
    const ColourInk drawn = colourInk(board);
    const ColourInk expected = colourInk(qt);
    ASSERT_GT(expected.count, 20) << situation;
    EXPECT_NEAR(drawn.count, expected.count, expected.count / 4 + 10) << situation;
    EXPECT_NEAR(drawn.centre.x(), expected.centre.x(), 2) << situation;
    EXPECT_NEAR(drawn.centre.y(), expected.centre.y(), 2) << situation;
    EXPECT_NEAR(drawn.red, expected.red, 16) << situation;
    EXPECT_NEAR(drawn.green, expected.green, 16) << situation;
    EXPECT_NEAR(drawn.blue, expected.blue, 16) << situation;
}

QImage whiteImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

TEST_F(ColourEmoji, BoardPaintsItWhereQtDrawsItAtEveryZoomTurnAndOpacity)
{
    struct Case
    {
        double zoom, rotation, opacity;
    };

    for (const Case &test : {Case{0.5, 0, 1},
                             Case{1, 0, 1},
                             Case{2.5, 0, 1},
                             Case{4, 0, 1},
                             Case{2, 0.4, 1},
                             Case{2, 0, 0.5},
                             Case{1.5, -0.3, 0.5}}) {
        const WhiteboardElement element = emojiText(test.opacity, test.rotation);
        const ElementRenderPlan plan = planOf(element);
        ASSERT_TRUE(plan.text);
        const PaintedElement painted = paintedPlan(plan);
        const std::vector<ElementToPaint> elements{{elementPaintBounds(element, 1), &painted}};
        const QPointF at(7.25, -3.5);
        QImage board = whiteImage({900, 560});
        paintElementsInBands(
            board, QRectF(board.rect()), elements, {{test.zoom, {at.x(), at.y()}}, false, 4});
        QImage qt = whiteImage(board.size());
        {
            QPainter painter(&qt);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            painter.translate(at);
            painter.scale(test.zoom, test.zoom);
            drawWithQt(painter, plan, test.opacity);
        }
        const std::string situation = "zoom " + std::to_string(test.zoom) + ", turned "
                                      + std::to_string(test.rotation) + ", opacity "
                                      + std::to_string(test.opacity);
        expectSameColourInk(board, qt, situation);
    }
}

TEST_F(ColourEmoji, BecomesAPictureMadeOnceThatStaysOnItsMeasuredLine)
{
    WhiteboardElement element = emojiText(1, 0);
    element.text = wellDone + "\n👍";
    const ElementRenderPlan plan = planOf(element);
    const PaintedText painted = paintedText(*plan.text);
    ASSERT_EQ(painted.pictures.size(), 2u);
    EXPECT_EQ(painted.pictures[0].picture, painted.pictures[1].picture); // made once
    ASSERT_GE(plan.text->lines.size(), 3u);
    // The first emoji ends its centred first line, as measured; the second is a line alone.
    const TextMeasurer measure = whiteboardLineMeasurer();
    const RenderTextLine &first = plan.text->lines[0];
    ASSERT_EQ(first.text, "Well done 👍");
    const double before =
        first.origin.x + measure("Well done ", plan.text->typeface, plan.text->fontSize).width;
    const double after = first.origin.x + measure(first.text, plan.text->typeface, 28).width;
    const QRectF emoji = painted.pictures[0].place;
    EXPECT_GE(emoji.left(), before - 1);
    EXPECT_LE(emoji.right(), after + 1);
    EXPECT_GT(emoji.top(), first.origin.y - 2);
    EXPECT_LT(emoji.bottom(), plan.text->lines[1].origin.y + 2);
    const RenderTextLine &last = plan.text->lines.back();
    EXPECT_NEAR(painted.pictures[1].place.center().x(), element.x + element.width / 2, 2);
    EXPECT_GT(painted.pictures[1].place.top(), last.origin.y - 2);
}

// Emoji shown as emoji by default or by their selector, whole sequences among them, come from
// the colour font in every face, as the desktop shows them, and stay on their measured line;
// characters shown as text stay black.
TEST_F(ColourEmoji, EveryEmojiShowsInColourInEveryFaceAndTextStaysBlack)
{
    registerBundledFonts(
        {ZENTREL_BUILD_RESOURCES}, QStringLiteral("Virgil"), QStringLiteral("otf"));
    const std::vector<std::string> emoji{
        "😀", "❤️", "☺️", "#️⃣", "👍🏽", "🇩🇪", "🏳\uFE0F\u200D🌈", "⌚"};
    const std::vector<std::string> text{"☺︎", "❤", "#", "©"};
    for (const WhiteboardFontFamily family : {WhiteboardFontFamily::system,
                                              WhiteboardFontFamily::monospace,
                                              WhiteboardFontFamily::handDrawn}) {
        for (const bool shownAsEmoji : {true, false}) {
            const std::vector<std::string> &samples = shownAsEmoji ? emoji : text;
            for (const std::string &sample : samples) {
                WhiteboardElement element = emojiText(1, 0);
                element.text = "a" + sample;
                element.fontFamily = family;
                element.textAlignment = WhiteboardTextAlignment::left;
                QImage image = whiteImage({260, 120});
                {
                    QPainter painter(&image);
                    paintElement(painter, paintedElement(element, 1));
                }
                const ColourInk ink = colourInk(image);
                const std::string situation = sample + " in family " + std::to_string(int(family));
                if (shownAsEmoji) {
                    EXPECT_GT(ink.count, 40) << situation;
                    // On the first line, after the letter.
                    EXPECT_GT(ink.centre.x(), element.x + 10) << situation;
                    EXPECT_LT(ink.centre.y(), element.y + 40) << situation;
                } else {
                    EXPECT_EQ(ink.count, 0) << situation;
                }
            }
        }
    }
}

TEST(GlyphPictures, SpacesAreNoPicturesAndPlainPicturesTakeTheTextColour)
{
    // Spaces have no outline either, and no ink: a text without emoji keeps no pictures.
    RenderText words;
    words.lines.push_back({"a  b \u00a0 c", {0, 0}});
    EXPECT_TRUE(paintedText(words).pictures.empty());

    QImage mask(2, 1, QImage::Format_ARGB32_Premultiplied);
    mask.setPixel(0, 0, qRgba(0, 0, 0, 128));
    mask.setPixel(1, 0, qRgba(0, 0, 0, 0));
    auto plain = std::make_shared<const GlyphPicture>(GlyphPicture{{mask}, {}, true});
    const auto tinted = inTextColour(plain, QColor(255, 0, 0, 40));
    EXPECT_FALSE(tinted->takesTextColour);
    EXPECT_EQ(tinted->sizes.front().pixel(0, 0), qPremultiply(qRgba(255, 0, 0, 128)));
    EXPECT_EQ(qAlpha(tinted->sizes.front().pixel(1, 0)), 0);
    auto colour = std::make_shared<const GlyphPicture>(GlyphPicture{{mask}, {}, false});
    EXPECT_EQ(inTextColour(colour, Qt::red), colour);
}

TEST_F(ColourEmojiExport, PngOfTheCanvasShowsItWhereQtDrawsIt)
{
    const WhiteboardElement element = emojiText(0.5, 0.2);
    place(element);
    zoom(*model, 2, {0, 0});
    WhiteboardCanvasView view(*model);
    view.resize(480, 320);
    const std::optional<QByteArray> png = view.renderPNGData();
    ASSERT_TRUE(png);
    const QImage exported = QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32);
    QImage qt = whiteImage(exported.size());
    {
        QPainter painter(&qt);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        const WhiteboardViewport viewport = model->currentBoard().viewport;
        painter.translate(viewport.translation.x, viewport.translation.y);
        painter.scale(viewport.scale, viewport.scale);
        drawWithQt(painter, planOf(element), 0.5);
    }
    expectSameColourInk(exported, qt, "exported");
}

} // namespace
} // namespace zentrel
