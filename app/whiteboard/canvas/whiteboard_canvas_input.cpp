// Pointer, wheel, pinch and key input of the whiteboard canvas: each gesture becomes calls on
// the editor model, which every change of the board goes through.
#include "common/qt_path.h"
#include "whiteboard/canvas/creation_preview.h"
#include "whiteboard/canvas/inline_text_editor.h"
#include "whiteboard/canvas/key_character.h"
#include "whiteboard/canvas/selection_overlay.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/canvas/whiteboard_key_commands.h"
#include "whiteboard/editor/commands/whiteboard_clipboard.h"
#include "whiteboard/editor/commands/whiteboard_creation.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/editor/commands/whiteboard_transforms.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"
#include "whiteboard/editor/whiteboard_clipboard_mime.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QTextEdit>
#include <QWheelEvent>

#include <cmath>

namespace zentrel {

namespace {

using Kind = WhiteboardInteraction::Kind;

// A mouse wheel notch, in view points: a pan step, and a zoom by e^(24 × 0.01) ≈ 1.27.
constexpr double wheelNotchPoints = 24;
constexpr double wheelZoomRate = 0.01;
constexpr double smallestPinchFactor = 0.1;

bool isLabelled(WhiteboardElementKind kind)
{
    return kind == WhiteboardElementKind::rectangle || kind == WhiteboardElementKind::ellipse
           || kind == WhiteboardElementKind::diamond || kind == WhiteboardElementKind::arrow;
}

bool canTransformSelection(const WhiteboardEditorModel &model)
{
    return !model.selection().empty() && !selectionContainsLocked(model);
}

} // namespace

PointF WhiteboardCanvasView::scenePoint(QPointF viewPoint) const
{
    return m_model.currentBoard().viewport.toScene(toPointF(viewPoint));
}

PointF WhiteboardCanvasView::zoomAnchor() const
{
    const QPointF pointer = mapFromGlobal(QCursor::pos());
    const QPointF anchor = rect().contains(pointer.toPoint()) ? pointer : QRectF(rect()).center();
    return {anchor.x(), anchor.y()};
}

void WhiteboardCanvasView::mousePressEvent(QMouseEvent *event)
{
    press(event, false);
}

void WhiteboardCanvasView::mouseDoubleClickEvent(QMouseEvent *event)
{
    press(event, true);
}

void WhiteboardCanvasView::press(QMouseEvent *event, bool isDoubleClick)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    commitTextEditing();
    // A move whose release went to a dialog or another window ends here, where it stands;
    // left open, it would swallow every later change's undo step and save.
    if (m_model.isTransactionOpen()) {
        m_model.endTransaction();
        m_model.setInteraction({});
    }
    const QPointF view = event->position();
    const PointF point = scenePoint(view);
    m_drag.lastViewPoint = PointF{view.x(), view.y()};
    m_drag.startScenePoint = point;
    m_drag.currentScenePoint = point;
    const WhiteboardTool tool = m_model.selectedTool();
    m_drag.tool = tool;
    if (tool == WhiteboardTool::pan || m_drag.isSpacePressed
        || event->modifiers().testFlag(Qt::ControlModifier)) {
        m_model.setInteraction({Kind::panning});
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    switch (tool) {
    case WhiteboardTool::selection:
        pressWithSelectionTool(
            point, event->modifiers().testFlag(Qt::ShiftModifier), isDoubleClick);
        return;
    case WhiteboardTool::freedraw:
        m_drag.activePoints = {point};
        m_model.setInteraction({Kind::drawing});
        return;
    case WhiteboardTool::text:
        beginNewText(point);
        return;
    case WhiteboardTool::marker:
        addMarker(m_model, point);
        return;
    case WhiteboardTool::eraser:
        eraseAtPoint(m_model, point);
        m_model.setInteraction({Kind::drawing});
        return;
    default:
        m_model.setInteraction({Kind::drawing});
        return;
    }
}

void WhiteboardCanvasView::pressWithSelectionTool(PointF point, bool extending, bool isDoubleClick)
{
    if (isDoubleClick) {
        const std::optional<Uuid> hit = elementAtPoint(m_model, point);
        const ElementPtr element = hit ? elementWithID(m_model, *hit) : nullptr;
        if (element && element->kind == WhiteboardElementKind::text) {
            editTextElement(element->id);
            return;
        }
        if (element && isLabelled(element->kind)) {
            beginTextEditing(element->id);
            return;
        }
    }
    if (const auto handle = resizeHandleAtPoint(m_model, point)) {
        m_drag.sourceSelectionBounds = selectionBounds(m_model);
        m_model.beginTransaction();
        m_model.setInteraction(WhiteboardInteraction::resizing(*handle));
        return;
    }
    if (isOnRotationHandle(m_model, point)) {
        const RectF bounds = *selectionBounds(m_model);
        const PointF centre = rectCenter(bounds);
        m_drag.sourceSelectionBounds = bounds;
        m_drag.sourceRotationAngle = std::atan2(point.y - centre.y, point.x - centre.x);
        m_model.beginTransaction();
        m_model.setInteraction({Kind::rotating});
        return;
    }
    const std::optional<Uuid> hit = elementAtPoint(m_model, point);
    selectElement(m_model, hit, extending);
    if (!hit) {
        m_model.setInteraction({Kind::marqueeSelecting});
    } else if (m_model.selection().contains(*hit) && canTransformSelection(m_model)) {
        m_model.beginTransaction();
        m_model.setInteraction({Kind::moving});
    }
}

void WhiteboardCanvasView::mouseMoveEvent(QMouseEvent *event)
{
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    dragTo(scenePoint(event->position()), event->position());
}

void WhiteboardCanvasView::dragTo(PointF point, QPointF viewPoint)
{
    m_drag.currentScenePoint = point;
    const WhiteboardInteraction interaction = m_model.interaction();
    switch (interaction.kind) {
    case Kind::drawing:
        if (m_drag.tool == WhiteboardTool::freedraw) {
            m_drag.activePoints.push_back(point);
        } else if (m_drag.tool == WhiteboardTool::eraser) {
            eraseAtPoint(m_model, point);
        }
        update();
        break;
    case Kind::marqueeSelecting:
        update();
        break;
    case Kind::moving:
        if (m_drag.startScenePoint && canTransformSelection(m_model)) {
            moveSelection(
                m_model, point.x - m_drag.startScenePoint->x, point.y - m_drag.startScenePoint->y);
            m_drag.startScenePoint = point;
        }
        break;
    case Kind::rotating:
        if (m_drag.sourceSelectionBounds && m_drag.sourceRotationAngle
            && canTransformSelection(m_model)) {
            const PointF centre = rectCenter(*m_drag.sourceSelectionBounds);
            const double angle = std::atan2(point.y - centre.y, point.x - centre.x);
            rotateSelection(m_model, centre, angle - *m_drag.sourceRotationAngle);
            m_drag.sourceRotationAngle = angle;
        }
        break;
    case Kind::panning:
        if (m_drag.lastViewPoint) {
            panBy(m_model,
                  viewPoint.x() - m_drag.lastViewPoint->x,
                  viewPoint.y() - m_drag.lastViewPoint->y);
            m_drag.lastViewPoint = PointF{viewPoint.x(), viewPoint.y()};
        }
        break;
    case Kind::resizing:
        // Every event resizes from the bounds at the press by the whole drag so far, so no
        // error builds up.
        if (m_drag.sourceSelectionBounds && m_drag.startScenePoint) {
            const RectF resized = resizedSelectionRect(
                *m_drag.sourceSelectionBounds,
                interaction.handle,
                {point.x - m_drag.startScenePoint->x, point.y - m_drag.startScenePoint->y},
                selectionKeepsMinimumSize(m_model));
            dragResizeHandle(m_model, *m_drag.sourceSelectionBounds, resized);
        }
        break;
    case Kind::idle:
    case Kind::textEditing:
        break;
    }
}

void WhiteboardCanvasView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const PointF point = scenePoint(event->position());
    const bool extending = event->modifiers().testFlag(Qt::ShiftModifier);
    switch (m_model.interaction().kind) {
    case Kind::drawing:
        if (m_drag.tool == WhiteboardTool::freedraw) {
            m_drag.activePoints.push_back(point);
            finishFreehand(m_model, m_drag.activePoints);
        } else if (const auto kind = draggedElementKind(m_drag.tool);
                   kind && m_drag.startScenePoint) {
            finishShape(m_model, *kind, *m_drag.startScenePoint, point);
            // Unless another tool was picked meanwhile.
            if (m_model.selectedTool() == m_drag.tool) {
                m_model.setSelectedTool(WhiteboardTool::selection);
            }
        }
        break;
    case Kind::marqueeSelecting:
        if (const auto start = m_drag.startScenePoint) {
            selectInMarquee(m_model, rectBetween(*start, point), extending);
        }
        break;
    case Kind::moving:
    case Kind::rotating:
    case Kind::resizing:
        m_model.endTransaction();
        break;
    case Kind::idle:
    case Kind::panning:
    case Kind::textEditing:
        break;
    }
    m_drag.activePoints.clear();
    m_drag.startScenePoint.reset();
    m_drag.currentScenePoint.reset();
    m_drag.sourceSelectionBounds.reset();
    m_drag.sourceRotationAngle.reset();
    m_model.setInteraction({});
    setCursor(m_drag.isSpacePressed ? Qt::OpenHandCursor : Qt::ArrowCursor);
    update();
}

void WhiteboardCanvasView::wheelEvent(QWheelEvent *event)
{
    const QPointF delta = event->pixelDelta().isNull()
                              ? QPointF(event->angleDelta()) / 120.0 * wheelNotchPoints
                              : QPointF(event->pixelDelta());
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        zoom(m_model,
             std::exp(delta.y() * wheelZoomRate),
             {event->position().x(), event->position().y()});
    } else {
        panBy(m_model, delta.x(), delta.y());
    }
}

bool WhiteboardCanvasView::event(QEvent *event)
{
    if (event->type() == QEvent::NativeGesture) {
        auto *gesture = static_cast<QNativeGestureEvent *>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            zoom(m_model,
                 std::max(gesture->value() + 1, smallestPinchFactor),
                 {gesture->position().x(), gesture->position().y()});
            return true;
        }
    }
    return QWidget::event(event);
}

void WhiteboardCanvasView::keyPressEvent(QKeyEvent *event)
{
    if (m_textEditor) {
        event->ignore();
        return;
    }
    if (event->key() == Qt::Key_Space) {
        m_drag.isSpacePressed = true;
        setCursor(Qt::OpenHandCursor);
        return;
    }
    if (event->key() == Qt::Key_Escape && m_model.interaction().kind != Kind::idle) {
        m_model.cancelInteraction();
        m_model.setInteraction({});
        update();
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        deleteSelection(m_model);
        return;
    }
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        const std::optional<WhiteboardTool> tool = toolForShortcut(event->text().toStdString());
        if (tool) {
            m_model.setSelectedTool(*tool);
        } else {
            event->ignore();
        }
        return;
    }
    const std::optional<char> key = unshiftedKeyCharacter(event->key());
    const std::optional<CanvasKeyCommand> command =
        key ? canvasKeyCommand(*key, event->modifiers().testFlag(Qt::ShiftModifier)) : std::nullopt;
    if (command) {
        performKeyCommand(*command);
    } else {
        event->ignore();
    }
}

void WhiteboardCanvasView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_drag.isSpacePressed = false;
        setCursor(Qt::ArrowCursor);
        return;
    }
    event->ignore();
}

// Space let go while another window had the keyboard never reaches us: without this, every
// later click would pan.
void WhiteboardCanvasView::focusOutEvent(QFocusEvent *event)
{
    if (m_drag.isSpacePressed) {
        m_drag.isSpacePressed = false;
        setCursor(Qt::ArrowCursor);
    }
    QWidget::focusOutEvent(event);
}

void WhiteboardCanvasView::performKeyCommand(CanvasKeyCommand command)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    switch (command) {
    case CanvasKeyCommand::selectAll:
        selectAll(m_model);
        break;
    case CanvasKeyCommand::copy:
        if (const auto contents = copySelection(m_model, whiteboardLineMeasurer())) {
            clipboard->setMimeData(toMimeData(*contents));
        }
        break;
    case CanvasKeyCommand::cut:
        if (const auto contents = cutSelection(m_model, whiteboardLineMeasurer())) {
            clipboard->setMimeData(toMimeData(*contents));
        }
        break;
    case CanvasKeyCommand::paste:
        if (const QMimeData *contents = clipboard->mimeData()) {
            paste(m_model, fromMimeData(*contents));
        }
        break;
    case CanvasKeyCommand::duplicate:
        duplicateSelection(m_model);
        break;
    case CanvasKeyCommand::group:
        groupSelection(m_model);
        break;
    case CanvasKeyCommand::ungroup:
        ungroup(m_model);
        break;
    case CanvasKeyCommand::bringForward:
        bringForward(m_model);
        break;
    case CanvasKeyCommand::bringToFront:
        bringToFront(m_model);
        break;
    case CanvasKeyCommand::sendBackward:
        sendBackward(m_model);
        break;
    case CanvasKeyCommand::sendToBack:
        sendToBack(m_model);
        break;
    case CanvasKeyCommand::undo:
        m_model.undo();
        break;
    case CanvasKeyCommand::redo:
        m_model.redo();
        break;
    case CanvasKeyCommand::zoomIn:
        zoom(m_model, whiteboardZoomInStep, zoomAnchor());
        break;
    case CanvasKeyCommand::zoomOut:
        zoom(m_model, whiteboardZoomOutStep, zoomAnchor());
        break;
    case CanvasKeyCommand::resetView:
        m_model.resetView();
        break;
    }
}

} // namespace zentrel
