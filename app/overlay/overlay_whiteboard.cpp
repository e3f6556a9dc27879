// The whiteboard and Zevizu & Vozurir in a feature run: one editor model and its canvas over the
// screen, the toolbar and property panels, the command keys and the settings they follow.
#include "capture/capture_geometry.h"
#include "common/application_paths.h"
#include "common/pool_parallel_work.h"
#include "common/qt_conversions.h"
#include "overlay/overlay_window_controller.h"
#include "panels/event_monitor.h"
#include "platform/platform_services.h"
#include "shell/app_preferences.h"
#include "whiteboard/canvas/key_character.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/canvas/whiteboard_key_commands.h"
#include "whiteboard/editor/commands/whiteboard_clipboard.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"
#include "whiteboard/editor/thread_save_executor.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/properties/whiteboard_property_panel.h"
#include "whiteboard/toolbar/whiteboard_toolbar_view.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QTimer>

namespace zentrel {
namespace {

WhiteboardTool whiteboardTool(PresentationTool tool)
{
    switch (tool) {
    case PresentationTool::pan:
        return WhiteboardTool::pan;
    case PresentationTool::pen:
        return WhiteboardTool::freedraw;
    case PresentationTool::arrow:
        return WhiteboardTool::arrow;
    case PresentationTool::rectangle:
        return WhiteboardTool::rectangle;
    case PresentationTool::number:
        return WhiteboardTool::marker;
    case PresentationTool::eraser:
        return WhiteboardTool::eraser;
    }
    return WhiteboardTool::selection;
}

// The key with Ctrl that the whiteboard's command keys take, if this event is one.
std::optional<std::pair<char, bool>> commandKey(const QEvent *event)
{
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (!key->modifiers().testFlag(Qt::ControlModifier)) {
        return std::nullopt;
    }
    const std::optional<char> character = unshiftedKeyCharacter(key->key());
    const bool shift = key->modifiers().testFlag(Qt::ShiftModifier);
    if (!character || !overlayKeyCommand(*character, shift)) {
        return std::nullopt;
    }
    return std::pair{*character, shift};
}

} // namespace

WhiteboardEditorServices OverlayWindowController::editorServices()
{
    m_saveExecutor = std::make_unique<ThreadSaveExecutor>(this);
    return {&m_clock,
            &m_scheduler,
            systemUuidRandomSource(),
            m_saveExecutor.get(),
            &m_unsavedWhiteboard};
}

void OverlayWindowController::showWhiteboard()
{
    m_exportModeName = "Whiteboard";
    installEscapeMonitor();
    // Black strokes to start with; the drawing colour follows once a setting changes.
    WhiteboardLibraryStore store(applicationDataFolder(), m_clock, systemUuidRandomSource());
    // Texts migrated from the older document are sized in the font they are drawn in.
    store.setTextMeasure(
        [measure = whiteboardTextMeasurer()](const std::string &text, double size) {
            return measure(text, WhiteboardFontFamily::handDrawn, size);
        });
    // A large library's elements are read side by side, so the board opens sooner.
    store.setParallelWork(runOnThreadPool);
    // Saves run on another thread, the last one as the run closes; the user hears on this
    // thread, also when the run is gone by then.
    store.setConflictHandler([onError = m_callbacks.onError](const std::filesystem::path &keptAt) {
        QMetaObject::invokeMethod(
            qApp,
            [onError, keptAt] {
                if (onError) {
                    onError(libraryKeptAsideMessage(keptAt));
                }
            },
            Qt::AutoConnection);
    });
    auto model =
        std::make_unique<WhiteboardEditorModel>(std::move(store),
                                                Color{0, 0, 0, 1},
                                                static_cast<int>(m_preferences.roughnessLevel()),
                                                m_preferences.lineWidth(),
                                                editorServices());
    showEditor(std::move(model), QStringLiteral("Whiteboard"));
}

void OverlayWindowController::showFreeze()
{
    m_exportModeName = "Freeze";
    installEscapeMonitor();
    if (const std::optional<QImage> screenImage = captureScreenOrClose()) {
        presentFreeze(*screenImage);
    }
}

void OverlayWindowController::presentFreeze(const QImage &screenImage)
{
    m_editorIsFreeze = true;
    // The screen at its exact size, so the picture is shown pixel for pixel also where the
    // scale does not divide the screen's pixels.
    const SizeF sceneSize =
        screenSizeInPoints(SizeF{double(m_screen.width()), double(m_screen.height())},
                           screenImage.width(),
                           screenImage.height(),
                           screenImage.devicePixelRatio());
    auto model = makeFreezeEditorModel(screenImage,
                                       m_preferences.drawingColor(),
                                       static_cast<int>(m_preferences.roughnessLevel()),
                                       sceneSize,
                                       m_preferences.lineWidth(),
                                       editorServices());
    showEditor(std::move(model), QStringLiteral("Zevizu & Vozurir"));
}

void OverlayWindowController::showEditor(std::unique_ptr<WhiteboardEditorModel> model,
                                         const QString &title)
{
    m_editorModel = std::move(model);
    m_editorModel->setOnError([this](const std::string &message) { reportError(message); });
    auto *canvas = new WhiteboardCanvasView(*m_editorModel);
    canvas->resize(m_screen.size());
    if (const std::optional<QRect> pixels = monitorPixels(m_screen)) {
        canvas->setPicturePixels(pixels->size());
    }
    canvas->setRoughnessLevel(m_preferences.roughnessLevel());
    canvas->setRoughPathGenerator(canvas->makeRoughPathGenerator());
    canvas->onCopyPNG = [this] {
        copyEditorImage();
    };
    canvas->onExportPNG = [this] {
        saveEditorImage();
    };
    m_editorCanvas = canvas;
    m_overlayPanel = m_windowFactory.makeOpaqueOverlayPanel(canvas);
    m_overlayPanel->setWindowTitle(title);
    m_overlayPanel->onEscape = [this] {
        close();
    };
    m_overlayPanel->show();
    m_overlayPanel->activateWindow();
    showEditorPanels();
    installCommandMonitor();
    m_subscriptions.push_back(
        m_preferences.changed.connect([this](AppPreferences::Setting setting) {
            // After the assignment that announced it has finished storing the value.
            QTimer::singleShot(0, this, [this, setting] { applyEditorPreference(setting); });
        }));
    focusCanvas();
}

// Only the drawing setting that changed reaches the editor: any other setting leaves the next
// stroke's colour and every element's wobble alone. The model ignores a value it already has
// and announces a new default to the property panel itself.
void OverlayWindowController::applyEditorPreference(AppPreferences::Setting setting)
{
    if (!m_editorModel) {
        return;
    }
    using Setting = AppPreferences::Setting;
    if (setting == Setting::drawingColor) {
        m_editorModel->setDrawingColor(m_preferences.drawingColor());
    } else if (setting == Setting::lineWidth) {
        m_editorModel->setLineWidth(m_preferences.lineWidth());
    } else if (setting == Setting::roughnessLevel && m_editorCanvas
               && m_editorCanvas->roughnessLevel() != m_preferences.roughnessLevel()) {
        m_editorModel->setRoughness(static_cast<int>(m_preferences.roughnessLevel()));
        m_editorCanvas->setRoughnessLevel(m_preferences.roughnessLevel());
        m_editorCanvas->setRoughPathGenerator(m_editorCanvas->makeRoughPathGenerator());
        m_editorCanvas->update();
    }
}

void OverlayWindowController::showEditorPanels()
{
    auto *toolbar = new WhiteboardToolbarView(
        *m_editorModel,
        m_editorIsFreeze,
        std::vector<WhiteboardTool>(whiteboardToolbarTools.begin(), whiteboardToolbarTools.end()));
    // The buttons zoom about the middle of the canvas; the keys zoom about the pointer.
    toolbar->onZoomOut = [this] {
        zoomEditorAboutCentre(whiteboardZoomOutStep);
    };
    toolbar->onZoomIn = [this] {
        zoomEditorAboutCentre(whiteboardZoomInStep);
    };
    toolbar->onCopy = [this] {
        copyEditorImage();
    };
    toolbar->onExportPNG = [this] {
        saveEditorImage();
    };
    toolbar->onExportSVG = [this] {
        exportSVG();
    };
    toolbar->onImportExcalidraw = [this] {
        importExcalidraw();
    };
    toolbar->onExportExcalidraw = [this] {
        exportExcalidraw();
    };
    toolbar->onAddToSession = [this] {
        addCanvasFrameToSession();
    };
    toolbar->onClose = [this] {
        close();
    };
    toolbar->onMenuOpens = [this] {
        commitTextBeingTyped();
    };
    showToolbarPanel(toolbar);

    auto *properties = new WhiteboardPropertyPanel(*m_editorModel, m_preferences);
    m_propertyPanel =
        m_windowFactory.makePropertyPanel(properties, m_overlayPanel.get(), toolbarFrame());
    m_propertyPanel->onEscape = [this] {
        close();
    };
    followSelectionWithPropertyPanel();
}

// The property panel shows while something is selected.
void OverlayWindowController::followSelectionWithPropertyPanel()
{
    m_editorSubscription = m_editorModel->changed.connect([this](WhiteboardEditorChange change) {
        if (!touches(change, WhiteboardEditorChange::selection) || !m_propertyPanel) {
            return;
        }
        if (m_editorModel->selection().empty()) {
            m_propertyPanel->hide();
        } else if (!m_propertyPanel->isVisible()) {
            m_propertyPanel->show();
            m_propertyPanel->raise();
        }
    });
}

void OverlayWindowController::installCommandMonitor()
{
    const auto isOurPanel = [this](const QWidget *window) {
        return window == m_overlayPanel.get() || window == m_toolbarPanel.get()
               || window == m_propertyPanel.get() || window == m_settingsPanel.get();
    };
    auto monitor = std::make_unique<EventMonitor>(
        QEvent::KeyPress,
        isOurPanel,
        [](QEvent *event) { return commandKey(event).has_value(); },
        [this](QEvent *event) {
            if (const auto key = commandKey(event)) {
                QTimer::singleShot(
                    0, this, [this, key] { handleCommandKey(key->first, key->second); });
            }
        });
    m_commandMonitor = monitor.get();
    m_inputController.addMonitor(std::move(monitor));
}

void OverlayWindowController::suspendCommandMonitor()
{
    if (m_commandMonitor) {
        m_inputController.removeMonitor(m_commandMonitor);
        m_commandMonitor = nullptr;
    }
}

void OverlayWindowController::resumeCommandMonitor()
{
    if (m_isClosing || !m_editorModel) {
        return;
    }
    if (!m_commandMonitor) {
        installCommandMonitor();
    }
    focusCanvas();
}

void OverlayWindowController::handleCommandKey(char key, bool shift)
{
    // Keys typed into an open text edit are taken from it and do nothing.
    if (!m_editorModel || !m_editorCanvas || m_editorCanvas->textEditor()) {
        return;
    }
    switch (*overlayKeyCommand(key, shift)) {
    case OverlayKeyCommand::zoomIn:
        zoom(*m_editorModel, whiteboardZoomInStep, m_editorCanvas->zoomAnchor());
        break;
    case OverlayKeyCommand::zoomOut:
        zoom(*m_editorModel, whiteboardZoomOutStep, m_editorCanvas->zoomAnchor());
        break;
    case OverlayKeyCommand::resetView:
        m_editorModel->resetView();
        break;
    case OverlayKeyCommand::undo:
        m_editorModel->undo();
        break;
    case OverlayKeyCommand::redo:
        m_editorModel->redo();
        break;
    case OverlayKeyCommand::copyImage:
        copyEditorImage();
        break;
    case OverlayKeyCommand::saveImage:
        saveEditorImage();
        break;
    }
}

void OverlayWindowController::zoomEditorAboutCentre(double factor)
{
    if (m_editorModel && m_editorCanvas) {
        zoom(*m_editorModel,
             factor,
             {m_editorCanvas->width() / 2.0, m_editorCanvas->height() / 2.0});
    }
}

void OverlayWindowController::performEditorAction(const PresentationAction &action)
{
    if (!m_editorModel) {
        return;
    }
    using Kind = PresentationAction::Kind;
    switch (action.kind) {
    case Kind::selectTool:
        m_editorModel->setSelectedTool(whiteboardTool(action.tool));
        break;
    case Kind::undo:
        m_editorModel->undo();
        break;
    case Kind::redo:
        m_editorModel->redo();
        break;
    case Kind::clear:
        selectAll(*m_editorModel);
        deleteSelection(*m_editorModel);
        break;
    case Kind::copyCurrentCanvas:
        copyEditorImage();
        break;
    case Kind::saveCurrentCanvas:
        saveEditorImage();
        break;
    case Kind::resetViewport:
        m_editorModel->resetView();
        break;
    case Kind::selectColor:
    case Kind::toggleTimerPause:
    case Kind::addTimerMinute:
        break;
    }
}

} // namespace zentrel
