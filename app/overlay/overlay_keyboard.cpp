// Who has the keyboard during a feature run: the run's own panels, or an alert or dialog of ours
// that is up over it.
#include "capture/loupe/loupe_view.h"
#include "common/escape_key.h"
#include "drawing/drawing_canvas_view.h"
#include "overlay/overlay_window_controller.h"
#include "panels/event_monitor.h"
#include "platform/key_hold.h"
#include "platform/platform_services.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

namespace zentrel {

bool OverlayWindowController::isRunPanel(const QWidget *window) const
{
    return window == m_overlayPanel.get() || window == m_toolbarPanel.get()
           || window == m_propertyPanel.get() || window == m_settingsPanel.get();
}

bool OverlayWindowController::isAskingTheUser()
{
    if (QApplication::activeModalWidget()) {
        return true;
    }
    // Alerts are not modal, so a click can still give the run its keys while one waits.
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *window) {
        return qobject_cast<const QDialog *>(window) && window->isVisible();
    });
}

// A click in the run while an alert or dialog of ours has the keyboard gives the run its keys;
// with no window manager nothing else would.
void OverlayWindowController::installClickMonitor()
{
    const auto isWatched = [this](const QWidget *window) {
        return isRunPanel(window);
    };
    m_inputController.addMonitor(std::make_unique<EventMonitor>(
        QEvent::MouseButtonPress, isWatched, nullptr, [this](QEvent *) {
            const QWidget *holder = QApplication::activeWindow();
            if (holder && !isRunPanel(holder)) {
                giveRunTheKeyboard();
            }
        }));
}

// Escape that another window of ours keeps (an alert, a dialog, a text field) reaches the
// desktop-wide monitor too, perhaps once that window has closed on it and the keyboard is back
// with the launcher or the run: that echo must not close the run.
void OverlayWindowController::installKeptEscapeMonitor()
{
    const auto isWatched = [this](const QWidget *window) {
        return !isRunPanel(window) && keepsEscape(window);
    };
    m_inputController.addMonitor(
        std::make_unique<EventMonitor>(QEvent::KeyPress, isWatched, nullptr, [this](QEvent *event) {
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                m_lastEscape.start();
            }
        }));
}

QWidget *OverlayWindowController::runCanvas() const
{
    return m_drawingCanvas  ? static_cast<QWidget *>(m_drawingCanvas)
           : m_editorCanvas ? static_cast<QWidget *>(m_editorCanvas)
                            : m_loupe;
}

void OverlayWindowController::giveRunTheKeyboard()
{
    QWidget *canvas = runCanvas();
    if (!m_overlayPanel || !canvas || m_isClosing) {
        return;
    }
    canvas->setFocus();
    activateOwnWindow(m_overlayPanel.get());
}

void OverlayWindowController::holdEscapeForTheRun()
{
    m_holdsEscapeForTheRun = true;
    followKeyboardWithEscapeHold();
}

void OverlayWindowController::followKeyboardWithEscapeHold()
{
    if (!m_holdsEscapeForTheRun || m_isClosing || QGuiApplication::focusWindow()) {
        m_escapeHold.reset();
        return;
    }
    if (!m_escapeHold) {
        m_escapeHold = holdEscapeKey();
        if (m_escapeHold) {
            connect(m_escapeHold.get(),
                    &KeyHold::pressed,
                    this,
                    &OverlayWindowController::onEscapeAnywhere);
        }
    }
}

} // namespace zentrel
