#include "app/image_difference.h"
#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/editor/commands/whiteboard_transforms.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace zentrel {
namespace {

using testing::EditorFixture;

const QColor paper(Qt::white);
const QColor box(20, 40, 220);
const QColor mark(Qt::red);

// A 320 × 240 point screen, captured at two pixels a point: white, with a blue box over the
// scene area (100, 60)–(140, 100).
QImage screenWithBox()
{
    QImage screen(640, 480, QImage::Format_RGB32);
    screen.fill(paper);
    QPainter(&screen).fillRect(200, 120, 80, 80, box);
    return screen;
}

// Zevizu & Vozurir on a 320 × 240 view, with a red rectangle drawn around the box.
struct FrozenScreenCanvasTest : EditorFixture
{
    std::unique_ptr<WhiteboardEditorModel> freeze =
        makeFreezeEditorModel(screenWithBox(), {}, 0, {320, 240}, 2, harness.services());
    WhiteboardCanvasView view{*freeze};

    FrozenScreenCanvasTest()
    {
        view.resize(320, 240);
        WhiteboardElement around = shape(WhiteboardElementKind::rectangle, {90, 50, 60, 60});
        around.style.strokeColor = "#FF0000";
        around.style.strokeWidth = 2;
        around.style.roughness = 0;
        WhiteboardLibrary library = freeze->library();
        library.boards[freeze->currentBoardIndex()].elements.push_back(
            makeElement(std::move(around)));
        freeze->setLibrary(std::move(library));
    }

    // The box, the mark around it and the screen between them sit where the viewport puts
    // each scene point.
    void expectMarkAroundBox(const QImage &image, const std::string &what) const
    {
        const WhiteboardViewport viewport = freeze->currentBoard().viewport;
        const auto expectAt = [&](PointF scene, QColor expected) {
            const PointF at = viewport.toView(scene);
            const QRgb pixel = image.pixel(int(std::floor(at.x)), int(std::floor(at.y)));
            EXPECT_TRUE(std::abs(qRed(pixel) - expected.red()) <= 24
                        && std::abs(qGreen(pixel) - expected.green()) <= 24
                        && std::abs(qBlue(pixel) - expected.blue()) <= 24)
                << what << ": scene (" << scene.x << ", " << scene.y << ") at view (" << at.x
                << ", " << at.y << ") is " << QColor(pixel).name().toStdString();
        };
        expectAt({120, 80}, box);
        expectAt({102, 62}, box);
        expectAt({138, 98}, box);
        expectAt({95, 80}, paper);
        expectAt({120, 55}, paper);
        expectAt({145, 105}, paper);
        expectAt({90, 80}, mark);
        expectAt({150, 80}, mark);
        expectAt({120, 50}, mark);
        expectAt({120, 110}, mark);
    }

    void expectMarkAroundBoxEverywhere(const std::string &what)
    {
        expectMarkAroundBox(view.grab().toImage(), what + ", on screen");
        const std::optional<QByteArray> png = view.renderPNGData();
        ASSERT_TRUE(png);
        expectMarkAroundBox(QImage::fromData(*png, "PNG"), what + ", as PNG");
    }
};

TEST_F(FrozenScreenCanvasTest, MarksStayOnWhatTheyMarkAtEveryZoomAndPan)
{
    expectMarkAroundBoxEverywhere("at 100 %");
    zoom(*freeze, 2, {120, 80});
    expectMarkAroundBoxEverywhere("zoomed 2× about the middle");
    panBy(*freeze, 30, 20);
    expectMarkAroundBoxEverywhere("zoomed and panned");
    zoom(*freeze, 1.3, {40, 30});
    expectMarkAroundBoxEverywhere("zoomed again about a corner");
    zoom(*freeze, 0.1, {200, 150});
    EXPECT_EQ(freeze->currentBoard().viewport.scale, 1);
    expectMarkAroundBoxEverywhere("zoomed back out");
}

// Pans by whole pixels scroll the scaled screen and scale only the strips they uncover.
TEST_F(FrozenScreenCanvasTest, PannedScreenMatchesAFreshRendering)
{
    // Detail everywhere, so a strip scaled from the wrong place shows.
    QImage screen(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            screen.setPixel(x, y, qRgb(x % 256, y % 256, (x / 7 + y / 5) % 2 * 255));
        }
    }
    WhiteboardLibrary library = freeze->library();
    library.boards[freeze->currentBoardIndex()].background =
        WhiteboardBackground::withImage(screen);
    freeze->setLibrary(std::move(library));
    zoom(*freeze, 1.7, {100, 70});
    view.grab();
    for (const PointF step : {PointF{7, -5}, PointF{-30, 12}, PointF{0.5, 3}, PointF{-11, 0}}) {
        panBy(*freeze, step.x, step.y);
        WhiteboardCanvasView fresh(*freeze);
        fresh.resize(view.size());
        EXPECT_LE(largestDifference(view.grab().toImage(), fresh.grab().toImage()), 2)
            << "after a pan by (" << step.x << ", " << step.y << ")";
    }
}

TEST_F(FrozenScreenCanvasTest, MarksMovedAtAZoomStayOverTheScreenTheyWereMovedTo)
{
    zoom(*freeze, 2, {120, 80});
    view.grab();
    // No selection outline, which would lie over the mark.
    freeze->setSelectedTool(WhiteboardTool::freedraw);
    freeze->setSelection({freeze->currentBoard().elements.front()->id});
    freeze->beginTransaction();
    freeze->setInteraction({WhiteboardInteraction::Kind::moving});
    for (int step = 0; step < 3; ++step) {
        moveSelection(*freeze, 4, 2);
        view.grab();
    }
    moveSelection(*freeze, -12, -6);
    expectMarkAroundBox(view.grab().toImage(), "during a drag");
    freeze->endTransaction();
    freeze->setInteraction({});
    freeze->setSelection({});
    expectMarkAroundBoxEverywhere("after the drag");
}

} // namespace
} // namespace zentrel
