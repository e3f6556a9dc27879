#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/editor/commands/whiteboard_transforms.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"
#include "whiteboard/model/whiteboard_labels.h"
#include "whiteboard/render/text_layout.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string_view>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Kind = WhiteboardElementKind;
using Handle = WhiteboardResizeHandle;

struct Transforms : EditorFixture
{
    WhiteboardElement label(const Uuid &container, RectF frame)
    {
        WhiteboardElement element = shape(Kind::text, frame);
        element.text = "label";
        element.containerID = container;
        return element;
    }

    WhiteboardElement arrow(RectF frame, std::optional<Uuid> start, std::optional<Uuid> end)
    {
        WhiteboardElement element = shape(Kind::arrow, frame);
        element.startBindingID = start;
        element.endBindingID = end;
        return element;
    }

    const WhiteboardElement &get(const Uuid &id) const { return *elementWithID(*model, id); }
};

void expectFrameNear(const WhiteboardElement &element, RectF expected)
{
    EXPECT_NEAR(element.x, expected.x, 1e-9);
    EXPECT_NEAR(element.y, expected.y, 1e-9);
    EXPECT_NEAR(element.width, expected.width, 1e-9);
    EXPECT_NEAR(element.height, expected.height, 1e-9);
}

// Moving

TEST_F(Transforms, MovingAShapeWithItsLabelBringsTheBoundArrowEndAlong)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 100, 50}));
    const Uuid text = place(label(box, {12, 13, 76, 24}));
    // Bound at the left edge, free end 100 to the left.
    const Uuid link = place(arrow({0, 25, -100, 0}, box, std::nullopt));
    model->setSelection({box, text});

    moveSelection(*model, 10, 5);

    EXPECT_EQ(get(box).frame(), (RectF{10, 5, 100, 50}));
    EXPECT_EQ(get(text).frame(), (RectF{22, 18, 76, 24}));
    // The free end stays at (-100, 25); the bound end leaves the new centre (60, 30) towards it
    // and meets the left edge x = 10 after 50 of the 160 units.
    expectFrameNear(get(link), {10, 28.4375, -110, -3.4375});
    EXPECT_EQ(get(link).startBindingID, box);
}

TEST_F(Transforms, MovingLeavesUnselectedElementsShared)
{
    const Uuid moved = place(shape(Kind::rectangle, {0, 0, 10, 10}));
    place(shape(Kind::ellipse, {50, 50, 10, 10}));
    const ElementPtr before = model->currentBoard().elements[1];
    model->setSelection({moved});
    moveSelection(*model, 3, 4);
    EXPECT_EQ(model->currentBoard().elements[1], before) << "an untouched element is not copied";
    EXPECT_EQ(get(moved).frame(), (RectF{3, 4, 10, 10}));
}

TEST_F(Transforms, FreehandMovesItsPointsAndKeepsItsFrame)
{
    WhiteboardElement stroke = shape(Kind::freedraw, {0, 0, 10, 10});
    stroke.points = {{0, 0}, {10, 10}};
    const Uuid id = place(stroke);
    model->setSelection({id});
    moveSelection(*model, 5, -5);
    EXPECT_EQ(get(id).points, (std::vector<WhiteboardPoint>{{5, -5}, {15, 5}}));
    EXPECT_EQ(get(id).frame(), (RectF{0, 0, 10, 10}));
}

TEST_F(Transforms, ArrowMovedAloneLeavesItsShapesButKeepsTheBindings)
{
    const Uuid left = place(shape(Kind::rectangle, {0, 0, 20, 20}));
    const Uuid right = place(shape(Kind::rectangle, {100, 0, 20, 20}));
    const Uuid link = place(arrow({20, 10, 80, 0}, left, right));
    model->setSelection({link});

    moveSelection(*model, 0, 40);
    EXPECT_EQ(get(link).frame(), (RectF{20, 50, 80, 0}));
    EXPECT_EQ(get(link).startBindingID, left);
    EXPECT_EQ(get(link).endBindingID, right);

    // Moving one bound shape next snaps that end back to its outline; the other end stays.
    model->setSelection({left});
    moveSelection(*model, 0, 0);
    const WhiteboardElement &aimed = get(link);
    EXPECT_NEAR(aimed.x + aimed.width, 100, 1e-9);
    EXPECT_NEAR(aimed.y + aimed.height, 50, 1e-9);
    // From (10, 10) towards (100, 50) the box's right edge x = 20 comes first.
    EXPECT_NEAR(aimed.x, 20, 1e-9);
    EXPECT_NEAR(aimed.y, 10 + 40.0 / 9, 1e-9);
}

TEST_F(Transforms, BoundLinesAreNeverReAimed)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 20, 20}));
    WhiteboardElement imported = arrow({20, 10, 80, 0}, box, std::nullopt);
    imported.kind = Kind::line;
    const Uuid line = place(imported);
    model->setSelection({box});
    moveSelection(*model, 0, 30);
    EXPECT_EQ(get(line).frame(), (RectF{20, 10, 80, 0}));
}

TEST_F(Transforms, SelectedArrowBetweenSelectedShapesMovesWithThem)
{
    const Uuid left = place(shape(Kind::rectangle, {0, 0, 20, 20}));
    const Uuid right = place(shape(Kind::rectangle, {100, 0, 20, 20}));
    const Uuid link = place(arrow({20, 10, 80, 0}, left, right));
    model->setSelection({left, right, link});
    moveSelection(*model, 7, 3);
    expectFrameNear(get(link), {27, 13, 80, 0});
}

// Resizing

TEST_F(Transforms, ResizeScalesAndMirrorsThroughNegativeExtents)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 100, 50}));
    model->setSelection({box});
    dragResizeHandle(*model, {0, 0, 100, 50}, {0, 0, 200, 50});
    EXPECT_EQ(get(box).frame(), (RectF{0, 0, 200, 50}));
    dragResizeHandle(*model, {0, 0, 200, 50}, {0, 0, -100, 50});
    EXPECT_EQ(get(box).frame(), (RectF{0, 0, -100, 50})) << "drawn from -100 to 0";
}

TEST_F(Transforms, ResizeFromAFlatRectangleKeepsThatScale)
{
    const Uuid line = place(shape(Kind::line, {0, 0, 100, 0}));
    model->setSelection({line});
    dragResizeHandle(*model, {0, 0, 100, 0}, {10, 20, 50, 30});
    EXPECT_EQ(get(line).frame(), (RectF{10, 20, 50, 0}));
}

TEST_F(Transforms, ResizeDragStartsEveryEventFromMouseDown)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 100, 50}));
    model->setSelection({box});
    model->setInteraction(WhiteboardInteraction::Kind::resizing);
    model->beginTransaction();
    dragResizeHandle(*model, {0, 0, 100, 50}, {0, 0, 200, 50});
    const WhiteboardElement first = get(box);
    dragResizeHandle(*model, {0, 0, 100, 50}, {0, 0, 300, 80});
    dragResizeHandle(*model, {0, 0, 100, 50}, {0, 0, 200, 50});
    EXPECT_EQ(get(box), first);
    EXPECT_EQ(get(box).frame(), (RectF{0, 0, 200, 50})) << "not 400: no build-up";
    EXPECT_TRUE(model->isTransactionOpen());
    EXPECT_EQ(model->interaction(), WhiteboardInteraction::Kind::resizing);
    model->endTransaction();
    EXPECT_EQ(model->undoCount(), 1u);
    model->undo();
    EXPECT_EQ(get(box).frame(), (RectF{0, 0, 100, 50}));
}

TEST_F(Transforms, ResizeRefusesALockedSelection)
{
    WhiteboardElement locked = shape(Kind::rectangle, {0, 0, 100, 50});
    locked.isLocked = true;
    const Uuid id = place(locked);
    const Uuid other = place(shape(Kind::rectangle, {200, 0, 100, 50}));
    model->setSelection({id, other});
    dragResizeHandle(*model, {0, 0, 300, 50}, {0, 0, 600, 50});
    model->beginTransaction();
    dragResizeHandle(*model, {0, 0, 300, 50}, {0, 0, 600, 50});
    model->endTransaction();
    EXPECT_EQ(get(id).frame(), (RectF{0, 0, 100, 50}));
    EXPECT_EQ(get(other).frame(), (RectF{200, 0, 100, 50}));
    EXPECT_EQ(model->undoCount(), 0u);
}

TEST_F(Transforms, ResizeWithNothingSelectedDoesNothing)
{
    place(shape(Kind::rectangle, {0, 0, 100, 50}));
    const WhiteboardLibrarySnapshot before = model->librarySnapshot();
    dragResizeHandle(*model, {0, 0, 100, 50}, {0, 0, 200, 50});
    EXPECT_EQ(model->librarySnapshot(), before);
}

TEST_F(Transforms, ResizedContainerKeepsItsLabelInsideEvenMirrored)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 100, 60}));
    const Uuid text = place(label(box, {12, 18, 76, 24}));
    model->setSelection({box, text});
    dragResizeHandle(*model, {0, 0, 100, 60}, {0, 0, -200, 60});
    // The mirrored box spans -200…0; the label sits in it inset by 12.
    EXPECT_EQ(get(text).frame(), (RectF{-188, 18, 176, 24}));
}

TEST_F(Transforms, EachHandleMovesOnlyItsOwnEdges)
{
    const RectF source{10, 20, 100, 50};
    const PointF delta{15, -5};
    const std::pair<Handle, RectF> cases[] = {
        {Handle::topLeft, {25, 15, 85, 55}},
        {Handle::top, {10, 15, 100, 55}},
        {Handle::topRight, {10, 15, 115, 55}},
        {Handle::right, {10, 20, 115, 50}},
        {Handle::bottomRight, {10, 20, 115, 45}},
        {Handle::bottom, {10, 20, 100, 45}},
        {Handle::bottomLeft, {25, 20, 85, 45}},
        {Handle::left, {25, 20, 85, 50}},
    };
    for (const auto &[handle, expected] : cases) {
        EXPECT_EQ(resizedSelectionRect(source, handle, delta, true), expected)
            << static_cast<int>(handle);
    }
}

TEST_F(Transforms, HandlesKeepTheMinimumWithTheOriginWhereTheDragPutIt)
{
    const RectF source{10, 20, 100, 50};
    EXPECT_EQ(resizedSelectionRect(source, Handle::right, {-95, 0}, true), (RectF{10, 20, 8, 50}));
    EXPECT_EQ(resizedSelectionRect(source, Handle::bottom, {0, -50}, true),
              (RectF{10, 20, 100, 8}));
    // From the left or top the moved edge stays under the pointer; the far edge gives way.
    EXPECT_EQ(resizedSelectionRect(source, Handle::left, {95, 0}, true), (RectF{105, 20, 8, 50}));
    EXPECT_EQ(resizedSelectionRect(source, Handle::top, {0, 47}, true), (RectF{10, 67, 100, 8}));
    EXPECT_EQ(resizedSelectionRect(source, Handle::topLeft, {97, 46}, true),
              (RectF{107, 66, 8, 8}));
    // Just past the opposite edge the flipped extent is too small and becomes the positive
    // minimum.
    EXPECT_EQ(resizedSelectionRect(source, Handle::left, {103, 0}, true), (RectF{113, 20, 8, 50}));
    // A selection already thinner than the minimum grows to it whichever handle is dragged.
    EXPECT_EQ(resizedSelectionRect({10, 20, 5, 50}, Handle::top, {0, 10}, true),
              (RectF{10, 30, 8, 40}));
    // Lines and arrows alone may shrink to nothing.
    EXPECT_EQ(resizedSelectionRect(source, Handle::right, {-100, 0}, false),
              (RectF{10, 20, 0, 50}));
}

TEST_F(Transforms, DraggingPastTheOppositeEdgeFlips)
{
    const RectF source{10, 20, 100, 50};
    EXPECT_EQ(resizedSelectionRect(source, Handle::right, {-150, 0}, true),
              (RectF{10, 20, -50, 50}));
    EXPECT_EQ(resizedSelectionRect(source, Handle::topLeft, {130, 80}, true),
              (RectF{140, 100, -30, -30}));
}

TEST_F(Transforms, OnlySegmentSelectionsGoBelowTheMinimum)
{
    const Uuid line = place(shape(Kind::line, {0, 0, 100, 0}));
    const Uuid link = place(arrow({0, 10, 100, 0}, std::nullopt, std::nullopt));
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 10, 10}));
    model->setSelection({line, link});
    EXPECT_FALSE(selectionKeepsMinimumSize(*model));
    model->setSelection({line, box});
    EXPECT_TRUE(selectionKeepsMinimumSize(*model));
}

// Rotating

TEST_F(Transforms, RotatingOneShapeAboutItsCentreOnlyTurnsIt)
{
    const Uuid box = place(shape(Kind::rectangle, {10, 20, 100, 50}));
    model->setSelection({box});
    rotateSelection(*model, {60, 45}, 0.5);
    EXPECT_EQ(get(box).frame(), (RectF{10, 20, 100, 50}));
    EXPECT_DOUBLE_EQ(get(box).rotation, 0.5);
}

TEST_F(Transforms, RotationCarriesCentresRoundThePivot)
{
    const Uuid a = place(shape(Kind::rectangle, {-5, -5, 10, 10}));
    const Uuid b = place(shape(Kind::rectangle, {95, -5, 10, 10}));
    model->setSelection({a, b});
    rotateSelection(*model, {50, 0}, std::numbers::pi / 2);
    expectFrameNear(get(a), {45, -55, 10, 10});
    expectFrameNear(get(b), {45, 45, 10, 10});
    EXPECT_DOUBLE_EQ(get(a).rotation, std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(get(b).rotation, std::numbers::pi / 2);
}

TEST_F(Transforms, RotationTurnsLabelsWithTheirShapeButNotOnArrows)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 100, 60}));
    const Uuid text = place(label(box, {12, 18, 76, 24}));
    const Uuid link = place(arrow({0, 100, 300, 0}, std::nullopt, std::nullopt));
    const Uuid caption = place(label(link, {0, 0, 100, 20}));
    model->setSelection({box, text, link, caption});
    rotateSelection(*model, {50, 30}, 0.25);
    EXPECT_DOUBLE_EQ(get(text).rotation, get(box).rotation);
    EXPECT_DOUBLE_EQ(get(caption).rotation, 0);
}

TEST_F(Transforms, RotatingAFreehandStrokeOnlyShiftsItsPoints)
{
    WhiteboardElement stroke = shape(Kind::freedraw, {0, 0, 0, 0});
    stroke.style.strokeWidth = 0;
    stroke.points = {{0, 0}, {10, 0}};
    const Uuid id = place(stroke);
    model->setSelection({id});
    rotateSelection(*model, {0, 0}, std::numbers::pi);
    // The centre (5, 0) goes to (-5, 0); the points are not turned, the rotation draws them so.
    ASSERT_EQ(get(id).points.size(), 2u);
    EXPECT_NEAR(get(id).points[0].x, -10, 1e-9);
    EXPECT_NEAR(get(id).points[1].x, 0, 1e-9);
    EXPECT_DOUBLE_EQ(get(id).rotation, std::numbers::pi);
}

// Labels

TEST_F(Transforms, LabelsAreFramedInsideShapesAndOnArrows)
{
    WhiteboardElement box = shape(Kind::rectangle, {0, 0, 100, 60});
    EXPECT_EQ(labelFrameInContainer(50, 10, box), (RectF{12, 18, 76, 24}));
    EXPECT_EQ(labelFrameInContainer(50, 80, box), (RectF{12, 12, 76, 36}));
    EXPECT_EQ(labelFrameInContainer(50, 30, box), (RectF{12, 15, 76, 30}));
    WhiteboardElement link = shape(Kind::arrow, {0, 0, 300, 0});
    EXPECT_EQ(labelFrameInContainer(400, 20, link), (RectF{40, -10, 220, 20}));
    EXPECT_EQ(labelFrameInContainer(10, 20, link), (RectF{110, -10, 80, 20}));
}

// Dragging the top handle of a 250-wide shape down squashes it flat: its label keeps the text
// width it breaks lines at, so a short word is not broken for a change of height.
TEST_F(Transforms, SquashingAShapeKeepsItsLabelsTextWidth)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 250, 100}));
    WhiteboardElement text = label(box, {12, 38, 226, 24});
    text.text = "Box";
    const Uuid id = place(text);
    model->setSelection({box, id});
    const RectF from{0, 0, 250, 100};
    dragResizeHandle(*model, from, resizedSelectionRect(from, Handle::top, {0, 95}, true));
    ASSERT_EQ(get(box).height, whiteboardMinimumResizeExtent);
    EXPECT_EQ(get(id).width, 226);
    // "Box" at 15 a byte is 45 wide: it breaks only in a text width narrower than that.
    const auto fifteenPerByte = [](std::string_view line) {
        return 15.0 * line.size();
    };
    EXPECT_EQ(wrapText(*get(id).text, get(id).width, fifteenPerByte).size(), 1u);
}

TEST_F(Transforms, RefitTouchesOnlyLabelsOfTheGivenContainers)
{
    WhiteboardBoard board;
    WhiteboardElement box = shape(Kind::rectangle, {0, 0, 100, 60});
    box.rotation = 0.3;
    WhiteboardElement other = shape(Kind::rectangle, {200, 0, 100, 60});
    WhiteboardElement link = shape(Kind::arrow, {0, 0, 300, 0});
    link.rotation = 0.7;
    WhiteboardElement inBox = label(box.id, {0, 0, 50, 10});
    WhiteboardElement inOther = label(other.id, {0, 0, 50, 10});
    WhiteboardElement onLink = label(link.id, {0, 0, 400, 20});
    for (const WhiteboardElement &e : {box, other, link, inBox, inOther, onLink}) {
        board.elements.push_back(makeElement(e));
    }
    refitContainedTexts(board, {box.id, link.id});
    EXPECT_EQ(board.elements[3]->frame(), (RectF{12, 18, 76, 24}));
    EXPECT_DOUBLE_EQ(board.elements[3]->rotation, 0.3);
    EXPECT_EQ(*board.elements[4], inOther);
    EXPECT_EQ(board.elements[5]->frame(), (RectF{40, -10, 220, 20}));
    EXPECT_DOUBLE_EQ(board.elements[5]->rotation, 0);
}

TEST_F(Transforms, DuplicateIdentifiersStillComplete)
{
    WhiteboardBoard board;
    WhiteboardElement box = shape(Kind::rectangle, {0, 0, 20, 20});
    WhiteboardElement twin = box;
    twin.setFrame({500, 500, 20, 20});
    const WhiteboardElement link = arrow({100, 10, -80, 0}, std::nullopt, box.id);
    for (const WhiteboardElement &e : {box, twin, link}) {
        board.elements.push_back(makeElement(e));
    }
    updateBoundArrows(board, {box.id});
    // The first of the two answers, as every other lookup by id in the editor.
    EXPECT_NEAR(board.elements[2]->x + board.elements[2]->width, 20, 1e-9);
}

TEST_F(Transforms, IdentifiersNamingNothingAreSkipped)
{
    const Uuid gone = model->makeIdentifier();
    const Uuid text = place(label(gone, {1, 2, 30, 20}));
    const Uuid link = place(arrow({0, 0, 50, 0}, gone, gone));
    model->setSelection({gone});
    moveSelection(*model, 5, 5);
    rotateSelection(*model, {0, 0}, 1);
    EXPECT_EQ(get(text).frame(), (RectF{1, 2, 30, 20}));
    EXPECT_EQ(get(link).frame(), (RectF{0, 0, 50, 0}));
}

// Drags as transactions

// An edit never carries an element past the geometry limit, where later arithmetic would
// overflow and the library could no longer be saved: such a step leaves the board as it was.
TEST_F(Transforms, StepsBeyondTheGeometryLimitAreNotMade)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 1, 1}));
    const Uuid text = place(label(box, {0, 0, 40, 24}));
    const Uuid link = place(arrow({-100, 0, 100, 0}, std::nullopt, box));
    model->setSelection({box, text});
    const WhiteboardLibrarySnapshot before = model->librarySnapshot();

    resizeSelection(*model, {0, 0, 1, 1}, {0, 0, 2 * whiteboardGeometryLimit, 1});
    moveSelection(*model, 1.5 * whiteboardGeometryLimit, 0);
    EXPECT_EQ(model->library(), *before);

    moveSelection(*model, whiteboardGeometryLimit / 2, 0);
    EXPECT_EQ(get(box).x, whiteboardGeometryLimit / 2);
    EXPECT_NEAR(get(link).x + get(link).width, whiteboardGeometryLimit / 2, 1);
}

TEST_F(Transforms, AWholeMoveDragIsOneUndoStep)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 100, 50}));
    model->setSelection({box});
    model->beginTransaction();
    for (int i = 0; i < 5; ++i) {
        moveSelection(*model, 2, 1);
    }
    EXPECT_EQ(model->undoCount(), 0u) << "nothing is recorded while dragging";
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u) << "nor saved";
    model->endTransaction();
    EXPECT_EQ(model->undoCount(), 1u);
    EXPECT_EQ(get(box).frame(), (RectF{10, 5, 100, 50}));
    model->undo();
    EXPECT_EQ(get(box).frame(), (RectF{0, 0, 100, 50}));
}

TEST_F(Transforms, ARotationDragIsOneUndoStepAndABackAndForthNone)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 100, 50}));
    model->setSelection({box});
    model->beginTransaction();
    rotateSelection(*model, {50, 25}, 0.2);
    rotateSelection(*model, {50, 25}, 0.3);
    model->endTransaction();
    EXPECT_EQ(model->undoCount(), 1u);

    model->beginTransaction();
    moveSelection(*model, 10, 0);
    moveSelection(*model, -10, 0);
    model->endTransaction();
    EXPECT_EQ(model->undoCount(), 1u) << "a drag ending where it started records nothing";
}

TEST_F(Transforms, EscapeRestoresEverythingAsAtMouseDown)
{
    const Uuid box = place(shape(Kind::rectangle, {0, 0, 100, 50}));
    const Uuid text = place(label(box, {12, 13, 76, 24}));
    place(arrow({0, 25, -100, 0}, box, std::nullopt));
    model->setSelection({box, text});
    const WhiteboardLibrary before = model->library();
    model->beginTransaction();
    moveSelection(*model, 30, 40);
    rotateSelection(*model, {0, 0}, 1);
    model->cancelInteraction();
    EXPECT_EQ(model->library(), before);
    EXPECT_FALSE(model->isTransactionOpen());
    EXPECT_EQ(model->undoCount(), 0u);
}

} // namespace
