// The zoom loupe of a feature run: a still of the screen first, magnified under the pointer.
#include "capture/loupe/loupe_view.h"
#include "capture/loupe/zoom_settings_view.h"
#include "overlay/overlay_window_controller.h"
#include "platform/platform_services.h"
#include "platform/screen_capture.h"
#include "shell/app_preferences.h"

#include <QCursor>
#include <QTimer>

namespace zentrel {
namespace {

// Points of screen around the loupe's source read on every frame.
constexpr double loupeStreamMargin = 24;

} // namespace

void OverlayWindowController::showZooming()
{
    installEscapeMonitor();
    if (const std::optional<QImage> screenImage = captureScreenOrClose()) {
        presentLoupe(*screenImage);
    }
}

std::optional<QImage> OverlayWindowController::captureScreenOrClose()
{
    const auto screenImage = screenCapture().captureStill(m_screen, ownWindows());
    if (!screenImage) {
        reportError("Screen capture failed: " + screenImage.error().message().toStdString());
        close();
        return std::nullopt;
    }
    return *screenImage;
}

void OverlayWindowController::presentLoupe(const QImage &screenImage)
{
    auto *loupe = new LoupeView(screenImage, m_screen.size());
    loupe->onEscape = [this] {
        close();
    };
    loupe->onZoomChange = [this](double zoom) {
        m_preferences.setZoomFactor(zoom);
    };
    loupe->onSizeChange = [this](double diameter) {
        m_preferences.setZoomDiameter(diameter);
    };
    m_loupe = loupe;
    m_overlayPanel = m_windowFactory.makeOverlayPanel(loupe, false);
    m_overlayPanel->setWindowTitle(QStringLiteral("Zoom Loupe"));
    m_overlayPanel->onEscape = [this] {
        close();
    };
    m_overlayPanel->show();
    m_overlayPanel->activateWindow();
    loupe->setFocus();
    loupe->setShapesWindow(!isCompositingActive());
    loupe->setMouseLocation(QPointF(QCursor::pos() - m_screen.topLeft()));
    m_inputController.startMouseTracking(
        m_screen, [this](QPointF location) { followPointerWithLoupe(location); });
    loupe->setSettings(loupeSettings(m_preferences));
    showBasicToolbar(QStringLiteral("Zoom loupe settings"),
                     QStringLiteral("Close zoom loupe"),
                     [this] { return new ZoomSettingsView(m_preferences); });
    m_subscriptions.push_back(m_preferences.changed.connect([this](AppPreferences::Setting) {
        QTimer::singleShot(0, this, [this] {
            if (m_loupe) {
                m_loupe->setSettings(loupeSettings(m_preferences));
            }
        });
    }));
    startLoupeStream();
}

void OverlayWindowController::followPointerWithLoupe(QPointF location)
{
    if (!m_loupe || isOverFloatingPanel(location)) {
        return;
    }
    m_loupe->setMouseLocation(location);
    if (m_loupeStream) {
        m_loupeStream->setRegion(loupeSourceRegion());
    }
}

// The screen area the loupe magnifies now, with room for the pointer to move before the next
// frame; in the coordinates of the screen's geometry.
QRect OverlayWindowController::loupeSourceRegion() const
{
    const LoupeSettings settings = m_loupe->settings();
    const double side = settings.diameter / settings.zoom + 2 * loupeStreamMargin;
    QRectF region(0, 0, side, side);
    region.moveCenter(m_loupe->mouseLocation() + QPointF(m_screen.topLeft()));
    return region.toAlignedRect();
}

void OverlayWindowController::startLoupeStream()
{
    auto stream = screenCapture().startStream(
        m_screen, loupeSourceRegion(), ownWindows(), [this](const QImage &frame) {
            if (m_loupe && !m_isClosing) {
                m_loupe->updateRegion(frame);
            }
        });
    if (!stream) {
        reportError("Live loupe stream unavailable: " + stream.error().message().toStdString());
        return;
    }
    m_loupeStream = std::move(*stream);
}

} // namespace zentrel
