#include "common/bundled_fonts.h"
#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/render/element_render_plan.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

using testing::EditorFixture;

// Where the build put the fonts it fetched, beside the program.
const QString buildResources = QStringLiteral(ZENTREL_BUILD_RESOURCES);

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

// Whether a pixel within `reach` of `point` matches.
template <typename Match>
bool pixelNear(const QImage &image, QPoint point, int reach, Match match)
{
    for (int y = point.y() - reach; y <= point.y() + reach; ++y) {
        for (int x = point.x() - reach; x <= point.x() + reach; ++x) {
            if (image.valid(x, y) && match(image.pixel(x, y))) {
                return true;
            }
        }
    }
    return false;
}

// Whether any pixel within `reach` of `point` is dark.
bool inkNear(const QImage &image, QPoint point, int reach = 3)
{
    return pixelNear(image, point, reach, isInk);
}

// The runs of rows holding ink within `columns`, as first and last row.
std::vector<std::pair<int, int>> inkBands(const QImage &image, int fromColumn, int toColumn)
{
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = fromColumn; x < toColumn && !ink; ++x) {
            ink = isInk(image.pixel(x, y));
        }
        if (ink && (bands.empty() || bands.back().second != y - 1)) {
            bands.emplace_back(y, y);
        } else if (ink) {
            bands.back().second = y;
        }
    }
    return bands;
}

// The rightmost column with ink between two rows.
int lastInkColumn(const QImage &image, std::pair<int, int> rows)
{
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = rows.first; y <= rows.second; ++y) {
            if (isInk(image.pixel(x, y))) {
                return x;
            }
        }
    }
    return -1;
}

struct WhiteboardElementPaintingTest : EditorFixture
{
    WhiteboardCanvasView view{*model};

    WhiteboardElementPaintingTest() { view.resize(320, 200); }

    void TearDown() override { QFontDatabase::removeAllApplicationFonts(); }

    QImage png()
    {
        const std::optional<QByteArray> data = view.renderPNGData();
        EXPECT_TRUE(data);
        return data ? QImage::fromData(*data, "PNG").convertToFormat(QImage::Format_RGB32)
                    : QImage();
    }

    // A smooth black line through `points`, its frame from the first to the last, as an
    // imported one is.
    WhiteboardElement polyline(std::vector<WhiteboardPoint> points)
    {
        const WhiteboardPoint first = points.front();
        const WhiteboardPoint last = points.back();
        WhiteboardElement line = shape(WhiteboardElementKind::line,
                                       {first.x, first.y, last.x - first.x, last.y - first.y});
        line.points = std::move(points);
        line.style.strokeColor = "#000000";
        line.style.strokeWidth = 4;
        line.style.roughness = 0;
        return line;
    }
};

TEST_F(WhiteboardElementPaintingTest, FivePointLineShowsEveryBend)
{
    place(polyline({{20, 40}, {60, 160}, {100, 40}, {140, 160}, {180, 40}}));
    const QImage image = png();
    for (const QPoint corner : {QPoint(60, 158), QPoint(100, 42), QPoint(140, 158)}) {
        EXPECT_TRUE(inkNear(image, corner)) << corner.x() << ", " << corner.y();
    }
    // The straight way from the first point to the last is not drawn.
    EXPECT_FALSE(inkNear(image, {45, 40}));
    EXPECT_FALSE(inkNear(image, {155, 40}));
}

TEST_F(WhiteboardElementPaintingTest, ClosedLineIsFilledAsAShape)
{
    WhiteboardElement square = polyline({{40, 40}, {140, 40}, {140, 140}, {40, 140}, {40, 40}});
    square.style.fillColor = "#FF0000";
    place(std::move(square));
    EXPECT_EQ(png().pixel(90, 90), QColor(Qt::red).rgb());
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 120 && qBlue(pixel) < 120;
}

TEST_F(WhiteboardElementPaintingTest, EveryFillShowsAtEveryRoughness)
{
    const RectF frame{40, 40, 240, 120};
    const QPoint centre(160, 100);
    WhiteboardElement rounded = shape(WhiteboardElementKind::rectangle, frame);
    rounded.style.roundnessType = 3;
    for (WhiteboardElement element :
         {shape(WhiteboardElementKind::rectangle, frame),
          rounded,
          shape(WhiteboardElementKind::ellipse, frame),
          shape(WhiteboardElementKind::diamond, frame),
          shape(WhiteboardElementKind::marker, frame),
          polyline({{40, 40}, {280, 40}, {280, 160}, {40, 160}, {40, 40}})}) {
        element.style.fillColor = "#FF0000";
        WhiteboardLibrary library = model->library();
        library.boards[model->currentBoardIndex()].elements.clear();
        model->setLibrary(std::move(library));
        place(element);
        for (const int roughness : {0, 1, 2, 3, -1, 7}) {
            for (const auto style : {WhiteboardFillStyle::solid,
                                     WhiteboardFillStyle::hachure,
                                     WhiteboardFillStyle::crossHatch}) {
                element.style.roughness = roughness;
                element.style.fillStyle = style;
                replace(element);
                const QImage image = png();
                const std::string where = std::to_string(int(element.kind)) + " roughness "
                                          + std::to_string(roughness) + " style "
                                          + std::to_string(int(style));
                // A marker's number stands white in the middle of its disc.
                const bool marker = element.kind == WhiteboardElementKind::marker;
                const QPoint inside = marker ? centre - QPoint(60, 0) : centre;
                if (marker) {
                    EXPECT_TRUE(pixelNear(image, centre, 8, [](QRgb pixel) {
                        return qGray(pixel) > 240;
                    })) << where;
                }
                if (style == WhiteboardFillStyle::solid) {
                    EXPECT_EQ(image.pixel(inside), QColor(Qt::red).rgb()) << where;
                } else {
                    EXPECT_TRUE(pixelNear(image, inside, 4, isRed)) << where;
                }
                // Nor does any fill stray past the shape's wobble.
                const QRect wobble = QRect(40, 40, 240, 120).adjusted(-10, -10, 10, 10);
                int strayRed = 0;
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        strayRed += !wobble.contains(x, y) && isRed(image.pixel(x, y));
                    }
                }
                EXPECT_EQ(strayRed, 0) << where;
            }
        }
    }
}

TEST_F(WhiteboardElementPaintingTest, ArrowheadsAreTheOnesTheDocumentAsksFor)
{
    // A dot at the start and no head at the end.
    WhiteboardElement dotted = polyline({{60, 50}, {260, 50}});
    dotted.kind = WhiteboardElementKind::arrow;
    dotted.startArrowhead = WhiteboardArrowhead::dot;
    dotted.endArrowhead = WhiteboardArrowhead::none;
    place(std::move(dotted));
    // A filled triangle at the end of one, a hollow one at the end of the other.
    for (const auto &[y, head] : {std::pair{110, WhiteboardArrowhead::triangle},
                                  std::pair{170, WhiteboardArrowhead::triangleOutline}}) {
        WhiteboardElement arrow = polyline({{60, double(y)}, {260, double(y)}});
        arrow.kind = WhiteboardElementKind::arrow;
        arrow.style.strokeWidth = 2;
        arrow.endArrowhead = head;
        place(std::move(arrow));
    }
    const QImage image = png();
    EXPECT_TRUE(isInk(image.pixel(54, 50)));    // behind the start, inside the dot
    EXPECT_FALSE(inkNear(image, {246, 44}, 2)); // where the usual barb would be
    EXPECT_TRUE(isInk(image.pixel(252, 110)));  // inside the filled triangle
    EXPECT_FALSE(isInk(image.pixel(252, 170))); // inside the hollow one: the line stops short
    EXPECT_TRUE(inkNear(image, {250, 165}, 1)); // its side
}

TEST_F(WhiteboardElementPaintingTest, ARoundedPolylineIsDrawnAsACurve)
{
    WhiteboardElement line = polyline({{40, 160}, {160, 40}, {280, 160}});
    // Halfway along its first piece the curve stands about 10 points above the straight line.
    place(line);
    EXPECT_TRUE(isInk(png().pixel(92, 107)));
    EXPECT_FALSE(isInk(png().pixel(92, 92)));
    line.style.roundnessType = 2;
    replace(line);
    const QImage image = png();
    EXPECT_FALSE(isInk(image.pixel(92, 107)));
    EXPECT_TRUE(isInk(image.pixel(92, 92)));
    // It still passes every point.
    EXPECT_TRUE(inkNear(image, {160, 42}));
}

// A source measured "payment" a little narrower than this font does: the word stays whole on
// its own line, where breaking at any letter would have left "nt" on a third line.
TEST_F(WhiteboardElementPaintingTest, WrappedTextKeepsItsWordsWhole)
{
    const TextMeasurer measure = whiteboardLineMeasurer();
    const double fontSize = 28;
    const double word = measure("payment", WhiteboardTypeface::handDrawn, fontSize).width;
    WhiteboardElement text = shape(WhiteboardElementKind::text, {20, 20, word * 0.97, 80});
    text.text = "search payment";
    text.fontSize = fontSize;
    text.style.strokeColor = "#000000";

    const ElementRenderPlan plan = elementRenderPlan(text, RoughnessLevel::none, 1, measure);
    ASSERT_TRUE(plan.text);
    ASSERT_EQ(plan.text->lines.size(), 2u);
    EXPECT_EQ(plan.text->lines[0].text, "search");
    EXPECT_EQ(plan.text->lines[1].text, "payment");

    place(std::move(text));
    const QImage image = png();
    const auto bands = inkBands(image, 0, image.width());
    ASSERT_EQ(bands.size(), 2u);
    // The second row ends where the whole word does, past the box.
    EXPECT_NEAR(lastInkColumn(image, bands[1]), 20 + word, 4);
}

TEST_F(WhiteboardElementPaintingTest, ExcalidrawFontNumbersDrawInTheirOwnFonts)
{
    if (!QFile::exists(buildResources + QStringLiteral("/Resources/Fonts/Excalifont.otf"))) {
        GTEST_SKIP() << "the build could not fetch the hand-drawn fonts";
    }
    ASSERT_TRUE(
        registerBundledFonts({buildResources}, QStringLiteral("Virgil"), QStringLiteral("otf")));
    ASSERT_TRUE(registerBundledFonts(
        {buildResources}, QStringLiteral("Excalifont"), QStringLiteral("otf")));
    EXPECT_EQ(QFontInfo(whiteboardLayoutFont(WhiteboardTypeface::excalifont)).family(),
              QStringLiteral("Excalifont"));
    EXPECT_EQ(QFontInfo(whiteboardLayoutFont(WhiteboardTypeface::virgil)).family(),
              QStringLiteral("Virgil"));
    // Excalidraw measured "Hello!" in Excalifont at 18 pixels as 44.424 wide: at a size between
    // whole pixels too, the text measures here as it did there.
    const TextMeasurer measure = whiteboardLineMeasurer();
    EXPECT_NEAR(measure("Hello!", WhiteboardTypeface::excalifont, 18).width, 44.424, 0.2);
    EXPECT_NEAR(
        measure("Hello!", WhiteboardTypeface::excalifont, 18.5).width, 44.424 * 18.5 / 18, 0.2);

    WhiteboardElement excalifont = shape(WhiteboardElementKind::text, {10, 10, 300, 60});
    excalifont.text = "Hand-drawn";
    excalifont.fontSize = 36;
    excalifont.fontFamily = WhiteboardFontFamily::handDrawn;
    excalifont.fontFamilyID = 5;
    excalifont.style.strokeColor = "#000000";
    WhiteboardElement virgil = excalifont;
    virgil.id = model->makeIdentifier();
    virgil.fontFamily.reset();
    virgil.fontFamilyID = 1;
    virgil.y = 100;
    place(std::move(excalifont));
    place(std::move(virgil));
    const QImage image = png();
    EXPECT_NE(image.copy(10, 10, 300, 60), image.copy(10, 100, 300, 60));
}

} // namespace
} // namespace zentrel
