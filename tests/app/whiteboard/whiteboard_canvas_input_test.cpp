#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTextEdit>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

using testing::EditorFixture;

struct WhiteboardCanvasInputTest : EditorFixture
{
    WhiteboardCanvasView view{*model};

    WhiteboardCanvasInputTest() { view.resize(400, 300); }

    void send(QEvent::Type type,
              QPointF at,
              Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view.mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(&view, &event);
    }

    void press(QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        send(QEvent::MouseButtonPress, at, Qt::LeftButton, modifiers);
    }

    void moveTo(QPointF at) { send(QEvent::MouseMove, at, Qt::LeftButton); }

    void release(QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        send(QEvent::MouseButtonRelease, at, Qt::NoButton, modifiers);
    }

    void drag(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        press(from, modifiers);
        moveTo((from + to) / 2);
        moveTo(to);
        release(to, modifiers);
    }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QString text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&view, &event);
    }

    const std::vector<ElementPtr> &elements() const { return model->currentBoard().elements; }
};

TEST_F(WhiteboardCanvasInputTest, ShapeToolDragsOutAnElementThenReturnsToSelection)
{
    key(Qt::Key_R, Qt::NoModifier, "r");
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::rectangle);
    drag({20, 20}, {100, 80});
    ASSERT_EQ(elements().size(), 1u);
    EXPECT_EQ(elements().front()->frame(), (RectF{20, 20, 80, 60}));
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::selection);
    EXPECT_EQ(model->interaction().kind, WhiteboardInteraction::Kind::idle);

    model->setSelectedTool(WhiteboardTool::freedraw);
    drag({200, 200}, {240, 260});
    ASSERT_EQ(elements().size(), 2u);
    EXPECT_EQ(elements().back()->points.size(), 4u); // press, two moves, release
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::freedraw);
}

TEST_F(WhiteboardCanvasInputTest, SpaceControlAndWheelPanWhileControlWheelZooms)
{
    model->setSelectedTool(WhiteboardTool::rectangle);
    key(Qt::Key_Space);
    drag({50, 50}, {80, 70});
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(model->currentBoard().viewport.translation, (WhiteboardPoint{30, 20}));
    QKeyEvent spaceUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(&view, &spaceUp);

    drag({50, 50}, {60, 50}, Qt::ControlModifier);
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(model->currentBoard().viewport.translation.x, 40);

    QWheelEvent wheel({100, 100},
                      view.mapToGlobal(QPointF(100, 100)),
                      {},
                      {0, 120},
                      Qt::NoButton,
                      Qt::NoModifier,
                      Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_EQ(model->currentBoard().viewport.translation.y, 44);
    EXPECT_EQ(model->currentBoard().viewport.scale, 1);

    QWheelEvent zoomWheel({100, 100},
                          view.mapToGlobal(QPointF(100, 100)),
                          {},
                          {0, 120},
                          Qt::NoButton,
                          Qt::ControlModifier,
                          Qt::NoScrollPhase,
                          false);
    QApplication::sendEvent(&view, &zoomWheel);
    EXPECT_NEAR(model->currentBoard().viewport.scale, std::exp(0.24), 1e-9);
}

TEST_F(WhiteboardCanvasInputTest, SpaceLetGoElsewhereStopsPanning)
{
    model->setSelectedTool(WhiteboardTool::rectangle);
    key(Qt::Key_Space);
    // Space comes up while another window has the keyboard.
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&view, &focusOut);
    drag({50, 50}, {80, 70});
    EXPECT_EQ(elements().size(), 1u) << "the drag panned instead of drawing";
    EXPECT_EQ(model->currentBoard().viewport.translation, (WhiteboardPoint{0, 0}));
}

TEST_F(WhiteboardCanvasInputTest, AToolPickedDuringAStrokeWaitsForTheNextOne)
{
    model->setSelectedTool(WhiteboardTool::freedraw);
    press({20, 20});
    moveTo({60, 50});
    key(Qt::Key_R, Qt::NoModifier, QStringLiteral("r"));
    release({100, 80});
    ASSERT_EQ(elements().size(), 1u);
    EXPECT_EQ(elements().front()->kind, WhiteboardElementKind::freedraw);
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::rectangle);

    drag({200, 200}, {260, 240});
    ASSERT_EQ(elements().size(), 2u);
    EXPECT_EQ(elements().back()->kind, WhiteboardElementKind::rectangle);
}

TEST_F(WhiteboardCanvasInputTest, MovingASelectionIsOneUndoStepAndEscapeRollsItBack)
{
    place(shape(WhiteboardElementKind::rectangle, {100, 100, 50, 40}));
    drag({120, 120}, {160, 150});
    EXPECT_EQ(elements().front()->x, 140);
    EXPECT_EQ(model->undoCount(), 1u);

    press({160, 150});
    moveTo({200, 200});
    key(Qt::Key_Escape);
    EXPECT_EQ(model->interaction().kind, WhiteboardInteraction::Kind::idle);
    EXPECT_EQ(elements().front()->x, 140);
    release({200, 200});
    EXPECT_EQ(elements().front()->x, 140);
}

TEST_F(WhiteboardCanvasInputTest, AMoveWhoseReleaseWasLostEndsAtTheNextPress)
{
    place(shape(WhiteboardElementKind::rectangle, {100, 100, 50, 40}));
    press({120, 120});
    moveTo({160, 150});
    // The release went elsewhere; the next gesture draws a shape.
    model->setSelectedTool(WhiteboardTool::rectangle);
    drag({300, 300}, {350, 340});
    EXPECT_FALSE(model->isTransactionOpen());
    ASSERT_EQ(elements().size(), 2u);
    EXPECT_EQ(elements().front()->x, 140);
    EXPECT_EQ(model->undoCount(), 2u);
    model->undo();
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_EQ(elements().front()->x, 140);
}

TEST_F(WhiteboardCanvasInputTest, RightHandleResizesPastTheEdgeButKeepsTheMinimumSize)
{
    const Uuid id = place(shape(WhiteboardElementKind::rectangle, {0, 100, 200, 50}));
    model->setSelection({id});
    drag({200, 125}, {-50, 125});
    EXPECT_DOUBLE_EQ(elements().front()->width, -50);
    model->undo();
    model->setSelection({id});
    drag({200, 125}, {4, 125});
    EXPECT_DOUBLE_EQ(elements().front()->width, 8);
}

TEST_F(WhiteboardCanvasInputTest, LockedElementsAreSelectedButNeverDragged)
{
    WhiteboardElement locked = shape(WhiteboardElementKind::rectangle, {100, 100, 50, 40});
    locked.isLocked = true;
    const Uuid id = place(std::move(locked));
    drag({120, 120}, {180, 180});
    EXPECT_EQ(model->selection(), WhiteboardSelection{id});
    EXPECT_EQ(elements().front()->x, 100);
    // Its handles do not answer either: a press on the corner selects, it does not resize.
    drag({150, 140}, {250, 240});
    EXPECT_EQ(elements().front()->width, 50);
}

TEST_F(WhiteboardCanvasInputTest, DoubleClickOpensLabelsInShapesButNotOnLines)
{
    const Uuid diamond = place(shape(WhiteboardElementKind::diamond, {0, 0, 200, 100}));
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(100, 50));
    ASSERT_NE(view.textEditor(), nullptr);
    QTest::keyClicks(view.textEditor(), "ab");
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::selection); // letters go to the text
    view.commitTextEditing();
    ASSERT_EQ(elements().size(), 2u);
    EXPECT_EQ(elements().back()->containerID, diamond);

    const Uuid line = place(shape(WhiteboardElementKind::line, {250, 200, 100, 0}));
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_EQ(view.textEditor(), nullptr);
    EXPECT_EQ(model->selection(), WhiteboardSelection{line});
}

TEST_F(WhiteboardCanvasInputTest, ControlKeysFollowTheKeyNotTheShiftedCharacter)
{
    place(shape(WhiteboardElementKind::rectangle, {0, 0, 10, 10}));
    const Uuid top = place(shape(WhiteboardElementKind::ellipse, {0, 0, 10, 10}));
    const Uuid bottom = elements().front()->id;
    model->setSelection({bottom});
    key(Qt::Key_BraceRight, Qt::ControlModifier | Qt::ShiftModifier, "}");
    EXPECT_EQ(elements().back()->id, bottom);
    key(Qt::Key_BraceLeft, Qt::ControlModifier | Qt::ShiftModifier, "{");
    EXPECT_EQ(elements().front()->id, bottom);

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(elements().back()->id, bottom);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "Z");
    EXPECT_EQ(elements().front()->id, bottom);
    EXPECT_EQ(elements().back()->id, top);

    // "z" alone is no tool and goes on to the panel.
    QKeyEvent plainZ(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z");
    QApplication::sendEvent(&view, &plainZ);
    EXPECT_FALSE(plainZ.isAccepted());
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::selection);
}

TEST_F(WhiteboardCanvasInputTest, MarqueeSelectsWhatItTouchesAndDeleteRemovesIt)
{
    place(shape(WhiteboardElementKind::rectangle, {10, 10, 20, 20}));
    place(shape(WhiteboardElementKind::ellipse, {200, 200, 20, 20}));
    drag({0, 0}, {50, 50});
    EXPECT_EQ(model->selection().size(), 1u);
    key(Qt::Key_Backspace);
    ASSERT_EQ(elements().size(), 1u);
    EXPECT_EQ(elements().front()->kind, WhiteboardElementKind::ellipse);
}

} // namespace
} // namespace zentrel
