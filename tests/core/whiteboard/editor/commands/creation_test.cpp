#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_creation.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Kind = WhiteboardElementKind;

struct Creation : EditorFixture
{
    void setScale(double scale)
    {
        WhiteboardLibrary library = model->library();
        library.boards[model->currentBoardIndex()].viewport.scale = scale;
        model->setLibrary(std::move(library));
    }

    const WhiteboardElement &last() const { return *model->currentBoard().elements.back(); }

    std::size_t count() const { return model->currentBoard().elements.size(); }
};

// Shapes and lines

TEST_F(Creation, RectangleIsNormalisedFromTheDrag)
{
    finishShape(*model, Kind::rectangle, {100, 80}, {40, 200});
    EXPECT_EQ(last().frame(), (RectF{40, 80, 60, 120}));
    EXPECT_EQ(last().kind, Kind::rectangle);
}

TEST_F(Creation, ClickWithoutDragMakesAOneByOneShape)
{
    finishShape(*model, Kind::ellipse, {30, 30}, {30, 30});
    EXPECT_EQ(last().frame(), (RectF{30, 30, 1, 1}));
    finishShape(*model, Kind::diamond, {30, 30}, {30.5, 90});
    EXPECT_EQ(last().frame(), (RectF{30, 30, 1, 60})) << "each side has its own minimum";
}

TEST_F(Creation, LineKeepsSignedExtentsAndMayBeZeroLong)
{
    finishShape(*model, Kind::line, {10, 10}, {10, 10});
    EXPECT_EQ(last().frame(), (RectF{10, 10, 0, 0}));
    finishShape(*model, Kind::line, {50, 50}, {20, 90});
    EXPECT_EQ(last().frame(), (RectF{50, 50, -30, 40}));
}

TEST_F(Creation, NewElementTakesTheDrawingDefaults)
{
    model->setDrawingColor({1, 0, 0, 1});
    model->setFillColor(Color{0, 0, 1, 1});
    model->setLineWidth(6);
    model->setOpacity(0.5);
    model->setRoughness(1);
    finishShape(*model, Kind::rectangle, {0, 0}, {10, 10});
    EXPECT_EQ(last().style.strokeColor, "#FF0000");
    EXPECT_EQ(last().style.fillColor, "#0000FF");
    EXPECT_EQ(last().style.strokeWidth, 6);
    EXPECT_EQ(last().style.opacity, 0.5);
    EXPECT_EQ(last().style.roughness, 1);
    EXPECT_FALSE(last().style.roundnessType);
    EXPECT_EQ(last().rotation, 0);
    EXPECT_FALSE(last().text);
    EXPECT_FALSE(last().isLocked);
}

TEST_F(Creation, EveryCreationIsOneUndoStepOnTopAndTheWholeSelection)
{
    addRectangle(*model);
    model->setSelection({model->currentBoard().elements.front()->id});
    const std::size_t steps = model->undoCount();
    finishShape(*model, Kind::diamond, {0, 0}, {5, 5});
    EXPECT_EQ(model->undoCount(), steps + 1);
    EXPECT_EQ(model->selection(), WhiteboardSelection{last().id});
    finishFreehand(*model, {{1, 1}, {2, 2}});
    EXPECT_EQ(model->selection(), WhiteboardSelection{last().id});
    addMarker(*model, {50, 50});
    EXPECT_EQ(model->selection(), WhiteboardSelection{last().id});
    EXPECT_EQ(model->undoCount(), steps + 3);
    EXPECT_EQ(count(), 4u);
    harness.scheduler.advance(std::chrono::seconds(1));
    EXPECT_EQ(harness.savedLibrary().boards.front().elements.size(), 4u);
}

TEST_F(Creation, KindsThatAreNotDraggedOutAreIgnored)
{
    finishShape(*model, Kind::text, {0, 0}, {10, 10});
    finishShape(*model, Kind::marker, {0, 0}, {10, 10});
    EXPECT_EQ(count(), 0u);
    EXPECT_FALSE(model->canUndo());
}

// Arrow binding

TEST_F(Creation, ArrowEndingInAShapeBindsAndStopsOnItsEdge)
{
    const WhiteboardElement target = shape(Kind::rectangle, {250, 250, 100, 100});
    place(target);
    finishShape(*model, Kind::arrow, {100, 300}, {320, 310});
    EXPECT_EQ(last().frame(), (RectF{100, 300, 150, 0}));
    EXPECT_EQ(last().endBindingID, target.id);
    EXPECT_FALSE(last().startBindingID);
}

TEST_F(Creation, ArrowStartBindsAndAimsAtTheDragEnd)
{
    const WhiteboardElement from = shape(Kind::ellipse, {0, 0, 100, 100});
    const WhiteboardElement to = shape(Kind::rectangle, {300, 0, 100, 100});
    place(from);
    place(to);
    finishShape(*model, Kind::arrow, {50, 50}, {350, 50});
    EXPECT_EQ(last().startBindingID, from.id);
    EXPECT_EQ(last().endBindingID, to.id);
    EXPECT_EQ(last().frame(), (RectF{100, 50, 200, 0}));
}

TEST_F(Creation, BindingToleranceIsSixteenViewPoints)
{
    const WhiteboardElement target = shape(Kind::rectangle, {0, 0, 100, 100});
    place(target);
    EXPECT_EQ(bindingTarget(*model, {110, 50}), target.id);
    EXPECT_FALSE(bindingTarget(*model, {120, 50}));
    setScale(2);
    EXPECT_FALSE(bindingTarget(*model, {110, 50})) << "16 view points are 8 scene units at 2x";
}

TEST_F(Creation, LineNeverBinds)
{
    place(shape(Kind::rectangle, {0, 0, 100, 100}));
    finishShape(*model, Kind::line, {-50, 50}, {50, 50});
    EXPECT_FALSE(last().startBindingID);
    EXPECT_FALSE(last().endBindingID);
    EXPECT_EQ(last().frame(), (RectF{-50, 50, 100, 0})) << "its end is not moved to the edge";
}

TEST_F(Creation, BindingPrefersTheTopmostShapeAndSkipsOtherKinds)
{
    const WhiteboardElement lower = shape(Kind::rectangle, {0, 0, 100, 100});
    const WhiteboardElement upper = shape(Kind::diamond, {20, 20, 100, 100});
    place(lower);
    place(upper);
    EXPECT_EQ(bindingTarget(*model, {50, 50}), upper.id);
    for (Kind kind : {Kind::text, Kind::marker, Kind::line, Kind::arrow}) {
        place(shape(kind, {0, 0, 100, 100}));
    }
    EXPECT_EQ(bindingTarget(*model, {50, 50}), upper.id);
    WhiteboardElement locked = shape(Kind::ellipse, {40, 40, 20, 20});
    locked.isLocked = true;
    place(locked);
    EXPECT_EQ(bindingTarget(*model, {50, 50}), locked.id) << "locked shapes are targets too";
}

TEST_F(Creation, BindingUsesTheRotatedBox)
{
    WhiteboardElement turned = shape(Kind::rectangle, {0, 45, 100, 10});
    turned.rotation = std::numbers::pi / 2;
    place(turned);
    EXPECT_EQ(bindingTarget(*model, {50, 0}), turned.id);
}

TEST_F(Creation, EdgePointByKind)
{
    const WhiteboardElement ellipse = shape(Kind::ellipse, {-100, -50, 200, 100});
    EXPECT_EQ(edgePoint(ellipse, {500, 0}), (PointF{100, 0}));
    const WhiteboardElement flat = shape(Kind::rectangle, {-5, -0.5, 10, 1});
    EXPECT_EQ(edgePoint(flat, {0, 40}), (PointF{0, 1})) << "half-sizes are at least 1";
    const WhiteboardElement diamond = shape(Kind::diamond, {-50, -50, 100, 100});
    EXPECT_EQ(edgePoint(diamond, {10, 10}), (PointF{25, 25}));
    EXPECT_EQ(edgePoint(diamond, {0, 0}), (PointF{0, 0})) << "the centre itself";
}

// Freehand and markers

TEST_F(Creation, FreehandKeepsItsPointsAndAZeroFrame)
{
    finishFreehand(*model, {{3, 4}});
    EXPECT_EQ(last().kind, Kind::freedraw);
    EXPECT_EQ(last().frame(), (RectF{0, 0, 0, 0}));
    EXPECT_EQ(last().points, (std::vector<WhiteboardPoint>{{3, 4}}));
}

TEST_F(Creation, EmptyFreehandAddsNothing)
{
    model->setSelection({model->makeIdentifier()});
    const WhiteboardSelection before = model->selection();
    finishFreehand(*model, {});
    EXPECT_EQ(count(), 0u);
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(model->selection(), before);
}

TEST_F(Creation, MarkersCountOnFromTheLargestNumber)
{
    addMarker(*model, {100, 100});
    EXPECT_EQ(last().markerNumber, 1);
    EXPECT_EQ(last().frame(), (RectF{85, 85, 30, 30}));
    WhiteboardElement seven = shape(Kind::marker, {0, 0, 30, 30});
    seven.markerNumber = 7;
    place(seven);
    addMarker(*model, {0, 0});
    addMarker(*model, {0, 0});
    EXPECT_EQ(last().markerNumber, 9) << "numbers are not compacted";
}

TEST_F(Creation, MarkerNumberAtTheIntegerLimitDoesNotWrap)
{
    WhiteboardElement foreign = shape(Kind::rectangle, {0, 0, 30, 30});
    foreign.markerNumber = std::numeric_limits<std::int64_t>::max();
    place(foreign);
    addMarker(*model, {0, 0});
    EXPECT_EQ(last().markerNumber, std::numeric_limits<std::int64_t>::max());
}

TEST_F(Creation, MarkerIsFilledWithItsStrokeColour)
{
    model->setDrawingColor({0, 1, 0, 1});
    model->setFillColor(Color{1, 0, 0, 1});
    addMarker(*model, {0, 0});
    EXPECT_EQ(last().style.fillColor, "#00FF00");
    EXPECT_EQ(last().style.strokeColor, "#00FF00");
}

// Erasing

TEST_F(Creation, EraserRemovesTheShapeWithItsLabelAndUnbindsArrows)
{
    const WhiteboardElement box = shape(Kind::rectangle, {0, 0, 100, 100});
    WhiteboardElement label = shape(Kind::text, {12, 40, 76, 20});
    label.containerID = box.id;
    WhiteboardElement arrow = shape(Kind::arrow, {200, 50, -100, 0});
    arrow.endBindingID = box.id;
    place(box);
    place(label);
    place(arrow);
    model->setSelection({box.id, arrow.id});
    eraseAtPoint(*model, {30, 20});
    ASSERT_EQ(count(), 1u);
    EXPECT_EQ(last().id, arrow.id);
    EXPECT_FALSE(last().endBindingID);
    EXPECT_EQ(last().frame(), arrow.frame()) << "the arrow keeps its geometry";
    EXPECT_EQ(model->selection(), WhiteboardSelection{arrow.id});
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(Creation, EraserErasesLockedElementsToo)
{
    WhiteboardElement locked = shape(Kind::rectangle, {0, 0, 50, 50});
    locked.isLocked = true;
    place(locked);
    eraseAtPoint(*model, {25, 25});
    EXPECT_EQ(count(), 0u);
}

TEST_F(Creation, EraserTakesOneGroupMemberOnly)
{
    WhiteboardElement a = shape(Kind::rectangle, {0, 0, 50, 50});
    WhiteboardElement b = shape(Kind::rectangle, {100, 0, 50, 50});
    const Uuid group = model->makeIdentifier();
    a.groupIDs = {group};
    b.groupIDs = {group};
    place(a);
    place(b);
    eraseAtPoint(*model, {25, 25});
    ASSERT_EQ(count(), 1u);
    EXPECT_EQ(last().id, b.id);
}

TEST_F(Creation, EraserOverEmptyCanvasChangesNothing)
{
    place(shape(Kind::rectangle, {0, 0, 50, 50}));
    eraseAtPoint(*model, {500, 500});
    EXPECT_EQ(count(), 1u);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Creation, EraserDragLeavesOneStepPerElement)
{
    for (double x : {0.0, 100.0, 200.0}) {
        place(shape(Kind::rectangle, {x, 0, 50, 50}));
    }
    for (double x : {25.0, 75.0, 125.0, 175.0, 225.0}) {
        eraseAtPoint(*model, {x, 25});
    }
    EXPECT_EQ(count(), 0u);
    EXPECT_EQ(model->undoCount(), 3u);
    model->undo();
    ASSERT_EQ(count(), 1u);
    EXPECT_EQ(last().x, 200);
}

} // namespace
