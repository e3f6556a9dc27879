#include "drawing/drawing_canvas_model.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

const Timestamp start = Timestamp{} + 1000h;

using Points = std::vector<PointF>;

void drawStroke(DrawingCanvasModel &canvas,
                DrawingTool tool,
                PointF from,
                PointF to,
                Timestamp at = start,
                bool optionHeld = false)
{
    canvas.setSelectedTool(tool);
    canvas.press(from, at, optionHeld);
    canvas.drag(to);
    canvas.release(to);
}

void placeMarker(DrawingCanvasModel &canvas, PointF point)
{
    canvas.setSelectedTool(DrawingTool::number);
    canvas.press(point, start, false);
    canvas.release(point);
}

void erase(DrawingCanvasModel &canvas, PointF point)
{
    canvas.setSelectedTool(DrawingTool::eraser);
    canvas.press(point, start, false);
    canvas.release(point);
}

std::vector<int> markerNumbers(const DrawingCanvasModel &canvas)
{
    std::vector<int> numbers;
    for (const DrawingCanvasItem &item : canvas.history().items) {
        numbers.push_back(std::get<NumberedMarker>(item).number);
    }
    return numbers;
}

const DrawingStroke &strokeAt(const DrawingCanvasModel &canvas, std::size_t index)
{
    return std::get<DrawingStroke>(canvas.history().items.at(index));
}

} // namespace

TEST(DrawingCanvasModel, StartsWithTheDefaults)
{
    DrawingCanvasModel canvas;
    EXPECT_EQ(canvas.selectedTool(), DrawingTool::freehand);
    EXPECT_EQ(canvas.lineWidth(), 4);
    EXPECT_FALSE(canvas.autoFade());
    EXPECT_EQ(canvas.fadeDuration(), 4);
    EXPECT_EQ(canvas.minimumPointDistance(), 2.5);
    EXPECT_EQ(canvas.history().limit(), 20u);
    EXPECT_GT(canvas.drawingColor().red, 0.9);
    EXPECT_LT(canvas.drawingColor().green, 0.3);
}

TEST(DrawingCanvasModel, ClickWithoutMovementGivesTwoEqualPoints)
{
    DrawingCanvasModel canvas;
    canvas.setSelectedTool(DrawingTool::rectangle);
    canvas.press({5, 6}, start, false);
    canvas.release({5, 6});

    ASSERT_EQ(canvas.history().items.size(), 1u);
    EXPECT_EQ(strokeAt(canvas, 0).tool, DrawingTool::rectangle);
    EXPECT_EQ(strokeAt(canvas, 0).points, (Points{{5, 6}, {5, 6}}));
    EXPECT_FALSE(canvas.activeStroke().has_value());
}

TEST(DrawingCanvasModel, FreehandThinsClosePointsAndKeepsEqualDistance)
{
    DrawingCanvasModel canvas;
    canvas.press({0, 0}, start, false);
    canvas.drag({1, 0});
    canvas.drag({2, 1});
    EXPECT_EQ(canvas.activeStroke()->points, (Points{{0, 0}}));
    canvas.drag({1.5, 2});
    canvas.drag({4, 2});
    canvas.drag({5, 2});
    canvas.release({5.5, 2});

    EXPECT_EQ(strokeAt(canvas, 0).points, (Points{{0, 0}, {1.5, 2}, {4, 2}}));

    // Only close moves: the release point still ends the stroke.
    canvas.press({10, 10}, start, false);
    canvas.drag({11, 10});
    canvas.release({12, 11});
    EXPECT_EQ(strokeAt(canvas, 1).points, (Points{{10, 10}, {12, 11}}));
}

TEST(DrawingCanvasModel, ShapesKeepStartAndLatestEnd)
{
    DrawingCanvasModel canvas;
    canvas.setSelectedTool(DrawingTool::arrow);
    canvas.press({0, 0}, start, false);
    canvas.drag({1, 1});
    EXPECT_EQ(canvas.activeStroke()->points, (Points{{0, 0}, {1, 1}}));
    canvas.drag({30, 40});
    EXPECT_EQ(canvas.activeStroke()->points, (Points{{0, 0}, {30, 40}}));
    canvas.release({31, 41});
    EXPECT_EQ(strokeAt(canvas, 0).points, (Points{{0, 0}, {31, 41}}));
}

TEST(DrawingCanvasModel, StrokeTakesSettingsAtThePress)
{
    DrawingCanvasModel canvas;
    canvas.setDrawingColor({0, 0, 1, 1});
    canvas.setLineWidth(7);
    canvas.setSelectedTool(DrawingTool::line);
    canvas.press({0, 0}, start, false);
    canvas.setDrawingColor({0, 1, 0, 1});
    canvas.setLineWidth(2);
    canvas.setSelectedTool(DrawingTool::ellipse);
    canvas.release({9, 9});

    const DrawingStroke &stroke = strokeAt(canvas, 0);
    EXPECT_EQ(stroke.tool, DrawingTool::line);
    EXPECT_EQ(stroke.color, (Color{0, 0, 1, 1}));
    EXPECT_EQ(stroke.lineWidth, 7);
    EXPECT_EQ(stroke.createdAt, start);
}

TEST(DrawingCanvasModel, FadesOnlyWithAutoFadeAndWithoutOption)
{
    DrawingCanvasModel canvas;
    drawStroke(canvas, DrawingTool::line, {0, 0}, {5, 5});
    canvas.setAutoFade(true);
    canvas.setFadeDuration(6);
    drawStroke(canvas, DrawingTool::line, {0, 0}, {5, 5}, start, true);
    EXPECT_FALSE(canvas.hasFadingStrokes());
    drawStroke(canvas, DrawingTool::line, {0, 0}, {5, 5});
    EXPECT_TRUE(canvas.hasFadingStrokes());

    EXPECT_EQ(strokeAt(canvas, 0).fadeDuration, std::nullopt);
    EXPECT_EQ(strokeAt(canvas, 1).fadeDuration, std::nullopt);
    EXPECT_EQ(strokeAt(canvas, 2).fadeDuration, 6.0);
}

TEST(DrawingCanvasModel, FadeAlphaHoldsThenFallsLinearly)
{
    DrawingStroke stroke{DrawingTool::line, {{0, 0}}, {}, 4, start, 4.0};
    EXPECT_EQ(fadeAlpha(stroke, start - 1s), 1);
    EXPECT_EQ(fadeAlpha(stroke, start + 2600ms), 1);
    EXPECT_NEAR(fadeAlpha(stroke, start + 3300ms), 0.5, 1e-9);
    EXPECT_NEAR(fadeAlpha(stroke, start + 3930ms), 0.05, 1e-9);
    EXPECT_EQ(fadeAlpha(stroke, start + 4s), 0);
    EXPECT_EQ(fadeAlpha(stroke, start + 1h), 0);

    stroke.fadeDuration.reset();
    EXPECT_EQ(fadeAlpha(stroke, start + 1h), 1);
}

TEST(DrawingCanvasModel, FadeTicksReportAChangeOnlyWhileAStrokeFadesOrGoes)
{
    DrawingCanvasModel canvas;
    canvas.setAutoFade(true);
    canvas.setFadeDuration(4);
    drawStroke(canvas, DrawingTool::line, {0, 0}, {1, 1}); // full strength until 2.6 s
    int notices = 0;
    const ScopedConnection counting = canvas.changed.connect([&] { ++notices; });

    EXPECT_FALSE(canvas.removeExpiredStrokes(start + 1s));
    EXPECT_TRUE(canvas.removeExpiredStrokes(start + 3s));
    EXPECT_TRUE(canvas.removeExpiredStrokes(start + 5s));
    EXPECT_TRUE(canvas.history().items.empty());
    EXPECT_FALSE(canvas.removeExpiredStrokes(start + 6s));
    EXPECT_EQ(notices, 2);
}

TEST(DrawingCanvasModel, ExpiredStrokesLeaveItemsAndRedoInOrder)
{
    DrawingCanvasModel canvas;
    canvas.setAutoFade(true);
    drawStroke(canvas, DrawingTool::line, {0, 0}, {1, 1});                    // fades
    drawStroke(canvas, DrawingTool::line, {2, 2}, {3, 3}, start, true);       // permanent
    placeMarker(canvas, {50, 50});                                            // permanent
    drawStroke(canvas, DrawingTool::line, {4, 4}, {5, 5}, start + 1s);        // fades later
    drawStroke(canvas, DrawingTool::rectangle, {6, 6}, {7, 7}, start, false); // fades
    canvas.undo();
    canvas.undo();

    canvas.removeExpiredStrokes(start + 4s);

    const DrawingHistory &history = canvas.history();
    ASSERT_EQ(history.items.size(), 2u);
    EXPECT_EQ(strokeAt(canvas, 0).points.front(), (PointF{2, 2}));
    EXPECT_TRUE(std::holds_alternative<NumberedMarker>(history.items[1]));
    ASSERT_EQ(history.redoItems.size(), 1u);
    EXPECT_EQ(std::get<DrawingStroke>(history.redoItems[0]).createdAt, start + 1s);
    EXPECT_FALSE(canvas.hasFadingStrokes());

    canvas.redo();
    EXPECT_TRUE(canvas.hasFadingStrokes());
    EXPECT_EQ(canvas.redo(), std::nullopt);
}

TEST(DrawingCanvasModel, NumberToolPlacesMarkersAfterTheLargestLeft)
{
    DrawingCanvasModel canvas;
    placeMarker(canvas, {0, 0});
    placeMarker(canvas, {100, 0});
    placeMarker(canvas, {200, 0});
    EXPECT_EQ(markerNumbers(canvas), (std::vector{1, 2, 3}));
    EXPECT_EQ(std::get<NumberedMarker>(canvas.history().items[2]).point, (PointF{200, 0}));

    erase(canvas, {200, 0});
    placeMarker(canvas, {300, 0});
    EXPECT_EQ(markerNumbers(canvas), (std::vector{1, 2, 3}));

    erase(canvas, {100, 0});
    placeMarker(canvas, {400, 0});
    EXPECT_EQ(markerNumbers(canvas), (std::vector{1, 3, 4}));
}

TEST(DrawingCanvasModel, EraserRemovesNewerOfOverlappingStrokesPerEvent)
{
    DrawingCanvasModel canvas;
    drawStroke(canvas, DrawingTool::line, {0, 0}, {100, 0});
    drawStroke(canvas, DrawingTool::line, {0, 0}, {100, 0}, start + 1s);

    canvas.setSelectedTool(DrawingTool::eraser);
    canvas.press({50, 0}, start, false);
    EXPECT_TRUE(canvas.isErasing());
    ASSERT_EQ(canvas.history().items.size(), 1u);
    EXPECT_EQ(strokeAt(canvas, 0).createdAt, start);

    canvas.drag({51, 0});
    EXPECT_TRUE(canvas.history().items.empty());
    canvas.release({51, 0});
    EXPECT_FALSE(canvas.isErasing());
    EXPECT_FALSE(canvas.activeStroke().has_value());
}

TEST(DrawingCanvasModel, EraserEmptiesRedoOnlyWhenItHits)
{
    DrawingCanvasModel canvas;
    drawStroke(canvas, DrawingTool::line, {0, 0}, {10, 0});
    drawStroke(canvas, DrawingTool::line, {0, 100}, {10, 100});
    canvas.undo();

    erase(canvas, {500, 500});
    EXPECT_EQ(canvas.history().redoItems.size(), 1u);

    erase(canvas, {5, 0});
    EXPECT_TRUE(canvas.history().items.empty());
    EXPECT_TRUE(canvas.history().redoItems.empty());
}

TEST(DrawingCanvasModel, MarkersAreHitByAFixedSquareWhateverTheirSize)
{
    DrawingCanvasModel canvas;
    canvas.setLineWidth(10);
    placeMarker(canvas, {100, 100});
    erase(canvas, {127, 100});
    erase(canvas, {100, 127});
    EXPECT_EQ(canvas.history().items.size(), 1u);
    erase(canvas, {73, 126.9});
    EXPECT_TRUE(canvas.history().items.empty());
}

TEST(DrawingCanvasModel, StrokesAreHitByBoundsGrownByWidthAndRadius)
{
    DrawingCanvasModel canvas;
    canvas.setLineWidth(6);
    drawStroke(canvas, DrawingTool::diamond, {0, 0}, {40, 20});
    // 6 for the width and 12 for the eraser around the 40 by 20 box.
    erase(canvas, {-18.5, -18.5});
    erase(canvas, {58, 10});
    EXPECT_EQ(canvas.history().items.size(), 1u);
    erase(canvas, {57.5, 37.5});
    EXPECT_TRUE(canvas.history().items.empty());
}

TEST(DrawingCanvasModel, NotifiesEveryStepOfAStroke)
{
    DrawingCanvasModel canvas;
    int changes = 0;
    const ScopedConnection connection = canvas.changed.connect([&] { ++changes; });
    canvas.drag({1, 1});
    canvas.release({1, 1});
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(canvas.history().items.empty());

    canvas.press({0, 0}, start, false);
    canvas.drag({10, 0});
    canvas.release({20, 0});
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(canvas.undo().has_value(), true);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(canvas.undo(), std::nullopt);
    EXPECT_EQ(changes, 4);
}

TEST(DrawingCanvasModel, ToolKeyIsAnnouncedBeforeItIsSelected)
{
    DrawingCanvasModel canvas;
    std::vector<DrawingTool> announced;
    DrawingTool selectedWhenAnnounced = DrawingTool::eraser;
    const ScopedConnection connection = canvas.toolKeyTyped.connect([&](DrawingTool tool) {
        announced.push_back(tool);
        selectedWhenAnnounced = canvas.selectedTool();
    });

    EXPECT_EQ(canvas.keyTyped("7"), DrawingTool::number);
    EXPECT_EQ(announced, std::vector{DrawingTool::number});
    EXPECT_EQ(selectedWhenAnnounced, DrawingTool::freehand);
    EXPECT_EQ(canvas.selectedTool(), DrawingTool::number);

    EXPECT_EQ(canvas.keyTyped("9"), std::nullopt);
    EXPECT_EQ(announced.size(), 1u);
    EXPECT_EQ(canvas.selectedTool(), DrawingTool::number);
}

TEST(DrawingCanvasModel, ClearDropsTheStrokeBeingDrawn)
{
    DrawingCanvasModel canvas;
    drawStroke(canvas, DrawingTool::line, {0, 0}, {5, 5});
    canvas.undo();
    canvas.press({1, 1}, start, false);

    canvas.clear();

    EXPECT_EQ(canvas.history(), DrawingHistory());
    EXPECT_FALSE(canvas.activeStroke().has_value());
    canvas.release({3, 3});
    EXPECT_TRUE(canvas.history().items.empty());
}
