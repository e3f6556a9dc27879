#pragma once

#include "common/clock.h"
#include "common/qt_shell_ports.h"
#include "common/signal.h"
#include "overlay/overlay_settings_model.h"
#include "panels/overlay_input_controller.h"
#include "panels/overlay_window_factory.h"
#include "sessions/session_store.h"
#include "shell/app_preferences.h"
#include "shell/overlay_controller.h"
#include "whiteboard/editor/unsaved_whiteboard_library.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWindow>

#include <tl/expected.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zentrel {

class AppPreferences;
class BreakTimerModel;
class BreakTimerSession;
struct CaptureError;
class CursorHaloView;
class DrawingCanvasView;
class DrawingToolbarModel;
class GlobalInputMonitor;
class KeyHold;
class ScreenCapture;
class ScreenCaptureStream;
class ScreenLayoutWatch;
class LoupeView;
class SpotlightView;
class ThreadSaveExecutor;
class WhiteboardCanvasView;
class WhiteboardEditorModel;
struct WhiteboardEditorServices;
class EventMonitor;

// Hosts one feature run on one screen: its panels, views, models and monitors. It closes
// exactly once (Escape, its close button, a stop request, a change of the screens) and then
// reports its exit.
class OverlayWindowController final : public QObject, public OverlayController
{
    Q_OBJECT

public:
    // `unsavedWhiteboard` outlives the controller: what one whiteboard run could not write is
    // the next run's library.
    OverlayWindowController(const QRect &screenGeometry,
                            AppPreferences &preferences,
                            SessionStore sessionStore,
                            UnsavedWhiteboardLibrary &unsavedWhiteboard,
                            OverlayCallbacks callbacks);
    ~OverlayWindowController() override;

    void start(AppMode mode) override;
    void performAction(const PresentationAction &action) override;
    void close() override;

private:
    void showDrawing();
    void showDrawToolbar();
    void showZooming();
    // A still of the screen taken before any panel of ours is up, so it shows the screen as the
    // user sees it; a failure is reported and closes the run.
    std::optional<QImage> captureScreenOrClose();
    void presentLoupe(const QImage &screenImage);
    void startLoupeStream();
    void followPointerWithLoupe(QPointF location);
    QRect loupeSourceRegion() const;
    ScreenCapture &screenCapture();
    // The run's panels, which every capture leaves out.
    std::vector<WId> ownWindows() const;
    void showSpotlight();
    void showCursorHalo();
    void showBreakTimer();
    // The running countdown, if this run is the break timer's.
    BreakTimerModel *breakTimer() const;
    void toggleTimerPause();
    void showBasicToolbar(const QString &settingsLabel,
                          const QString &closeLabel,
                          const std::function<QWidget *()> &makeSettings);
    void showCursorHaloToolbar();
    // The full-screen panel of an aid that lets every click through to the programs below.
    void showClickThroughOverlay(QWidget *content, const QString &title);
    // The pointer, in screen coordinates, is over our toolbar or settings panel.
    bool isOverFloatingPanel(QPointF location) const;
    void showToolbarPanel(QWidget *toolbar);
    // Where the run's toolbar is, which the other floating panels keep clear of.
    std::optional<QRect> toolbarFrame() const;
    void toggleSettingsPanel(const std::function<QWidget *()> &makeContent);
    void installEscapeMonitor();
    // Escape anywhere on the desktop, for the run unless a menu, dialog or alert of ours is up.
    void onEscapeAnywhere();
    // For a run whose panels never take the keyboard: Escape becomes the run's alone, so the
    // program in use never sees the Escape that ends it, while every other key still reaches it.
    void holdEscapeForTheRun();
    // Escape is held while the keyboard is with another program; a window of ours that has it
    // (a dialog, a text field) gets its Escape as usual.
    void followKeyboardWithEscapeHold();
    void installKeptEscapeMonitor();
    void installClickMonitor();
    bool isRunPanel(const QWidget *window) const;
    // An alert or dialog of ours is up and keeps the keyboard until answered or clicked away.
    static bool isAskingTheUser();
    QWidget *runCanvas() const;
    void giveRunTheKeyboard();
    // Made when first needed; none where the desktop offers no such monitor.
    GlobalInputMonitor *globalInput();
    void requestEscape();
    void handleEscapeKey();
    void applyDrawingPreferences();
    void selectTool(PresentationTool tool);
    void undoDrawing();
    void redoDrawing();
    void clearDrawing();
    // The keyboard to the run's canvas (or loupe), as when it opened.
    void focusCanvas();
    void onFocusWindowChanged(QWindow *focus);
    // Hides the panel and deletes it after the current event, which may be one of its own.
    void retirePanel(std::unique_ptr<OverlayPanel> &panel);

    // Exports of the live drawing: a fresh picture of the screen with the drawing over it.
    void copyDrawing();
    void saveDrawing();
    // The drawing over a fresh picture of the screen; nothing when the run is closing or the
    // canvas cannot render it.
    tl::expected<std::optional<QByteArray>, CaptureError> renderDrawingOverCapture();
    // One export at a time: refused while one runs; a picture that cannot be made is reported,
    // not dropped.
    void exportDrawing(const std::function<void(const QByteArray &)> &use);
    // "Save to Session": the drawing over a fresh picture of the screen, as a frame of the
    // active session.
    void addDrawingToSession();
    void reportError(const std::string &message);
    // Whether the clipboard now holds the picture, alone.
    [[nodiscard]] static bool copyPNGToClipboard(const QByteArray &png);
    // Runs a save dialog with the editor's command keys paused (they come back on every path)
    // and writes `data` atomically where the user chose; a failed write is reported after
    // `failurePrefix`.
    void presentSavePanel(const QByteArray &data,
                          const QString &title,
                          const QString &filter,
                          std::string_view extension,
                          const std::string &failurePrefix);
    // Writes the file the user chose; returns the whole failure text when it could not.
    using SavePanelWriter = std::function<std::optional<std::string>(const QString &path)>;
    // As above, for a file written as it is put together rather than held whole first.
    void presentSavePanel(const SavePanelWriter &write,
                          const QString &title,
                          const QString &filter,
                          std::string_view extension);

    // The whiteboard over the saved library, and Zevizu & Vozurir over a still of the screen:
    // one editor model and canvas, with their panels and command keys (overlay_whiteboard.cpp).
    void showWhiteboard();
    void showFreeze();
    void presentFreeze(const QImage &screenImage);
    WhiteboardEditorServices editorServices();
    void showEditor(std::unique_ptr<WhiteboardEditorModel> model, const QString &title);
    void showEditorPanels();
    void followSelectionWithPropertyPanel();
    void applyEditorPreference(AppPreferences::Setting setting);
    void installCommandMonitor();
    void handleCommandKey(char key, bool shift);
    void suspendCommandMonitor();
    void resumeCommandMonitor();
    // Zoom about the middle of the canvas, as the toolbar's buttons do.
    void zoomEditorAboutCentre(double factor);
    void performEditorAction(const PresentationAction &action);

    // Exports of the whiteboard and Zevizu & Vozurir (overlay_whiteboard_export.cpp).
    void copyEditorImage();
    void saveEditorImage();
    void exportSVG();
    void exportExcalidraw();
    void importExcalidraw();
    void importExcalidrawFile(const QString &path);
    void addCanvasFrameToSession();
    // The text for a canvas that could not be rendered, by feature.
    void commitTextBeingTyped();
    std::string editorRenderFailedText() const;

    QRect m_screen;
    AppPreferences &m_preferences;
    SessionStore m_sessionStore;
    UnsavedWhiteboardLibrary &m_unsavedWhiteboard;
    OverlayCallbacks m_callbacks;
    OverlayWindowFactory m_windowFactory;
    std::unique_ptr<ScreenLayoutWatch> m_screenLayout;
    OverlayInputController m_inputController;
    OverlaySettingsModel m_settingsModel;
    std::unique_ptr<OverlayPanel> m_overlayPanel;
    std::unique_ptr<OverlayPanel> m_toolbarPanel;
    std::unique_ptr<OverlayPanel> m_settingsPanel;
    QPointer<DrawingCanvasView> m_drawingCanvas;
    std::unique_ptr<DrawingToolbarModel> m_toolbarModel;
    QPointer<LoupeView> m_loupe;
    QPointer<SpotlightView> m_spotlight;
    QPointer<CursorHaloView> m_cursorHalo;
    std::unique_ptr<BreakTimerSession> m_breakTimerSession;
    std::unique_ptr<GlobalInputMonitor> m_globalInput;
    bool m_holdsEscapeForTheRun = false;
    std::unique_ptr<KeyHold> m_escapeHold;
    // Made when first needed: while it lives, windows keep their contents for capture.
    std::unique_ptr<ScreenCapture> m_screenCapture;
    std::unique_ptr<ScreenCaptureStream> m_loupeStream;
    // A copy or save is under way (its save dialog may be open); others wait their turn.
    bool m_isExporting = false;
    QElapsedTimer m_lastEscape;
    // The feature word of saved file names.
    std::string m_exportModeName = "Freeze";
    std::vector<QPointer<QWidget>> m_retiredPanels;
    // Tells when the window of ours that last took the keyboard is hidden.
    QMetaObject::Connection m_keyboardHolderHidden;
    // Where no window manager hands the keyboard back when the run ends: who had it before.
    std::optional<WId> m_keyboardLender;
    std::vector<ScopedConnection> m_subscriptions;
    bool m_isClosing = false;

    // The editor of the whiteboard or of Zevizu & Vozurir. Declared after what it uses, so it
    // goes first; its canvas, owned by the overlay panel, is deleted before it.
    SystemClock m_clock;
    QtScheduler m_scheduler{this};
    std::unique_ptr<ThreadSaveExecutor> m_saveExecutor;
    std::unique_ptr<WhiteboardEditorModel> m_editorModel;
    QPointer<WhiteboardCanvasView> m_editorCanvas;
    bool m_editorIsFreeze = false;
    std::unique_ptr<OverlayPanel> m_propertyPanel;
    const EventMonitor *m_commandMonitor = nullptr;
    ScopedConnection m_editorSubscription;
};

class OverlayWindowControllerFactory final : public OverlayFactory
{
public:
    // The preferences belong to the coordinator, which is built with this factory; they are
    // handed in once it exists, before any feature can start.
    void setPreferences(AppPreferences &preferences) { m_preferences = &preferences; }

    // Each run gets its own copy; the copies meet only on disk.
    void setSessionStore(const SessionStore &store) { m_sessionStore = store; }

    // What the last whiteboard run could not write, kept for the next run and for quitting.
    UnsavedWhiteboardLibrary &unsavedWhiteboard() { return m_unsavedWhiteboard; }

    std::unique_ptr<OverlayController> makeOverlay(std::size_t screen,
                                                   OverlayCallbacks callbacks) override;

private:
    AppPreferences *m_preferences = nullptr;
    std::optional<SessionStore> m_sessionStore;
    UnsavedWhiteboardLibrary m_unsavedWhiteboard;
};

} // namespace zentrel
