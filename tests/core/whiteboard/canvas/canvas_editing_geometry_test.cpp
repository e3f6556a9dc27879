#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/canvas/creation_preview.h"
#include "whiteboard/canvas/selection_overlay.h"
#include "whiteboard/canvas/text_editor_placement.h"
#include "whiteboard/canvas/whiteboard_key_commands.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zentrel {
namespace {

TEST(CreationPreviewTest, ShapesSpanTheDragAndLinesKeepItsDirection)
{
    const Color red{1, 0, 0, 1};
    const auto rectangle =
        creationPreviewElement(WhiteboardTool::rectangle, {100, 100}, {40, 160}, {}, red, 4);
    ASSERT_TRUE(rectangle);
    EXPECT_EQ(rectangle->frame(), (RectF{40, 100, 60, 60}));
    EXPECT_EQ(rectangle->style.strokeColor, "#FF0000");
    EXPECT_EQ(rectangle->style.strokeWidth, 4);
    EXPECT_FALSE(rectangle->style.fillColor);

    const auto line =
        creationPreviewElement(WhiteboardTool::line, {100, 100}, {40, 160}, {}, red, 4);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->frame(), (RectF{100, 100, -60, 60}));

    const auto pen = creationPreviewElement(
        WhiteboardTool::freedraw, {0, 0}, {5, 5}, {{0, 0}, {2, 3}, {5, 5}}, red, 2);
    ASSERT_TRUE(pen);
    EXPECT_EQ(pen->frame(), (RectF{}));
    EXPECT_EQ(pen->points.size(), 3u);
}

TEST(CreationPreviewTest, ToolsThatDoNotDragOutAnElementShowNothing)
{
    for (const WhiteboardTool tool : {WhiteboardTool::text,
                                      WhiteboardTool::marker,
                                      WhiteboardTool::selection,
                                      WhiteboardTool::eraser,
                                      WhiteboardTool::pan}) {
        EXPECT_FALSE(creationPreviewElement(tool, {0, 0}, {10, 10}, {}, {}, 1));
    }
}

TEST(SelectionOverlayTest, HandlesFollowResizeHandleOrderAndKeepScreenSize)
{
    const auto points = selectionHandlePoints({10, 20, 100, 50});
    EXPECT_EQ(points[static_cast<int>(WhiteboardResizeHandle::topLeft)], (PointF{10, 20}));
    EXPECT_EQ(points[static_cast<int>(WhiteboardResizeHandle::right)], (PointF{110, 45}));
    EXPECT_EQ(points[static_cast<int>(WhiteboardResizeHandle::bottom)], (PointF{60, 70}));
    EXPECT_EQ(points[static_cast<int>(WhiteboardResizeHandle::left)], (PointF{10, 45}));

    for (const double scale : {0.1, 5.0}) {
        const RectF square = selectionHandleSquare({0, 0}, scale);
        EXPECT_DOUBLE_EQ(square.width * scale, 8);
        EXPECT_DOUBLE_EQ(square.x, -square.width / 2);
        EXPECT_DOUBLE_EQ((20 - rotationHandleCentre({0, 20, 10, 10}, scale).y) * scale, 24);
    }
}

TEST(TextEditorPlacementTest, NewTextScalesWithZoomButNeverNarrowerThanEightyPoints)
{
    const TextEditorPlacement placement = newTextPlacement({10, 20}, 20);
    const TextEditorFrame zoomed = textEditorFrame(placement, {2, {5, 6}});
    EXPECT_EQ(zoomed.viewRect, (RectF{25, 46, 560, 64}));
    EXPECT_DOUBLE_EQ(zoomed.fontPixelSize, 40);

    const TextEditorFrame small = textEditorFrame(placement, {0.1, {}});
    EXPECT_DOUBLE_EQ(small.viewRect.width, 80);
    EXPECT_DOUBLE_EQ(small.viewRect.height, 4);
    // It then grows to the laid-out text, and never below its first height.
    EXPECT_DOUBLE_EQ(textEditorHeight(small.fontPixelSize, 30.5), 39);
    EXPECT_DOUBLE_EQ(textEditorHeight(40, 10), 64);
}

TEST(TextEditorPlacementTest, AHugeFontKeepsTheEditorWithinAWidgetsRange)
{
    TextEditorPlacement placement = newTextPlacement({10, 20}, 9e11);
    placement.sceneWidth = 1e12;
    for (const double scale : {1.0, 30.0}) {
        const TextEditorFrame frame = textEditorFrame(placement, {scale, {}});
        EXPECT_EQ(frame.viewRect.width, maxTextEditorExtent);
        EXPECT_EQ(frame.viewRect.height, maxTextEditorExtent);
        EXPECT_EQ(frame.fontPixelSize, maxTextEditorExtent);
    }
    EXPECT_EQ(textEditorHeight(9e11, 1e300), maxTextEditorExtent);
    EXPECT_EQ(textEditorHeight(std::nan(""), std::nan("")), 0);
}

TEST(TextEditorPlacementTest, OnlyARunawayWordWrapsAnywhere)
{
    EXPECT_FALSE(editorWrapsAnywhere("Ordinary words, however many of them there are."));
    EXPECT_FALSE(editorWrapsAnywhere(std::string(runawayWordLength, 'a') + " "
                                     + std::string(runawayWordLength, 'b')));
    EXPECT_TRUE(editorWrapsAnywhere("a " + std::string(runawayWordLength + 1, 'w') + " z"));
}

TEST(TextEditorPlacementTest, LabelsOpenInTheShapeOrCentredOnTheArrow)
{
    WhiteboardElement rectangle;
    rectangle.kind = WhiteboardElementKind::rectangle;
    rectangle.setFrame({200, 100, -200, 100}); // mirrored: normalised first
    const TextEditorPlacement inShape = containerTextPlacement(rectangle, 24);
    EXPECT_EQ(inShape.scenePoint, (PointF{12, 112}));
    EXPECT_DOUBLE_EQ(inShape.sceneWidth, 176);
    EXPECT_EQ(inShape.alignment, WhiteboardTextAlignment::center);
    EXPECT_EQ(inShape.containerID, rectangle.id);
    EXPECT_FALSE(inShape.editingTextID);
    // A shape squashed flat still opens its label at its text width.
    rectangle.setFrame({0, 0, 250, 8});
    EXPECT_EQ(containerTextPlacement(rectangle, 24).scenePoint, (PointF{12, 4}));
    EXPECT_DOUBLE_EQ(containerTextPlacement(rectangle, 24).sceneWidth, 226);

    WhiteboardElement arrow;
    arrow.kind = WhiteboardElementKind::arrow;
    arrow.setFrame({0, 0, 100, 40});
    const TextEditorPlacement onArrow = containerTextPlacement(arrow, 24);
    EXPECT_EQ(onArrow.scenePoint, (PointF{50 - 110, 20 - 18}));
    EXPECT_DOUBLE_EQ(onArrow.sceneWidth, 220);
}

TEST(TextEditorPlacementTest, ExistingTextKeepsItsStyleWithDefaults)
{
    WhiteboardElement text;
    text.kind = WhiteboardElementKind::text;
    text.setFrame({5, 6, 40, 30});
    text.text = "Hi";
    const TextEditorPlacement placement = elementTextPlacement(text);
    EXPECT_DOUBLE_EQ(placement.sceneWidth, 80);
    EXPECT_DOUBLE_EQ(placement.fontSize, 24);
    EXPECT_EQ(placement.typeface, WhiteboardTypeface::handDrawn);
    EXPECT_EQ(placement.alignment, WhiteboardTextAlignment::left);
    EXPECT_EQ(placement.editingTextID, text.id);
    EXPECT_EQ(placement.text, "Hi");
    EXPECT_DOUBLE_EQ(textEditorFrame(placement, {3, {}}).viewRect.width, 240);
}

TEST(WhiteboardKeyCommandsTest, ShiftChoosesTheStrongerLayerMoveAndRedo)
{
    EXPECT_EQ(canvasKeyCommand(']', false), CanvasKeyCommand::bringForward);
    EXPECT_EQ(canvasKeyCommand(']', true), CanvasKeyCommand::bringToFront);
    EXPECT_EQ(canvasKeyCommand('[', true), CanvasKeyCommand::sendToBack);
    EXPECT_EQ(canvasKeyCommand('g', true), CanvasKeyCommand::ungroup);
    EXPECT_EQ(canvasKeyCommand('z', true), CanvasKeyCommand::redo);
    EXPECT_FALSE(canvasKeyCommand('q', false));

    EXPECT_EQ(overlayKeyCommand('+', true), OverlayKeyCommand::zoomIn);
    EXPECT_EQ(overlayKeyCommand('z', true), OverlayKeyCommand::redo);
    EXPECT_EQ(overlayKeyCommand('s', false), OverlayKeyCommand::saveImage);
    // Paste and select-all belong to the canvas, never to the overlay.
    EXPECT_FALSE(overlayKeyCommand('v', false));
    EXPECT_FALSE(overlayKeyCommand('a', false));
}

struct SelectionHandleHitTest : zentrel::testing::EditorFixture
{};

TEST_F(SelectionHandleHitTest, HandlesAnswerWithinEightPointsOnScreenAndNotWhenLocked)
{
    const Uuid id = place(shape(WhiteboardElementKind::rectangle, {0, 0, 100, 50}));
    model->setSelection({id});
    EXPECT_EQ(resizeHandleAtPoint(*model, {106, 25}), WhiteboardResizeHandle::right);
    EXPECT_FALSE(resizeHandleAtPoint(*model, {109, 25}));
    EXPECT_TRUE(isOnRotationHandle(*model, {50, -24 + 9}));
    EXPECT_FALSE(isOnRotationHandle(*model, {50, -24 + 11}));

    setSelectionLocked(*model, true);
    EXPECT_FALSE(resizeHandleAtPoint(*model, {100, 25}));
    EXPECT_FALSE(isOnRotationHandle(*model, {50, -24}));
}

} // namespace
} // namespace zentrel
