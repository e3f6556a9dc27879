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
    m_isExporting = true;
    const auto screenImage = screenCapture().captureStill(m_screen, ownWindows());
    std::optional<QByteArray> png;
    if (!screenImage) {
        reportError(failureText + screenImage.error().message().toStdString());
    } else if (!m_isClosing && m_drawingCanvas) {
        png = m_drawingCanvas->renderPNG(*screenImage);
    }
    if (png) {
        const auto added =
            m_sessionStore.addFrame(std::string_view(png->constData(), std::size_t(png->size())),
                                    SessionFrameSource::drawing);
        if (added) {
            focusCanvas();
        } else {
            reportError(failureText + message(added.error()));
        }
    }
    m_isExporting = false;
}

void OverlayWindowController::renderDrawingOverCapture(
    std::function<void(std::optional<QByteArray>)> done)
{
    m_isExporting = true;
    std::optional<QByteArray> png;
    const auto screenImage = screenCapture().captureStill(m_screen, ownWindows());
    if (screenImage && m_drawingCanvas) {
        png = m_drawingCanvas->renderPNG(*screenImage);
    }
    done(png);
    m_isExporting = false;
}

void OverlayWindowController::exportDrawing(std::function<void(const QByteArray &)> use)
{
    if (!m_drawingCanvas) {
        reportError(renderFailedText);
        return;
    }
    if (m_isExporting) {
        reportError(captureInProgressText);
        return;
    }
    renderDrawingOverCapture([this, use = std::move(use)](const std::optional<QByteArray> &png) {
        if (png) {
            use(*png);
        } else {
            reportError(renderFailedText);
        }
    });
}

void OverlayWindowController::copyDrawing()
{
    exportDrawing([](const QByteArray &png) {
        auto *data = new QMimeData;
        data->setData(QStringLiteral("image/png"), png);
        QGuiApplication::clipboard()->setMimeData(data);
    });
}

void OverlayWindowController::saveDrawing()
{
    exportDrawing([this](const QByteArray &png) {
        // Owned by the overlay, so the dialog stays above the run's panels.
        const QString path = QFileDialog::getSaveFileName(m_overlayPanel.get(),
                                                          QStringLiteral("Save Drawing"),
                                                          defaultExportPath("Draw", "png"),
                                                          QStringLiteral("PNG image (*.png)"));
        if (!path.isEmpty()) {
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size()
                || !file.commit()) {
                reportError("The canvas could not be saved: " + file.errorString().toStdString());
            }
        }
        focusCanvas();
    });
}

} // namespace zentrel
