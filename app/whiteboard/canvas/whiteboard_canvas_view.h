#pragma once

#include "drawing/rough_path_generator.h"
#include "shell/roughness_level.h"
#include "whiteboard/canvas/canvas_backdrop_painter.h"
#include "whiteboard/canvas/canvas_drag.h"
#include "whiteboard/canvas/element_layer/canvas_element_layer.h"
#include "whiteboard/editor/whiteboard_editor_model.h"

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QTextEdit;
class QTimer;

namespace zentrel {

class InlineTextEditor;
enum class CanvasKeyCommand;
struct TextEditorPlacement;

// The view a whiteboard board is shown and edited on: background, paper texture, grid, the
// elements under the board's viewport, the element being created and the selection. It redraws
// whenever its model changes. The model must outlive it.
class WhiteboardCanvasView : public QWidget
{
    Q_OBJECT

public:
    explicit WhiteboardCanvasView(WhiteboardEditorModel &model, QWidget *parent = nullptr);
    ~WhiteboardCanvasView() override;

    WhiteboardEditorModel &model() const { return m_model; }

    RoughnessLevel roughnessLevel() const { return m_roughnessLevel; }

    void setRoughnessLevel(RoughnessLevel level) { m_roughnessLevel = level; }

    // Kept for the host; elements are drawn with generators of their own.
    const std::optional<RoughPathGenerator> &roughPathGenerator() const
    {
        return m_roughPathGenerator;
    }

    void setRoughPathGenerator(std::optional<RoughPathGenerator> generator)
    {
        m_roughPathGenerator = generator;
    }

    // None at roughness none; otherwise a fresh random seed at the view's level.
    std::optional<RoughPathGenerator> makeRoughPathGenerator() const;

    // Set by the host; the view does not call them.
    std::function<void()> onCopyPNG;
    std::function<void()> onExportPNG;

    // The pointer's drag, written by input handling and drawn as the preview and marquee.
    CanvasDrag &drag() { return m_drag; }

    // Present while a text is typed in place.
    QTextEdit *textEditor() const;

    // Opens the inline editor: for a new text at a scene point, for an existing text element, or
    // for the label of a shape (its text when it has one). Locked shapes are not edited.
    void beginNewText(PointF scenePoint);
    void editTextElement(const Uuid &elementID);
    void beginTextEditing(const Uuid &shapeID);
    // Hands the typed text to the model and closes the editor.
    void commitTextEditing();
    // Drops the typed text, closes the editor and returns the model to idle.
    void cancelInteraction();

    // Where zoom keys zoom about: the pointer when it is over the view, else its centre.
    PointF zoomAnchor() const;

    // The whole view as PNG, without selection or creation preview; an open text edit is
    // committed first so its text is in the picture. None when the image cannot be made.
    std::optional<QByteArray> renderPNGData();

    // The picture's size in pixels when the view covers a monitor: Qt's size in whole points
    // times the scale may reach a pixel past it.
    void setPicturePixels(QSize pixels) { m_picturePixels = pixels; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Pointer, wheel, pinch and key input (whiteboard_canvas_input.cpp).
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    PointF scenePoint(QPointF viewPoint) const;
    void press(QMouseEvent *event, bool isDoubleClick);
    void pressWithSelectionTool(PointF point, bool extending, bool isDoubleClick);
    void dragTo(PointF point, QPointF viewPoint);
    void performKeyCommand(CanvasKeyCommand command);

    // Paints the whole canvas into m_frame, off the main thread (see paintOnPoolThread).
    void renderFrame(qreal pixelRatio, CanvasSharpness sharpness);
    // The board on screen as the element layer shows it.
    CanvasElementScene elementScene() const;
    void paintCanvas(const QColor &accent, CanvasSharpness sharpness);
    void openTextEditor(const TextEditorPlacement &placement);
    void closeTextEditor();
    bool isDragging() const;

    WhiteboardEditorModel &m_model;
    RoughnessLevel m_roughnessLevel = RoughnessLevel::medium;
    std::optional<RoughPathGenerator> m_roughPathGenerator;
    CanvasDrag m_drag;
    QPointer<InlineTextEditor> m_textEditor;
    double m_textEditorScale = 1; // the board's zoom when the editor opened
    bool m_isRenderingExport = false;
    CanvasBackdropPainter m_backdrop;
    CanvasElementLayer m_elements;
    QImage m_frame;
    QSize m_picturePixels;
    // The paint to come was asked for the area a drag step changes, not the whole view.
    bool m_askedForDragStep = false;
    // Zoom steps show a rescaled picture; once they rest, a sharp one is begun.
    QTimer *m_zoomRestTimer = nullptr;
    bool m_zoomRests = false;
    // Once zooms have paused a while, what the view kept for elements it no longer shows goes.
    QTimer *m_zoomPauseTimer = nullptr;
    WhiteboardViewport m_paintedViewport;
    ScopedConnection m_modelConnection;
};

} // namespace zentrel
