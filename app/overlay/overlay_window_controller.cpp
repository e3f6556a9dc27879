#include "overlay/overlay_window_controller.h"

#include "capture/break_timer/break_timer_clock.h"
#include "capture/break_timer/break_timer_session.h"
#include "capture/break_timer_model.h"
#include "capture/cursor_halo/cursor_halo_view.h"
#include "capture/loupe/loupe_view.h"
#include "capture/spotlight/spotlight_view.h"
#include "common/escape_key.h"
#include "drawing/drawing_canvas_view.h"
#include "drawing/drawing_toolbar_model.h"
#include "panels/event_monitor.h"
#include "platform/global_input_monitor.h"
#include "platform/key_hold.h"
#include "platform/platform_services.h"
#include "platform/screen_capture.h"
#include "platform/screen_layout_watch.h"
#include "platform/sound_player.h"
#include "shell/app_preferences.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/editor/thread_save_executor.h"
#include "whiteboard/editor/whiteboard_editor_model.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QThreadPool>
#include <QTimer>
#include <QWindow>

#include <malloc.h>

namespace zentrel {

namespace {

// Far shorter than two presses of a key, far longer than one press takes to reach both monitors.
constexpr qint64 escapeEchoMs = 150;

// The user's thread never waits for the pool: the elements of a board closed before it showed
// are still prepared there, which takes seconds for texts of rare characters.
void trimOncePoolIsIdle()
{
    constexpr int retryMs = 100;
    if (!QThreadPool::globalInstance()->waitForDone(0)) {
        QTimer::singleShot(retryMs, qApp, trimOncePoolIsIdle);
        return;
    }
    malloc_trim(0);
}

} // namespace

OverlayWindowController::OverlayWindowController(const QRect &screenGeometry,
                                                 AppPreferences &preferences,
                                                 SessionStore sessionStore,
                                                 UnsavedWhiteboardLibrary &unsavedWhiteboard,
                                                 OverlayCallbacks callbacks)
    : m_screen(screenGeometry)
    , m_preferences(preferences)
    , m_sessionStore(std::move(sessionStore))
    , m_unsavedWhiteboard(unsavedWhiteboard)
    , m_callbacks(std::move(callbacks))
    , m_windowFactory(screenGeometry)
    , m_screenLayout(makeScreenLayoutWatch())
    , m_keyboardLender(keyboardHolderWithoutWindowManager())
{
    // Panels laid out for the old screens would now cover the wrong area, or none at all.
    connect(m_screenLayout.get(), &ScreenLayoutWatch::layoutChanged, this, [this] { close(); });
    connect(qApp,
            &QGuiApplication::focusWindowChanged,
            this,
            &OverlayWindowController::onFocusWindowChanged);
}

OverlayWindowController::~OverlayWindowController()
{
    // Panels closed earlier may still wait for their deferred deletion, and they refer to the
    // models that go with this controller.
    for (const QPointer<QWidget> &panel : m_retiredPanels) {
        delete panel;
    }
    // The run's images, caches and copies of the board go with this controller and its members,
    // but glibc keeps freed memory for the process until asked to give it back: tens of MB
    // stayed behind each run, hundreds after a large board. Asked once the members are gone and
    // the pool's idle threads have ended, which takes their font caches and arenas' leftovers.
    QTimer::singleShot(0, qApp, trimOncePoolIsIdle);
}

void OverlayWindowController::start(AppMode mode)
{
    if (mode == AppMode::drawing) {
        showDrawing();
    } else if (mode == AppMode::zooming) {
        showZooming();
    } else if (mode == AppMode::spotlight) {
        showSpotlight();
    } else if (mode == AppMode::cursorHalo) {
        showCursorHalo();
    } else if (mode == AppMode::breakTimer) {
        showBreakTimer();
    } else if (mode == AppMode::freeze) {
        showFreeze();
    } else if (mode == AppMode::whiteboard) {
        showWhiteboard();
    }
}

void OverlayWindowController::focusCanvas()
{
    // An alert or dialog that is up keeps the keyboard: with no window manager to restack, the
    // run would take it from under the alert. The run gets it back when that window goes, or
    // when the user clicks the run.
    if (isAskingTheUser()) {
        if (QWidget *canvas = runCanvas()) {
            canvas->setFocus();
        }
        return;
    }
    giveRunTheKeyboard();
}

// When a window of ours that had the keyboard goes away (an alert answered, a dialog or colour
// picker closed), the X server and window managers hand the keyboard to the root or to another
// program's window, and Qt may not even say it left: it comes back to the run instead. A
// keyboard the user took elsewhere, from a window still open, is left there.
void OverlayWindowController::onFocusWindowChanged(QWindow *focus)
{
    followKeyboardWithEscapeHold();
    if (!focus) {
        return;
    }
    disconnect(m_keyboardHolderHidden);
    m_keyboardHolderHidden = connect(focus, &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible) {
            // After the hide has run its course, so the keyboard is where it is going to be.
            QTimer::singleShot(0, this, [this] {
                // A dialog or menu opening in its place is about to take the keyboard.
                const QWindow *holder = QGuiApplication::focusWindow();
                const bool isAsking = isAskingTheUser() || QApplication::activePopupWidget();
                if (!isAsking && (!holder || !holder->isVisible())) {
                    focusCanvas();
                }
            });
        }
    });
}

void OverlayWindowController::showToolbarPanel(QWidget *toolbar)
{
    m_toolbarPanel = m_windowFactory.makeToolbarPanel(toolbar, m_overlayPanel.get());
    m_toolbarPanel->onEscape = [this] {
        close();
    };
    m_toolbarPanel->show();
    m_toolbarPanel->raise();
    focusCanvas();
}

std::optional<QRect> OverlayWindowController::toolbarFrame() const
{
    if (!m_toolbarPanel) {
        return std::nullopt;
    }
    return m_toolbarPanel->geometry();
}

// The session opens its own panels, monitors and settings; the controller opens none for it.
void OverlayWindowController::showBreakTimer()
{
    m_breakTimerSession = std::make_unique<BreakTimerSession>(
        m_screen, m_preferences, makeSoundPlayer(), makeBreakTimerClock(), [this] { close(); });
    m_breakTimerSession->start();
}

void OverlayWindowController::toggleSettingsPanel(const std::function<QWidget *()> &makeContent)
{
    if (m_settingsModel.isSettingsVisible()) {
        retirePanel(m_settingsPanel);
        m_settingsModel.setSettingsVisible(false);
    } else {
        m_settingsPanel =
            m_windowFactory.makeSettingsPanel(makeContent(), m_overlayPanel.get(), toolbarFrame());
        m_settingsPanel->onEscape = [this, makeContent] {
            toggleSettingsPanel(makeContent);
        };
        m_settingsPanel->show();
        m_settingsPanel->raise();
        m_settingsModel.setSettingsVisible(true);
    }
    // The loupe must not magnify the panel that just opened.
    if (m_loupeStream) {
        m_loupeStream->setOwnWindows(ownWindows());
    }
}

ScreenCapture &OverlayWindowController::screenCapture()
{
    if (!m_screenCapture) {
        m_screenCapture = makeScreenCapture();
    }
    return *m_screenCapture;
}

// Every window of ours: the run's panels, and any settings, sessions or dialog window left open
// beside them. What we capture never shows our own windows. Hidden ones count too: one hidden
// just now (the launcher, as a run starts) shows until the window manager takes its frame away.
std::vector<WId> OverlayWindowController::ownWindows() const
{
    std::vector<WId> windows;
    for (const QWindow *window : QGuiApplication::topLevelWindows()) {
        if (window->handle()) {
            windows.push_back(window->winId());
        }
    }
    return windows;
}

void OverlayWindowController::retirePanel(std::unique_ptr<OverlayPanel> &panel)
{
    if (panel) {
        panel->hide();
        m_retiredPanels.emplace_back(panel.get());
        panel.release()->deleteLater();
    }
}

void OverlayWindowController::installEscapeMonitor()
{
    // An open pop-up menu takes the keys of all our windows, so its Escape arrives at the menu.
    const auto isWatched = [this](const QWidget *window) {
        return isRunPanel(window) || window->windowType() == Qt::Popup;
    };
    const auto isRunEscape = [](QEvent *event) {
        return static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
               && !QApplication::activePopupWidget();
    };
    m_inputController.addMonitor(std::make_unique<EventMonitor>(
        QEvent::KeyPress, isWatched, isRunEscape, [this, isRunEscape](QEvent *event) {
            if (isRunEscape(event)) {
                requestEscape();
            } else if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                // The menu closes itself; the desktop-wide monitor's echo of this press must not
                // close the run as well.
                m_lastEscape.start();
            }
        }));
    installKeptEscapeMonitor();
    installClickMonitor();
    // Click-through panels never hold the focus, and the user may have clicked elsewhere:
    // Escape anywhere ends the run too, unless it is for one of our dialogs, alerts or menus.
    // The launcher that stands in for the tray icon keeps the keyboard after its menu starts a
    // run, and has no use for Escape itself.
    if (GlobalInputMonitor *monitor = globalInput()) {
        connect(monitor,
                &GlobalInputMonitor::escapePressed,
                this,
                &OverlayWindowController::onEscapeAnywhere);
    }
}

void OverlayWindowController::onEscapeAnywhere()
{
    const QWidget *keyboardHolder = QApplication::activeWindow();
    const bool isForOtherWindowOfOurs =
        keyboardHolder && !isRunPanel(keyboardHolder) && keepsEscape(keyboardHolder);
    if (!m_isExporting && !QApplication::activeModalWidget() && !QApplication::activePopupWidget()
        && !isForOtherWindowOfOurs) {
        requestEscape();
    }
}

// The desktop-wide monitor hears keys typed into our panels as well as the panels' own monitor
// does: one press reaches both and must count once, or it would end a text edit and then close.
void OverlayWindowController::requestEscape()
{
    if (m_lastEscape.isValid() && m_lastEscape.elapsed() < escapeEchoMs) {
        return;
    }
    m_lastEscape.start();
    QTimer::singleShot(0, this, &OverlayWindowController::handleEscapeKey);
}

GlobalInputMonitor *OverlayWindowController::globalInput()
{
    if (!m_globalInput) {
        m_globalInput = makeGlobalInputMonitor();
    }
    return m_globalInput.get();
}

// In the whiteboard and Zevizu & Vozurir the first Escape ends an open text edit or a running
// gesture (a drag is rolled back); a further Escape closes the run.
void OverlayWindowController::handleEscapeKey()
{
    if (m_editorCanvas && m_editorCanvas->textEditor()) {
        m_editorCanvas->cancelInteraction();
        return;
    }
    if (m_editorModel && m_editorModel->interaction().kind != WhiteboardInteraction::Kind::idle) {
        m_editorModel->cancelInteraction();
        m_editorModel->setInteraction({});
        return;
    }
    close();
}

void OverlayWindowController::performAction(const PresentationAction &action)
{
    if (m_editorModel) {
        performEditorAction(action);
        return;
    }
    using Kind = PresentationAction::Kind;
    switch (action.kind) {
    case Kind::selectTool:
        selectTool(action.tool);
        break;
    case Kind::undo:
        undoDrawing();
        break;
    case Kind::redo:
        redoDrawing();
        break;
    case Kind::clear:
        clearDrawing();
        break;
    case Kind::copyCurrentCanvas:
        copyDrawing();
        break;
    case Kind::saveCurrentCanvas:
        saveDrawing();
        break;
    case Kind::toggleTimerPause:
        toggleTimerPause();
        break;
    case Kind::addTimerMinute:
        if (BreakTimerModel *timer = breakTimer()) {
            timer->addMinute();
        }
        break;
    case Kind::selectColor:
    case Kind::resetViewport:
        break;
    }
}

BreakTimerModel *OverlayWindowController::breakTimer() const
{
    return m_breakTimerSession ? m_breakTimerSession->model() : nullptr;
}

void OverlayWindowController::toggleTimerPause()
{
    BreakTimerModel *timer = breakTimer();
    if (!timer) {
        return;
    }
    if (timer->state() == BreakTimerState::running) {
        timer->pause();
    } else if (timer->state() == BreakTimerState::paused) {
        timer->resume();
    }
}

void OverlayWindowController::reportError(const std::string &message)
{
    if (m_callbacks.onError) {
        m_callbacks.onError(message);
    }
}

void OverlayWindowController::close()
{
    if (m_isClosing) {
        return;
    }
    m_isClosing = true;
    m_inputController.removeAllMonitors();
    m_escapeHold.reset();
    if (m_loupeStream) {
        m_loupeStream->stop();
        m_loupeStream.reset();
    }
    if (m_drawingCanvas) {
        m_drawingCanvas->model().clear();
        m_drawingCanvas->historyChanged();
        m_drawingCanvas = nullptr;
    }
    // No ripple may start on a halo that is on its way out.
    m_globalInput.reset();
    m_spotlight = nullptr;
    m_cursorHalo = nullptr;
    // Kept, closed, until the controller goes: this close may run inside one of its handlers.
    if (m_breakTimerSession) {
        m_breakTimerSession->close();
    }
    m_commandMonitor = nullptr;
    if (m_editorModel) {
        commitTextBeingTyped();
        // Whatever the debounce still holds is written now; Zevizu & Vozurir never writes.
        m_editorModel->saveNow();
    }
    m_editorSubscription.disconnect();
    // Panels go after the current event: close may run inside one of their own handlers.
    for (auto *panel : {&m_toolbarPanel, &m_propertyPanel, &m_settingsPanel, &m_overlayPanel}) {
        retirePanel(*panel);
    }
    if (m_keyboardLender) {
        giveKeyboardBack(*m_keyboardLender);
    }
    m_settingsModel.setSettingsVisible(false);
    m_subscriptions.clear();
    m_callbacks.onExit();
}

std::unique_ptr<OverlayController>
OverlayWindowControllerFactory::makeOverlay(std::size_t screen, OverlayCallbacks callbacks)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const QRect geometry = screen < static_cast<std::size_t>(screens.size())
                               ? screens[static_cast<qsizetype>(screen)]->geometry()
                               : QRect();
    return std::make_unique<OverlayWindowController>(
        geometry, *m_preferences, *m_sessionStore, m_unsavedWhiteboard, std::move(callbacks));
}

} // namespace zentrel
