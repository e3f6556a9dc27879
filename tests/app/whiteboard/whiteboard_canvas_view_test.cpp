#include "whiteboard/canvas/whiteboard_canvas_view.h"

#include "app/image_difference.h"
#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/canvas/canvas_backdrop.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"
#include "whiteboard/editor/commands/whiteboard_transforms.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QSemaphore>
#include <QTest>
#include <QTextEdit>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

using testing::EditorFixture;

QImage decoded(const std::optional<QByteArray> &png)
{
    EXPECT_TRUE(png);
    return png ? QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32) : QImage();
}

bool isNear(QRgb pixel, QColor expected, int tolerance = 8)
{
    return std::abs(qRed(pixel) - expected.red()) <= tolerance
           && std::abs(qGreen(pixel) - expected.green()) <= tolerance
           && std::abs(qBlue(pixel) - expected.blue()) <= tolerance;
}

struct WhiteboardCanvasViewTest : EditorFixture
{
    WhiteboardCanvasView view{*model};

    WhiteboardCanvasViewTest() { view.resize(240, 160); }

    Uuid placeFilled(RectF frame, const char *fill, std::int64_t roughness = 0)
    {
        WhiteboardElement element = shape(WhiteboardElementKind::rectangle, frame);
        element.style.fillColor = fill;
        element.style.strokeColor = fill;
        element.style.roughness = roughness;
        return place(std::move(element));
    }

    void setBackground(WhiteboardBackground background)
    {
        WhiteboardLibrary library = model->library();
        library.boards[model->currentBoardIndex()].background = std::move(background);
        model->setLibrary(std::move(library));
    }

    // Every element kind, fill and stroke style across the view, a few of them rotated.
    void placeMixedBoard()
    {
        int i = 0;
        for (const WhiteboardElementKind kind : allWhiteboardElementKinds) {
            for (int copy = 0; copy < 3; ++copy, ++i) {
                WhiteboardElement element =
                    shape(kind, {10.0 + (i % 8) * 28, 10.0 + (i / 8) * 40, 24, 30});
                // Qt places small rotated glyphs a little differently at each position, which
                // is no fault of the caches.
                const bool upright = kind == WhiteboardElementKind::unsupported;
                element.rotation = copy == 1 && !upright ? 0.4 : 0;
                element.style.fillColor =
                    copy == 2 ? std::nullopt : std::optional<std::string>("#3366CC");
                element.style.fillStyle = static_cast<WhiteboardFillStyle>(copy);
                element.style.strokeStyle = static_cast<WhiteboardStrokeStyle>(copy);
                element.style.roughness = copy + 1;
                element.text = "Ab";
                element.points = {{element.x, element.y}, {element.x + 10, element.y + 20}};
                place(std::move(element));
            }
        }
    }

    void showGrid(bool shows)
    {
        WhiteboardLibrary library = model->library();
        library.boards[model->currentBoardIndex()].showsGrid = shows;
        model->setLibrary(std::move(library));
    }

    // Rough shapes and texts far beyond the view on every side, over the grid.
    void placeWideBoard()
    {
        showGrid(true);
        for (int i = 0; i < 180; ++i) {
            WhiteboardElement element =
                shape(allWhiteboardElementKinds[std::size_t(i) % 8],
                      {-400.0 + (i % 18) * 57, -300.0 + (i / 18) * 71, 40, 36});
            element.style.fillColor = i % 2 == 0 ? "#3366CC" : "#CC6633";
            element.style.roughness = i % 3 + 1;
            element.text = "Ab";
            element.points = {{element.x, element.y}, {element.x + 30, element.y + 20}};
            place(std::move(element));
        }
    }

    // What a view that has never painted this board before shows.
    QImage freshRendering()
    {
        WhiteboardCanvasView fresh(*model);
        fresh.resize(view.size());
        return fresh.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QImage rendering() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Shows the view until it shows the whole board: on a busy machine its first frames may show
    // only the backdrop while the board is painted ahead.
    bool shownWhole()
    {
        view.show();
        return QTest::qWaitFor(
            [&] { return largestDifference(rendering(), freshRendering()) <= 2; });
    }
};

TEST_F(WhiteboardCanvasViewTest, PngShowsBackgroundAndElementsUnderTheViewport)
{
    placeFilled({20, 20, 30, 20}, "#FF0000");
    zoom(*model, 2, {0, 0});
    panBy(*model, 10, 10);

    const QImage image = decoded(view.renderPNGData());
    ASSERT_EQ(image.size(), QSize(240, 160));
    EXPECT_TRUE(isNear(image.pixel(80, 70), Qt::red)); // scene (35, 30)
    EXPECT_TRUE(isNear(image.pixel(45, 45), Qt::white));
    EXPECT_TRUE(isNear(image.pixel(200, 140), Qt::white));
}

TEST_F(WhiteboardCanvasViewTest, PngLeavesOutSelectionAndKeepsTheFrozenScreenOrBlackBoard)
{
    const Uuid id = placeFilled({40, 60, 60, 40}, "#00FF00");
    model->setSelection({id});
    setBackground(WhiteboardBackground::black());

    // The rotation handle, white, sits 24 points above the top edge's middle.
    EXPECT_TRUE(isNear(rendering().pixel(70, 36), Qt::white, 40));
    const QImage exported = decoded(view.renderPNGData());
    EXPECT_TRUE(isNear(exported.pixel(70, 36), Qt::black, 40));
    EXPECT_TRUE(isNear(exported.pixel(70, 80), Qt::green));
}

TEST_F(WhiteboardCanvasViewTest, FrozenScreenFillsTheSceneSizeWithoutGridOrTexture)
{
    QImage screen(120, 80, QImage::Format_RGB32);
    screen.fill(QColor(10, 20, 200));
    const auto freeze = makeFreezeEditorModel(screen, {}, 2, {120, 80}, 4, harness.services());
    WhiteboardCanvasView canvas(*freeze);
    canvas.resize(240, 160);
    const QImage image = decoded(canvas.renderPNGData());
    EXPECT_EQ(image.pixel(0, 0), QColor(10, 20, 200).rgb());
    EXPECT_EQ(image.pixel(119, 79), QColor(10, 20, 200).rgb());
    EXPECT_EQ(image.pixel(200, 40), QColor(Qt::black).rgb());
}

// A shown view paints its first picture ahead, while the window is still on its way; an edit or
// a pan before the first frame must show as it would in a view that never painted ahead.
TEST_F(WhiteboardCanvasViewTest, FirstFramePaintedAheadShowsTheBoardAsItIsThen)
{
    placeWideBoard();
    const auto firstFrameAfter = [this](const std::function<void()> &change) {
        WhiteboardCanvasView shown(*model);
        shown.resize(view.size());
        shown.show();
        QThreadPool::globalInstance()->waitForDone();
        change();
        const QImage first = shown.grab().toImage().convertToFormat(QImage::Format_RGB32);
        return largestDifference(first, freshRendering());
    };
    EXPECT_LE(firstFrameAfter([] {}), 2);
    EXPECT_LE(firstFrameAfter([this] { panBy(*model, 30, -20); }), 2);
    EXPECT_LE(firstFrameAfter([this] { panBy(*model, 7.5, 0.25); }), 2);
    EXPECT_LE(firstFrameAfter([this] {
                  model->setSelection({model->currentBoard().elements[20]->id});
                  setStrokeColor(*model, {1, 0, 0, 1});
              }),
              2);
    EXPECT_LE(firstFrameAfter([this] { showGrid(false); }), 2);
}

TEST_F(WhiteboardCanvasViewTest, CachedLayersMatchAFreshRenderingAfterPanEditAndDrag)
{
    placeMixedBoard();
    rendering();

    panBy(*model, 7, -5);
    EXPECT_LE(largestDifference(rendering(), freshRendering()), 2);
    panBy(*model, -30, 12);
    EXPECT_LE(largestDifference(rendering(), freshRendering()), 2);

    const Uuid first = model->currentBoard().elements[3]->id;
    model->setSelection({first});
    setStrokeColor(*model, {1, 0, 0, 1});
    EXPECT_LE(largestDifference(rendering(), freshRendering()), 2);

    model->setSelection({first, model->currentBoard().elements[10]->id});
    model->beginTransaction();
    model->setInteraction({WhiteboardInteraction::Kind::moving});
    for (int step = 0; step < 4; ++step) {
        moveSelection(*model, 9, 6);
        EXPECT_LE(largestDifference(rendering(), freshRendering()), 2) << "step " << step;
    }
    model->endTransaction();
    model->setInteraction({});
    EXPECT_LE(largestDifference(rendering(), freshRendering()), 2);
}

// Each drag step composes the frame again only around where the moving elements and their
// handles were and are; long steps must leave nothing of either behind.
TEST_F(WhiteboardCanvasViewTest, LongDragStepsLeaveNothingBehind)
{
    placeMixedBoard();
    showGrid(true);
    rendering();
    model->setSelection({model->currentBoard().elements[9]->id});
    model->beginTransaction();
    model->setInteraction({WhiteboardInteraction::Kind::moving});
    for (const PointF step : {PointF{45, -40}, PointF{-50, 20}, PointF{0, 55}, PointF{3, 2}}) {
        moveSelection(*model, step.x, step.y);
        EXPECT_LE(largestDifference(rendering(), freshRendering()), 2)
            << "after a step by (" << step.x << ", " << step.y << ")";
    }
    model->endTransaction();
    model->setInteraction({});
    EXPECT_LE(largestDifference(rendering(), freshRendering()), 2);
}

// Notes the area of every paint the view is asked for.
class PaintAreas : public QObject
{
public:
    std::vector<QRect> areas;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            areas.push_back(static_cast<QPaintEvent *>(event)->rect());
        }
        return false;
    }
};

// A drag step asks Qt to show only what it changed, which must be all it changed: the screen
// shows what a fresh view would.
TEST_F(WhiteboardCanvasViewTest, DragStepsShowOnlyWhatTheyChangeAndAllOfIt)
{
    placeMixedBoard();
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    model->setSelection({model->currentBoard().elements[9]->id});
    model->beginTransaction();
    model->setInteraction({WhiteboardInteraction::Kind::moving});
    PaintAreas paints;
    view.installEventFilter(&paints);
    for (const PointF step : {PointF{5, 3}, PointF{5, 3}, PointF{-7, 4}, PointF{40, 0}}) {
        moveSelection(*model, step.x, step.y);
        QTest::qWait(20);
        const QImage screen =
            view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_LE(largestDifference(screen, freshRendering()), 2)
            << "after a step by (" << step.x << ", " << step.y << ")";
    }
    view.removeEventFilter(&paints);
    const auto small = std::count_if(paints.areas.begin(), paints.areas.end(), [](QRect area) {
        return area.width() * area.height() < 240 * 160 / 2;
    });
    EXPECT_GE(small, 2);
    model->endTransaction();
    model->setInteraction({});
}

TEST_F(WhiteboardCanvasViewTest, ZoomStepsShowARescaledPictureUntilTheZoomRests)
{
    placeMixedBoard();
    ASSERT_TRUE(shownWhole());
    zoom(*model, 1.1, {120, 80});
    const QImage rescaled = rendering();
    EXPECT_GT(largestDifference(rescaled, freshRendering()), 2);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return largestDifference(rendering(), freshRendering()) <= 2; }));
}

// Zoom steps in a row would make each sharp picture stale before it is done: one is begun when
// the zoom rests, or at once when zooming out has uncovered much of the view.
TEST_F(WhiteboardCanvasViewTest, ASharpPictureIsBegunWhenTheZoomRestsOrMuchIsUncovered)
{
    placeWideBoard();
    ASSERT_TRUE(shownWhole());
    QThreadPool::globalInstance()->waitForDone();
    zoom(*model, 0.95, {120, 80});
    rendering();
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_GT(largestDifference(rendering(), freshRendering()), 2);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return largestDifference(rendering(), freshRendering()) <= 2; }));

    zoom(*model, 0.3, {120, 80});
    rendering();
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_LE(largestDifference(rendering(), freshRendering()), 2);
}

TEST_F(WhiteboardCanvasViewTest, ZoomingThroughNewScalesEndsWithTheFreshPicture)
{
    placeMixedBoard();
    view.show();
    rendering();
    for (const double factor : {0.8, 0.8, 0.8, 1.3, 1.3, 1.3}) {
        zoom(*model, factor, {100, 60});
        rendering();
    }
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return largestDifference(rendering(), freshRendering()) <= 2; }));
}

TEST_F(WhiteboardCanvasViewTest, EditsAndExportsDuringAZoomAreSharpAtOnce)
{
    placeMixedBoard();
    ASSERT_TRUE(shownWhole());
    zoom(*model, 0.7, {120, 80});
    rendering();
    const QImage exported = decoded(view.renderPNGData());
    WhiteboardCanvasView fresh(*model);
    fresh.resize(view.size());
    EXPECT_LE(largestDifference(exported, decoded(fresh.renderPNGData())), 2);

    zoom(*model, 0.7, {120, 80});
    rendering();
    model->setSelection({model->currentBoard().elements[3]->id});
    setStrokeColor(*model, {1, 0, 0, 1});
    EXPECT_LE(largestDifference(rendering(), freshRendering()), 2);
}

// The grid moves with the elements, so it is painted with them; it must look as it does drawn
// over the paper: one-pixel lines 40 scene units apart, their alpha thinned to half a point.
TEST_F(WhiteboardCanvasViewTest, GridLooksAsDrawnOverThePaperAndLiesUnderTheElements)
{
    for (const auto &background : {WhiteboardBackground::white(), WhiteboardBackground::black()}) {
        setBackground(background);
        for (const WhiteboardViewport viewport :
             {WhiteboardViewport{1, {13, -7}}, WhiteboardViewport{0.37, {-40.5, 21.25}}}) {
            WhiteboardLibrary library = model->library();
            library.boards[model->currentBoardIndex()].viewport = viewport;
            model->setLibrary(std::move(library));
            showGrid(false);
            QImage expected = rendering();
            showGrid(true);
            const bool black = background.kind == WhiteboardBackground::Kind::black;
            const BoardGrid grid = boardGrid({0, 0, 240, 160}, viewport, black);
            QColor colour = toQColor(grid.color);
            colour.setAlphaF(colour.alphaF() * 0.5);
            {
                QPainter painter(&expected);
                painter.setPen(QPen(colour, 0));
                const auto &ends = grid.lines.elements();
                for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
                    painter.drawLine(toQPointF(viewport.toView(ends[i].points[0])),
                                     toQPointF(viewport.toView(ends[i + 1].points[0])));
                }
            }
            EXPECT_LE(largestDifference(rendering(), expected), 1) << "at " << viewport.scale;
            EXPECT_LE(largestDifference(rendering(), freshRendering()), 1);
        }
    }
    // A filled shape hides the lines under it.
    WhiteboardLibrary library = model->library();
    library.boards[model->currentBoardIndex()].viewport = {1, {0, 0}};
    model->setLibrary(std::move(library));
    placeFilled({0, 0, 200, 100}, "#FF0000");
    const QImage covered = rendering();
    EXPECT_EQ(covered.pixel(40, 30), QColor(Qt::red).rgb()); // on a line 40 units across
    EXPECT_EQ(covered.pixel(60, 40), QColor(Qt::red).rgb()); // on one 40 units down
}

// Pans within the margins show what was painted there in the background meanwhile; pans beyond
// them paint what they bring into view at once.
TEST_F(WhiteboardCanvasViewTest, PansWithinAndBeyondTheMarginsMatchAFreshRendering)
{
    placeWideBoard();
    view.show();
    rendering();
    for (const PointF step : {PointF{-37, -23},
                              PointF{-41, 0},
                              PointF{0, 52},
                              PointF{200, -9},
                              PointF{-13, 150},
                              PointF{-220, -140}}) {
        QTest::qWait(10);
        panBy(*model, step.x, step.y);
        EXPECT_LE(largestDifference(rendering(), freshRendering()), 2)
            << "after a pan by (" << step.x << ", " << step.y << ")";
    }
}

// The sharp picture is painted on pool threads, which must not reach back into a view that went
// away meanwhile.
TEST_F(WhiteboardCanvasViewTest, AViewClosedDuringAZoomLeavesNoPaintingBehind)
{
    placeMixedBoard();
    for (int i = 0; i < 5; ++i) {
        auto canvas = std::make_unique<WhiteboardCanvasView>(*model);
        canvas->resize(240, 160);
        canvas->grab();
        zoom(*model, i % 2 == 0 ? 0.6 : 1.5, {0, 0});
        canvas->grab();
        canvas.reset();
        QTest::qWait(5);
    }
    EXPECT_LE(largestDifference(rendering(), freshRendering()), 2);
}

// Texts are laid out on whichever pool threads are free; those threads may end, and their font
// caches with them, long before the texts are drawn again.
TEST_F(WhiteboardCanvasViewTest, TextsLaidOutOnThreadsThatHaveEndedStillDraw)
{
    for (int i = 0; i < 200; ++i) {
        WhiteboardElement text =
            shape(WhiteboardElementKind::text, {(i % 20) * 12.0, (i / 20) * 16.0, 60, 16});
        text.text = "Ab" + std::to_string(i);
        text.fontSize = 12;
        text.fontFamily = static_cast<WhiteboardFontFamily>(i % 3 == 0 ? 2 : i % 3 == 1 ? 3 : 5);
        text.style.strokeColor = "#000000";
        place(std::move(text));
    }
    QThreadPool *pool = QThreadPool::globalInstance();
    const int expiry = pool->expiryTimeout();
    pool->setExpiryTimeout(1);
    rendering();
    pool->waitForDone();
    QTest::qWait(50);
    zoom(*model, 1.5, {0, 0});
    const QImage zoomed = decoded(view.renderPNGData());
    pool->setExpiryTimeout(expiry);
    WhiteboardCanvasView fresh(*model);
    fresh.resize(view.size());
    EXPECT_LE(largestDifference(zoomed, decoded(fresh.renderPNGData())), 2);
}

TEST_F(WhiteboardCanvasViewTest, TextEditorOpensAtTheZoomAndCommitsWhatWasTyped)
{
    zoom(*model, 2, {0, 0});
    model->setTextFontSize(20);
    model->setSelectedTool(WhiteboardTool::text);
    view.beginNewText({10, 10});
    QTextEdit *editor = view.textEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->geometry(), QRect(20, 20, 560, 64));
    EXPECT_EQ(editor->document()->defaultFont().pixelSize(), 40);
    EXPECT_EQ(model->interaction().kind, WhiteboardInteraction::Kind::textEditing);

    QTest::keyClicks(editor, "Hello");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "board");
    EXPECT_GT(editor->height(), 64); // two lines of 40 pixels

    view.commitTextEditing();
    EXPECT_EQ(view.textEditor(), nullptr);
    ASSERT_EQ(model->currentBoard().elements.size(), 1u);
    const WhiteboardElement &text = *model->currentBoard().elements.front();
    EXPECT_EQ(text.text, "Hello\nboard");
    EXPECT_EQ(text.x, 10);
    EXPECT_DOUBLE_EQ(text.width, 280);
    EXPECT_EQ(model->interaction().kind, WhiteboardInteraction::Kind::idle);
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::selection);
}

TEST_F(WhiteboardCanvasViewTest, AnEditedHugeTextKeepsAFiniteSizeInRange)
{
    WhiteboardElement text = shape(WhiteboardElementKind::text, {0, 0, 1e11, 1e12});
    text.text = "huge";
    text.fontSize = 9e11;
    const Uuid id = place(std::move(text));
    view.editTextElement(id);
    ASSERT_NE(view.textEditor(), nullptr);
    QTest::keyClicks(view.textEditor(), "r");
    view.commitTextEditing();
    ASSERT_EQ(model->currentBoard().elements.size(), 1u);
    const WhiteboardElement &edited = *model->currentBoard().elements.front();
    EXPECT_EQ(edited.text, "r");
    EXPECT_GT(edited.height, 1e6);
    EXPECT_LE(edited.height, whiteboardGeometryLimit);
    EXPECT_GT(edited.width, 0);
    EXPECT_FALSE(geometryOutOfRange(edited));
}

TEST_F(WhiteboardCanvasViewTest, ARunawayWordWrapsAnywhereAndOrdinaryWordsAtTheirEnds)
{
    WhiteboardElement text = shape(WhiteboardElementKind::text, {0, 0, 300, 40});
    text.text = std::string(20'000, 'w');
    text.fontSize = 20;
    view.editTextElement(place(text));
    ASSERT_NE(view.textEditor(), nullptr);
    EXPECT_EQ(view.textEditor()->document()->defaultTextOption().wrapMode(),
              QTextOption::WrapAnywhere);
    // Typing goes on at once, the editor growing with the lines.
    const int height = view.textEditor()->height();
    view.textEditor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(view.textEditor(), std::string(200, 'x').c_str());
    EXPECT_GT(view.textEditor()->height(), height);
    view.cancelInteraction();

    view.beginNewText({10, 10});
    EXPECT_EQ(view.textEditor()->document()->defaultTextOption().wrapMode(),
              QTextOption::WrapAtWordBoundaryOrAnywhere);
}

TEST_F(WhiteboardCanvasViewTest, AnEditedRunawayWordCommitsExactlyWhatWasTyped)
{
    WhiteboardElement text = shape(WhiteboardElementKind::text, {0, 0, 300, 40});
    const std::string typed = "first line\n" + std::string(5'000, 'w') + "\nlast";
    text.text = typed;
    text.fontSize = 20;
    view.editTextElement(place(text));
    ASSERT_NE(view.textEditor(), nullptr);
    view.textEditor()->moveCursor(QTextCursor::End);
    QTest::keyClick(view.textEditor(), Qt::Key_Return);
    QTest::keyClicks(view.textEditor(), "added");
    view.commitTextEditing();
    ASSERT_EQ(model->currentBoard().elements.size(), 1u);
    EXPECT_EQ(model->currentBoard().elements.front()->text, typed + "\nadded");
}

TEST_F(WhiteboardCanvasViewTest, TextKeepsTheSizeItWasTypedAtWhenTheBoardZoomsMeanwhile)
{
    model->setTextFontSize(20);
    model->setSelectedTool(WhiteboardTool::text);
    view.beginNewText({10, 10});
    ASSERT_NE(view.textEditor(), nullptr);
    QTest::keyClicks(view.textEditor(), "Hello");
    zoom(*model, 1.25, {0, 0});
    view.commitTextEditing();
    ASSERT_EQ(model->currentBoard().elements.size(), 1u);
    EXPECT_DOUBLE_EQ(model->currentBoard().elements.front()->width, 280);
}

TEST_F(WhiteboardCanvasViewTest, CancelDropsTheTextAndAToolChangeCommitsIt)
{
    view.beginNewText({5, 5});
    QTest::keyClicks(view.textEditor(), "lost");
    view.cancelInteraction();
    EXPECT_EQ(view.textEditor(), nullptr);
    EXPECT_TRUE(model->currentBoard().elements.empty());
    EXPECT_EQ(model->interaction().kind, WhiteboardInteraction::Kind::idle);

    view.beginNewText({5, 5});
    QTest::keyClicks(view.textEditor(), "kept");
    model->setSelectedTool(WhiteboardTool::rectangle);
    EXPECT_EQ(view.textEditor(), nullptr);
    ASSERT_EQ(model->currentBoard().elements.size(), 1u);
    EXPECT_EQ(model->currentBoard().elements.front()->text, "kept");
}

TEST_F(WhiteboardCanvasViewTest, EditedTextIsHiddenWhileItsEditorShowsIt)
{
    WhiteboardElement text = shape(WhiteboardElementKind::text, {20, 20, 150, 60});
    text.text = "MMMM";
    text.fontSize = 48;
    text.style.strokeColor = "#000000";
    const Uuid id = place(std::move(text));
    const auto darkPixels = [](const QImage &image) {
        int count = 0;
        for (int y = 20; y < 80; ++y) {
            for (int x = 20; x < 170; ++x) {
                count += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_GT(darkPixels(rendering()), 50);

    view.editTextElement(id);
    ASSERT_NE(view.textEditor(), nullptr);
    EXPECT_EQ(view.textEditor()->toPlainText(), "MMMM");
    view.textEditor()->hide(); // only the canvas underneath counts here
    EXPECT_EQ(darkPixels(rendering()), 0);
}

TEST_F(WhiteboardCanvasViewTest, LockedShapesOpenNoLabelEditor)
{
    WhiteboardElement locked = shape(WhiteboardElementKind::rectangle, {0, 0, 100, 50});
    locked.isLocked = true;
    view.beginTextEditing(place(std::move(locked)));
    EXPECT_EQ(view.textEditor(), nullptr);

    const Uuid open = place(shape(WhiteboardElementKind::ellipse, {0, 0, 200, 100}));
    view.beginTextEditing(open);
    ASSERT_NE(view.textEditor(), nullptr);
    EXPECT_EQ(view.textEditor()->pos(), QPoint(12, 12));
    EXPECT_EQ(view.textEditor()->width(), 176);
}

TEST_F(WhiteboardCanvasViewTest, GeneratorFollowsTheChosenRoughness)
{
    view.setRoughnessLevel(RoughnessLevel::none);
    EXPECT_FALSE(view.makeRoughPathGenerator());
    view.setRoughnessLevel(RoughnessLevel::low);
    const auto first = view.makeRoughPathGenerator();
    const auto second = view.makeRoughPathGenerator();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->roughness(), RoughPathGenerator::RoughnessLevel::low);
    EXPECT_NE(first->seed(), second->seed());
}

} // namespace
} // namespace zentrel
