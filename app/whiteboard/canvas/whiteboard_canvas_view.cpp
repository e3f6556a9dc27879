#include "whiteboard/canvas/whiteboard_canvas_view.h"

#include "common/pool_thread_painting.h"
#include "common/qt_conversions.h"
#include "whiteboard/canvas/canvas_overlay_painter.h"
#include "whiteboard/canvas/inline_text_editor.h"
#include "whiteboard/canvas/text_editor_placement.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/editor/commands/whiteboard_text.h"

#include <QBuffer>
#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

#include <chrono>
#include <utility>

namespace zentrel {

namespace {

// How long zoom steps must pause before the sharp picture is begun: wheel notches and pinch
// events come closer together than that.
constexpr std::chrono::milliseconds zoomRestDelay{80};
// Zooming in and out again within this keeps what the elements beyond the view need.
constexpr std::chrono::milliseconds zoomPauseDelay{300};

} // namespace

WhiteboardCanvasView::WhiteboardCanvasView(WhiteboardEditorModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    // Called on a pool thread; the layer waits for it before it goes, and the view with it.
    , m_elements([this] {
        QMetaObject::invokeMethod(
            this, [this] { update(); }, Qt::QueuedConnection);
    })
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_roughPathGenerator = makeRoughPathGenerator();
    m_zoomRestTimer = new QTimer(this);
    m_zoomRestTimer->setSingleShot(true);
    m_zoomRestTimer->setInterval(zoomRestDelay);
    connect(m_zoomRestTimer, &QTimer::timeout, this, [this] {
        m_zoomRests = true;
        update();
    });
    m_zoomPauseTimer = new QTimer(this);
    m_zoomPauseTimer->setSingleShot(true);
    m_zoomPauseTimer->setInterval(zoomPauseDelay);
    connect(m_zoomPauseTimer, &QTimer::timeout, this, [this] {
        // A rescaled picture still shows what the view showed before the zoom.
        if (m_elements.isStale()) {
            m_zoomPauseTimer->start();
        } else {
            m_elements.letGoFarOff();
        }
    });
    m_modelConnection = m_model.changed.connect([this](WhiteboardEditorChange change) {
        // Choosing another tool while typing keeps what was typed.
        if (touches(change, WhiteboardEditorChange::tool)) {
            commitTextEditing();
        }
        // A drag step changes little of the frame; Qt then clears, copies and shows that alone.
        const WhiteboardBoard &board = m_model.currentBoard();
        const std::optional<QRect> area =
            isDragging() ? m_elements.dragStepArea(board.elements, board.viewport) : std::nullopt;
        m_askedForDragStep = area.has_value();
        update(area.value_or(rect()));
    });
}

// The editor, a child, outlives this part of the view by a moment: the focus leaving it then
// must not reach back into a view that is already gone.
WhiteboardCanvasView::~WhiteboardCanvasView()
{
    if (m_textEditor) {
        m_textEditor->onFocusLost = nullptr;
    }
}

std::optional<RoughPathGenerator> WhiteboardCanvasView::makeRoughPathGenerator() const
{
    if (m_roughnessLevel == RoughnessLevel::none) {
        return std::nullopt;
    }
    return RoughPathGenerator(QRandomGenerator::system()->generate64(),
                              roughPathRoughness(m_roughnessLevel));
}

QTextEdit *WhiteboardCanvasView::textEditor() const
{
    return m_textEditor;
}

void WhiteboardCanvasView::beginNewText(PointF scenePoint)
{
    openTextEditor(newTextPlacement(scenePoint, m_model.textFontSize()));
}

void WhiteboardCanvasView::editTextElement(const Uuid &elementID)
{
    if (const ElementPtr element = elementWithID(m_model, elementID)) {
        openTextEditor(elementTextPlacement(*element));
    }
}

void WhiteboardCanvasView::beginTextEditing(const Uuid &shapeID)
{
    const ElementPtr shape = elementWithID(m_model, shapeID);
    if (!shape || shape->isLocked) {
        return;
    }
    if (const std::optional<WhiteboardElement> text = textInContainer(m_model, shapeID)) {
        openTextEditor(elementTextPlacement(*text));
        return;
    }
    openTextEditor(containerTextPlacement(*shape, m_model.textFontSize()));
}

void WhiteboardCanvasView::openTextEditor(const TextEditorPlacement &placement)
{
    closeTextEditor();
    const TextEditorFrame frame = textEditorFrame(placement, m_model.currentBoard().viewport);
    m_textEditorScale = m_model.currentBoard().viewport.scale;
    auto *editor = new InlineTextEditor(placement, frame, toQColor(m_model.drawingColor()), this);
    editor->onFocusLost = [this] {
        commitTextEditing();
    };
    m_textEditor = editor;
    editor->show();
    m_model.setInteraction({WhiteboardInteraction::Kind::textEditing});
    update();
    activateWindow();
    editor->setFocus(Qt::OtherFocusReason);
    editor->selectAll();
    editor->fitToText();
}

void WhiteboardCanvasView::commitTextEditing()
{
    if (!m_textEditor) {
        return;
    }
    const TextEditorPlacement placement = m_textEditor->placement();
    const std::string text = m_textEditor->typedText().toStdString();
    const SizeF viewSize = m_textEditor->typedTextViewSize();
    // At the zoom the editor opened with, though the board may have zoomed meanwhile.
    const SizeF size{viewSize.width / m_textEditorScale, viewSize.height / m_textEditorScale};
    closeTextEditor();
    commitText(m_model,
               text,
               placement.scenePoint,
               placement.editingTextID,
               size,
               placement.alignment,
               placement.containerID);
    m_model.setInteraction({});
    if (m_model.selectedTool() == WhiteboardTool::text) {
        m_model.setSelectedTool(WhiteboardTool::selection);
    }
    setFocus(Qt::OtherFocusReason);
}

void WhiteboardCanvasView::cancelInteraction()
{
    closeTextEditor();
    m_model.setInteraction({});
    update();
    setFocus(Qt::OtherFocusReason);
}

// Detaches the editor before it goes, so the focus change its removal causes commits nothing.
void WhiteboardCanvasView::closeTextEditor()
{
    if (!m_textEditor) {
        return;
    }
    InlineTextEditor *editor = m_textEditor;
    m_textEditor = nullptr;
    editor->onFocusLost = nullptr;
    editor->hide();
    editor->deleteLater();
    update();
}

std::optional<QByteArray> WhiteboardCanvasView::renderPNGData()
{
    commitTextEditing();
    m_isRenderingExport = true;
    renderFrame(devicePixelRatioF(), CanvasSharpness::now);
    m_isRenderingExport = false;
    update();
    const QImage picture =
        m_picturePixels.isEmpty()
            ? m_frame
            : m_frame.copy(QRect(QPoint(0, 0), m_picturePixels) & m_frame.rect());
    QByteArray png;
    QBuffer buffer(&png);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        return std::nullopt;
    }
    return png;
}

void WhiteboardCanvasView::paintEvent(QPaintEvent *event)
{
    // Each further zoom step puts the sharp picture off again; other repaints leave it be.
    const WhiteboardViewport viewport = m_model.currentBoard().viewport;
    const bool moved = !(viewport == m_paintedViewport);
    if (viewport.scale != m_paintedViewport.scale) {
        m_zoomPauseTimer->start();
    }
    m_paintedViewport = viewport;
    if (moved) {
        m_zoomRests = false;
    }
    QPainter painter(this);
    renderFrame(painter.device()->devicePixelRatioF(),
                m_zoomRests ? CanvasSharpness::soon : CanvasSharpness::whenUncovered);
    painter.drawImage(QPointF(0, 0), m_frame);
    // A drag step that changed the frame beyond what Qt was asked to show: the rest follows.
    if (std::exchange(m_askedForDragStep, false)) {
        const QRegion unshown = QRegion(m_elements.changedArea()) - event->region();
        if (!unshown.isEmpty()) {
            update(unshown);
        }
    }
    if (!m_elements.isStale()) {
        m_zoomRestTimer->stop();
        m_zoomRests = false;
    } else if (moved) {
        m_zoomRestTimer->start();
    }
}

void WhiteboardCanvasView::renderFrame(qreal pixelRatio, CanvasSharpness sharpness)
{
    const QSize pixels = size() * pixelRatio;
    if (m_frame.size() != pixels || m_frame.devicePixelRatio() != pixelRatio) {
        m_frame = QImage(pixels, QImage::Format_RGB32);
        m_frame.setDevicePixelRatio(pixelRatio);
    }
    if (m_frame.isNull()) {
        return;
    }
    const QColor accent = palette().color(QPalette::Highlight);
    paintOnPoolThread([this, &accent, sharpness] { paintCanvas(accent, sharpness); });
}

// The board's elements are prepared while the window is being shown, so its first frame, the
// one a presenter waits for, has them ready.
void WhiteboardCanvasView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_elements.prepareAhead(elementScene(), size(), devicePixelRatioF());
    setFocus(Qt::OtherFocusReason);
}

CanvasElementScene WhiteboardCanvasView::elementScene() const
{
    const WhiteboardBoard &board = m_model.currentBoard();
    std::optional<Uuid> hiddenID;
    if (m_textEditor && m_textEditor->placement().editingTextID) {
        hiddenID = m_textEditor->placement().editingTextID;
    }
    return {board.id,
            &board.elements,
            board.viewport,
            hiddenID,
            isDragging(),
            boardGridLines(board),
            [this](QPainter &under) {
                m_backdrop.paint(under);
            }};
}

void WhiteboardCanvasView::paintCanvas(const QColor &accent, CanvasSharpness sharpness)
{
    const WhiteboardBoard &board = m_model.currentBoard();
    m_backdrop.prepare(board, m_model.sceneSize(), size(), m_frame.devicePixelRatio());
    m_elements.paint(m_frame, elementScene(), size(), sharpness);
    if (m_isRenderingExport) {
        return;
    }
    QPainter painter(&m_frame);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.translate(board.viewport.translation.x, board.viewport.translation.y);
    painter.scale(board.viewport.scale, board.viewport.scale);
    paintCreationPreview(painter, m_model, m_drag);
    paintSelectionOverlay(painter, m_model, m_drag, accent);
}

bool WhiteboardCanvasView::isDragging() const
{
    using Kind = WhiteboardInteraction::Kind;
    const Kind kind = m_model.interaction().kind;
    return m_model.isTransactionOpen()
           && (kind == Kind::moving || kind == Kind::resizing || kind == Kind::rotating);
}

} // namespace zentrel
