// The exports of a feature run: copy and save of its picture.
#include "drawing/drawing_canvas_view.h"
#include "overlay/export_location.h"
#include "overlay/overlay_window_controller.h"
#include "platform/screen_capture.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <QSaveFile>

namespace zentrel {
namespace {

const std::string renderFailedText = "The canvas could not be rendered.";
const std::string captureInProgressText = "A screen capture is already in progress.";

} // namespace

void OverlayWindowController::addDrawingToSession()
{
    if (m_isExporting || !m_drawingCanvas) {
        return;
    }
    const std::string failureText = "The drawing could not be added to the session: ";
    const auto png = renderDrawingOverCapture();
    if (!png) {
        reportError(failureText + png.error().message().toStdString());
        return;
    }
    if (!*png) {
        return;
    }
    const auto added =
        m_sessionStore.addFrame(std::string_view((*png)->constData(), std::size_t((*png)->size())),
                                SessionFrameSource::drawing);
    if (added) {
        focusCanvas();
    } else {
        reportError(failureText + message(added.error()));
    }
}

tl::expected<std::optional<QByteArray>, CaptureError>
OverlayWindowController::renderDrawingOverCapture()
{
    const auto screenImage = screenCapture().captureStill(m_screen, ownWindows());
    if (!screenImage) {
        return tl::unexpected(screenImage.error());
    }
    if (m_isClosing || !m_drawingCanvas) {
        return std::nullopt;
    }
    return m_drawingCanvas->renderPNG(*screenImage);
}

void OverlayWindowController::exportDrawing(const std::function<void(const QByteArray &)> &use)
{
    if (!m_drawingCanvas) {
        reportError(renderFailedText);
        return;
    }
    if (m_isExporting) {
        reportError(captureInProgressText);
        return;
    }
    const auto png = renderDrawingOverCapture();
    if (!png || !*png) {
        reportError(renderFailedText);
        return;
    }
    // Held while the picture is used: a save dialog runs its own event loop.
    m_isExporting = true;
    use(**png);
    m_isExporting = false;
}

void OverlayWindowController::copyDrawing()
{
    exportDrawing([this](const QByteArray &png) {
        if (!copyPNGToClipboard(png)) {
            reportError("The canvas could not be copied.");
        }
    });
}

void OverlayWindowController::saveDrawing()
{
    exportDrawing([this](const QByteArray &png) {
        presentSavePanel(png,
                         QStringLiteral("Save Drawing"),
                         QStringLiteral("PNG image (*.png)"),
                         "png",
                         "The canvas could not be saved: ");
        focusCanvas();
    });
}

bool OverlayWindowController::copyPNGToClipboard(const QByteArray &png)
{
    const QString pngType = QStringLiteral("image/png");
    auto *data = new QMimeData;
    data->setData(pngType, png);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(data);
    // The X server refuses the clipboard to a request older than the last owner's: then it
    // still holds the other program's data. Where no program owns it, it holds what was put.
    if (clipboard->ownsClipboard()) {
        return true;
    }
    const QMimeData *held = clipboard->mimeData();
    return held && held->data(pngType) == png;
}

void OverlayWindowController::presentSavePanel(const QByteArray &data,
                                               const QString &title,
                                               const QString &filter,
                                               std::string_view extension,
                                               const std::string &failurePrefix)
{
    presentSavePanel(
        [&](const QString &path) -> std::optional<std::string> {
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()
                || !file.commit()) {
                return failurePrefix + file.errorString().toStdString();
            }
            return std::nullopt;
        },
        title,
        filter,
        extension);
}

void OverlayWindowController::presentSavePanel(const SavePanelWriter &write,
                                               const QString &title,
                                               const QString &filter,
                                               std::string_view extension)
{
    suspendCommandMonitor();
    // Owned by the overlay, so the dialog stays above the run's panels.
    const QString path = QFileDialog::getSaveFileName(
        m_overlayPanel.get(), title, defaultExportPath(m_exportModeName, extension), filter);
    if (!path.isEmpty()) {
        if (const std::optional<std::string> failure = write(path)) {
            reportError(*failure);
        }
    }
    resumeCommandMonitor();
}

} // namespace zentrel
