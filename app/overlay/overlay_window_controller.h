#pragma once

#include "common/signal.h"
#include "overlay/overlay_controller.h"
#include "overlay/overlay_input_controller.h"
#include "overlay/overlay_settings_model.h"
#include "overlay/overlay_window_factory.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zentrel {

class AppPreferences;
class DrawingCanvasView;
class DrawingToolbarModel;
class ScreenStillCapture;

// Hosts one feature run on one screen: its panels, views, models and monitors. It closes
// exactly once (Escape, its close button, a stop request, a change of the screens) and then
// reports its exit.
class OverlayWindowController final : public QObject, public OverlayController
{
    Q_OBJECT

public:
    OverlayWindowController(const QRect &screenGeometry,
                            AppPreferences &preferences,
                            OverlayCallbacks callbacks);
    ~OverlayWindowController() override;

    void start(AppMode mode) override;
    void performAction(const PresentationAction &action) override;
    void close() override;

private:
    void showDrawing();
    void showDrawToolbar();
    void showPendingFeature(AppMode mode);
    void showToolbarPanel(QWidget *toolbar);
    void toggleSettingsPanel(const std::function<QWidget *()> &makeContent);
    void installEscapeMonitor();
    void handleEscapeKey();
    void applyDrawingPreferences();
    void selectTool(PresentationTool tool);
    void undoDrawing();
    void redoDrawing();
    void clearDrawing();
    void focusCanvas();
    // Hides the panel and deletes it after the current event, which may be one of its own.
    void retirePanel(std::unique_ptr<OverlayPanel> &panel);

    // Exports of the live drawing: a fresh picture of the screen with the drawing over it.
    void copyDrawing();
    void saveDrawing();
    void renderDrawingOverCapture(std::function<void(std::optional<QByteArray>)> done);
    // One export at a time: refused while a capture runs; a picture that cannot be made is
    // reported, not dropped.
    void exportDrawing(std::function<void(const QByteArray &)> use);
    void reportError(const std::string &message);

    QRect m_screen;
    AppPreferences &m_preferences;
    OverlayCallbacks m_callbacks;
    OverlayWindowFactory m_windowFactory;
    OverlayInputController m_inputController;
    OverlaySettingsModel m_settingsModel;
    std::unique_ptr<OverlayPanel> m_overlayPanel;
    std::unique_ptr<OverlayPanel> m_toolbarPanel;
    std::unique_ptr<OverlayPanel> m_settingsPanel;
    QPointer<DrawingCanvasView> m_drawingCanvas;
    std::unique_ptr<DrawingToolbarModel> m_toolbarModel;
    // The run's one capture in flight; copy and save wait their turn.
    std::unique_ptr<ScreenStillCapture> m_captureTask;
    std::vector<QPointer<QWidget>> m_retiredPanels;
    std::vector<ScopedConnection> m_subscriptions;
    bool m_isClosing = false;
};

class OverlayWindowControllerFactory final : public OverlayFactory
{
public:
    // The preferences belong to the coordinator, which is built with this factory; they are
    // handed in once it exists, before any feature can start.
    void setPreferences(AppPreferences &preferences) { m_preferences = &preferences; }

    std::unique_ptr<OverlayController> makeOverlay(std::size_t screen,
                                                   OverlayCallbacks callbacks) override;

private:
    AppPreferences *m_preferences = nullptr;
};

} // namespace zentrel
