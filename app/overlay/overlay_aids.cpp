// The presentation aids of a feature run that let clicks through: spotlight and cursor halo.
#include "capture/cursor_halo/cursor_halo_settings_view.h"
#include "capture/cursor_halo/cursor_halo_toolbar_view.h"
#include "capture/cursor_halo/cursor_halo_view.h"
#include "capture/spotlight/spotlight_settings_view.h"
#include "capture/spotlight/spotlight_view.h"
#include "overlay/overlay_window_controller.h"
#include "panels/panel_backdrop.h"
#include "panels/toolbar/basic_overlay_toolbar.h"
#include "platform/global_input_monitor.h"
#include "platform/platform_services.h"
#include "platform/screen_capture.h"
#include "shell/app_preferences.h"

#include <QCursor>
#include <QTimer>

#include <chrono>

namespace zentrel {

void OverlayWindowController::showSpotlight()
{
    auto *spotlight = new SpotlightView;
    spotlight->onEscape = [this] {
        close();
    };
    m_spotlight = spotlight;
    // Without a compositing manager the dimming would hide the desktop: dim a picture of the
    // screen taken before any panel of ours is up, and without our other windows.
    if (!isCompositingActive()) {
        if (const auto still = screenCapture().captureStill(m_screen, ownWindows())) {
            spotlight->setBackground(*still);
        }
    }
    // The circle starts where the pointer is, not at the corner until the first tick.
    spotlight->updateMouseLocation(QPointF(QCursor::pos() - m_screen.topLeft()));
    spotlight->applyPreferences(m_preferences);
    showClickThroughOverlay(spotlight, QStringLiteral("Spotlight"));
    installEscapeMonitor();
    holdEscapeForTheRun();
    m_inputController.startMouseTracking(m_screen, [this](QPointF location) {
        if (m_spotlight && !isOverFloatingPanel(location)) {
            m_spotlight->updateMouseLocation(location);
        }
    });
    showBasicToolbar(QStringLiteral("Spotlight settings"),
                     QStringLiteral("Close spotlight"),
                     [this] { return new SpotlightSettingsView(m_preferences); });
    m_subscriptions.push_back(m_preferences.changed.connect([this](AppPreferences::Setting) {
        QTimer::singleShot(0, this, [this] {
            if (m_spotlight) {
                m_spotlight->applyPreferences(m_preferences);
            }
        });
    }));
}

void OverlayWindowController::showCursorHalo()
{
    auto *halo = new CursorHaloView(m_preferences);
    halo->onEscape = [this] {
        close();
    };
    m_cursorHalo = halo;
    halo->updateMouseLocation(QPointF(QCursor::pos() - m_screen.topLeft()));
    showClickThroughOverlay(halo, QStringLiteral("Cursor Halo"));
    // Translucent pixels show black without a compositing manager: cut the window to the halo.
    halo->setShapesWindow(!isCompositingActive());
    installEscapeMonitor();
    holdEscapeForTheRun();
    // The model redraws the halo where it was and where it is now.
    m_inputController.startMouseTracking(m_screen, [this](QPointF location) {
        if (m_cursorHalo) {
            m_cursorHalo->updateMouseLocation(location);
        }
    });
    // The overlay lets clicks through, so it never sees them: ask the desktop.
    if (GlobalInputMonitor *monitor = globalInput()) {
        connect(monitor, &GlobalInputMonitor::pressed, this, [this](Qt::MouseButton button) {
            if (m_cursorHalo) {
                m_cursorHalo->recordClick(button == Qt::RightButton ? CursorClickKind::right
                                                                    : CursorClickKind::left,
                                          std::chrono::system_clock::now());
            }
        });
    }
    m_subscriptions.push_back(m_preferences.changed.connect([this](AppPreferences::Setting) {
        QTimer::singleShot(0, this, [this] {
            if (m_cursorHalo) {
                m_cursorHalo->applyPreferences(m_preferences);
            }
        });
    }));
    showCursorHaloToolbar();
}

void OverlayWindowController::showClickThroughOverlay(QWidget *content, const QString &title)
{
    m_overlayPanel = m_windowFactory.makeOverlayPanel(content, true);
    m_overlayPanel->setWindowTitle(title);
    m_overlayPanel->onEscape = [this] {
        close();
    };
    // Never activated: it takes no keyboard (Escape reaches the run through the desktop-wide
    // monitor), and asking Qt to activate it only makes Qt complain on standard error.
    m_overlayPanel->show();
    content->setFocus();
}

bool OverlayWindowController::isOverFloatingPanel(QPointF location) const
{
    const QPoint global = (location + QPointF(m_screen.topLeft())).toPoint();
    return (m_toolbarPanel && m_toolbarPanel->frameGeometry().contains(global))
           || (m_settingsPanel && m_settingsPanel->frameGeometry().contains(global));
}

void OverlayWindowController::showBasicToolbar(const QString &settingsLabel,
                                               const QString &closeLabel,
                                               const std::function<QWidget *()> &makeSettings)
{
    auto *toolbar = new BasicOverlayToolbar(m_settingsModel, settingsLabel, closeLabel);
    connect(toolbar, &BasicOverlayToolbar::toggleSettingsRequested, this, [this, makeSettings] {
        toggleSettingsPanel(makeSettings);
    });
    connect(toolbar, &BasicOverlayToolbar::closeRequested, this, &OverlayWindowController::close);
    showToolbarPanel(new TeachingControlStrip(toolbar));
}

void OverlayWindowController::showCursorHaloToolbar()
{
    auto *toolbar = new CursorHaloToolbarView(m_preferences, m_settingsModel);
    connect(toolbar, &CursorHaloToolbarView::toggleSettingsRequested, this, [this] {
        toggleSettingsPanel([this] { return new CursorHaloSettingsView(m_preferences); });
    });
    connect(toolbar, &CursorHaloToolbarView::closeRequested, this, &OverlayWindowController::close);
    showToolbarPanel(toolbar);
}

} // namespace zentrel
