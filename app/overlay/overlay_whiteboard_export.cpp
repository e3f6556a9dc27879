// What leaves the whiteboard and Zevizu & Vozurir: the picture copied or saved as PNG, the board
// as SVG or Excalidraw, an Excalidraw document brought in, and frames added to the session.
#include "common/files/atomic_file.h"
#include "overlay/overlay_window_controller.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/editor/excalidraw_import_file.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/svg/svg_export.h"

#include <QFileDialog>
#include <QFileInfo>

#include <utility>

namespace zentrel {
namespace {

const std::string canvasRenderFailedText = "The canvas could not be rendered.";
const std::string importFailurePrefix = "The Excalidraw document could not be imported: ";
const QString saveTitle = QStringLiteral("Save");

std::string_view bytesOf(const QByteArray &data)
{
    return {data.constData(), static_cast<std::size_t>(data.size())};
}

} // namespace

// A text still being typed is part of the board that is left, exported or replaced.
void OverlayWindowController::commitTextBeingTyped()
{
    if (m_editorCanvas) {
        m_editorCanvas->commitTextEditing();
    }
}

std::string OverlayWindowController::editorRenderFailedText() const
{
    return m_editorIsFreeze ? canvasRenderFailedText : "The whiteboard could not be rendered.";
}

void OverlayWindowController::copyEditorImage()
{
    const std::optional<QByteArray> png =
        m_editorCanvas ? m_editorCanvas->renderPNGData() : std::nullopt;
    if (!png) {
        reportError(editorRenderFailedText());
        return;
    }
    if (!copyPNGToClipboard(*png)) {
        reportError(m_editorIsFreeze ? "The canvas could not be copied."
                                     : "The whiteboard could not be copied.");
    }
}

void OverlayWindowController::saveEditorImage()
{
    const std::optional<QByteArray> png =
        m_editorCanvas ? m_editorCanvas->renderPNGData() : std::nullopt;
    if (!png) {
        reportError(editorRenderFailedText());
        return;
    }
    presentSavePanel(*png,
                     saveTitle,
                     QStringLiteral("PNG image (*.png)"),
                     "png",
                     m_editorIsFreeze ? "The canvas could not be saved: "
                                      : "The whiteboard could not be saved: ");
}

void OverlayWindowController::exportSVG()
{
    if (m_editorIsFreeze) {
        saveEditorImage();
        return;
    }
    if (!m_editorModel) {
        return;
    }
    const std::string svg = renderBoardSVG(m_editorModel->currentBoard(), whiteboardLineMeasurer());
    presentSavePanel(QByteArray::fromStdString(svg),
                     saveTitle,
                     QStringLiteral("SVG image (*.svg)"),
                     "svg",
                     "The whiteboard could not be saved: ");
}

void OverlayWindowController::exportExcalidraw()
{
    if (m_editorIsFreeze || !m_editorModel) {
        return;
    }
    // Written as it is put together: a large board's document is never whole in memory.
    const WhiteboardBoard board = m_editorModel->currentBoard();
    presentSavePanel(
        [&board](const QString &path) -> std::optional<std::string> {
            auto file = AtomicFileWriter::create(path.toStdString());
            if (!file) {
                return "The whiteboard could not be saved: " + file.error().reason;
            }
            if (auto written = writeExcalidrawDocument(*file, board); !written) {
                return "The Excalidraw document could not be exported: " + message(written.error());
            }
            if (auto committed = file->commit(); !committed) {
                return "The whiteboard could not be saved: " + committed.error().reason;
            }
            return std::nullopt;
        },
        saveTitle,
        QStringLiteral("Excalidraw document (*.excalidraw)"),
        "excalidraw");
}

void OverlayWindowController::importExcalidraw()
{
    if (m_editorIsFreeze || !m_editorModel) {
        return;
    }
    suspendCommandMonitor();
    const QString path = QFileDialog::getOpenFileName(
        m_overlayPanel.get(),
        QStringLiteral("Import Excalidraw Document"),
        QString(),
        QStringLiteral("Excalidraw document (*.excalidraw);;JSON document (*.json)"));
    if (!path.isEmpty()) {
        importExcalidrawFile(path);
    }
    resumeCommandMonitor();
}

// A board is added only for a document that was read and understood whole; the boards already
// in the library stay as they are.
void OverlayWindowController::importExcalidrawFile(const QString &path)
{
    const auto data = readExcalidrawImportFile(path);
    if (!data) {
        reportError(importFailurePrefix + data.error());
        return;
    }
    auto imported =
        importExcalidrawDocument(bytesOf(*data), QFileInfo(path).completeBaseName().toStdString());
    if (!imported) {
        reportError(importFailurePrefix + message(imported.error()));
        return;
    }
    // Moved: the images a document keeps can be large.
    m_editorModel->insertBoard(std::move(imported->board));
    if (imported->unsupportedElementCount > 0) {
        reportError("Imported with " + std::to_string(imported->unsupportedElementCount)
                    + " unsupported element(s). They are preserved as locked placeholders.");
    }
}

void OverlayWindowController::addCanvasFrameToSession()
{
    const std::optional<QByteArray> png =
        m_editorCanvas ? m_editorCanvas->renderPNGData() : std::nullopt;
    if (!png) {
        reportError(canvasRenderFailedText);
        return;
    }
    const auto added = m_sessionStore.addFrame(bytesOf(*png),
                                               m_editorIsFreeze ? SessionFrameSource::freeze
                                                                : SessionFrameSource::whiteboard);
    if (!added) {
        reportError("The frame could not be added to the session: " + message(added.error()));
    }
    focusCanvas();
}

} // namespace zentrel
