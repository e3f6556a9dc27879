// Live drawing in a feature run: the canvas, its toolbar and what acts on its history.
#include "common/qt_path.h"
#include "drawing/drawing_canvas_view.h"
#include "drawing/drawing_settings_view.h"
#include "drawing/drawing_toolbar_model.h"
#include "drawing/drawing_toolbar_view.h"
#include "overlay/overlay_window_controller.h"
#include "panels/panel_backdrop.h"
#include "platform/platform_services.h"
#include "platform/screen_capture.h"
#include "shell/app_preferences.h"

#include <QPropertyAnimation>
#include <QTimer>

namespace zentrel {
namespace {

constexpr int fadeInMs = 100;

DrawingTool drawingTool(PresentationTool tool)
{
    switch (tool) {
    case PresentationTool::pan:
    case PresentationTool::pen:
        return DrawingTool::freehand;
    case PresentationTool::arrow:
        return DrawingTool::arrow;
    case PresentationTool::rectangle:
        return DrawingTool::rectangle;
    case PresentationTool::number:
        return DrawingTool::number;
    case PresentationTool::eraser:
        return DrawingTool::eraser;
    }
    return DrawingTool::freehand;
}

} // namespace

void OverlayWindowController::showDrawing()
{
    m_exportModeName = "Draw";
    auto *canvas = new DrawingCanvasView;
    canvas->onEscape = [this] {
        close();
    };
    m_drawingCanvas = canvas;
    applyDrawingPreferences();
    // What lies behind the canvas, for its copies and saves: read before it shows.
    screenCapture().rememberScreen(m_screen, ownWindows());
    // Without a compositing manager a translucent window shows garbage, not the desktop: draw
    // over a picture of the screen taken before any panel of ours is up, and without our other
    // windows.
    if (!isCompositingActive()) {
        if (const auto still = screenCapture().captureStill(m_screen, ownWindows())) {
            canvas->setBackground(*still);
        }
    }
    m_overlayPanel = m_windowFactory.makeOverlayPanel(canvas, false);
    // Named after the feature, so window lists and screen recorders can tell it apart.
    m_overlayPanel->setWindowTitle(QStringLiteral("Draw"));
    m_overlayPanel->onEscape = [this] {
        close();
    };
    m_overlayPanel->setWindowOpacity(0);
    m_overlayPanel->show();
    m_overlayPanel->activateWindow();
    canvas->setFocus();
    auto *fadeIn =
        new QPropertyAnimation(m_overlayPanel.get(), "windowOpacity", m_overlayPanel.get());
    fadeIn->setDuration(fadeInMs);
    fadeIn->setEndValue(1.0);
    fadeIn->start(QAbstractAnimation::DeleteWhenStopped);
    showDrawToolbar();
    installEscapeMonitor();
    m_subscriptions.push_back(m_preferences.changed.connect([this](AppPreferences::Setting) {
        // After the assignment that announced it has finished storing the value.
        QTimer::singleShot(0, this, &OverlayWindowController::applyDrawingPreferences);
    }));
}

void OverlayWindowController::showDrawToolbar()
{
    m_toolbarModel = std::make_unique<DrawingToolbarModel>(DrawingTool::freehand);
    if (m_drawingCanvas) {
        m_subscriptions.push_back(m_drawingCanvas->model().toolKeyTyped.connect(
            [this](DrawingTool tool) { m_toolbarModel->setSelectedTool(tool); }));
    }
    m_subscriptions.push_back(m_toolbarModel->selectedToolChanged.connect([this](DrawingTool tool) {
        if (m_drawingCanvas) {
            m_drawingCanvas->model().setSelectedTool(tool);
        }
    }));
    auto *toolbar = new DrawingToolbarView(*m_toolbarModel, m_preferences, m_settingsModel);
    toolbar->fitWithin(static_cast<int>(toolbarWidthLimit(toRectF(m_screen))));
    connect(
        toolbar, &DrawingToolbarView::undoRequested, this, &OverlayWindowController::undoDrawing);
    connect(
        toolbar, &DrawingToolbarView::redoRequested, this, &OverlayWindowController::redoDrawing);
    connect(
        toolbar, &DrawingToolbarView::clearRequested, this, &OverlayWindowController::clearDrawing);
    connect(toolbar, &DrawingToolbarView::toggleSettingsRequested, this, [this] {
        toggleSettingsPanel([this] { return new DrawingSettingsView(m_preferences); });
    });
    connect(toolbar,
            &DrawingToolbarView::addToSessionRequested,
            this,
            &OverlayWindowController::addDrawingToSession);
    connect(toolbar, &DrawingToolbarView::closeRequested, this, &OverlayWindowController::close);
    showToolbarPanel(toolbar);
}

void OverlayWindowController::applyDrawingPreferences()
{
    if (!m_drawingCanvas) {
        return;
    }
    DrawingCanvasModel &model = m_drawingCanvas->model();
    model.setDrawingColor(m_preferences.drawingColor());
    model.setLineWidth(m_preferences.lineWidth());
    model.setAutoFade(m_preferences.autoFade());
    model.setFadeDuration(m_preferences.fadeDuration());
    m_drawingCanvas->setContrast(
        ContrastOptions{m_preferences.highContrastDrawing(), m_preferences.highContrastOutline()});
    // The line width sizes every marker.
    m_drawingCanvas->historyChanged();
}

void OverlayWindowController::undoDrawing()
{
    if (m_drawingCanvas) {
        m_drawingCanvas->model().undo();
        m_drawingCanvas->historyChanged();
    }
}

void OverlayWindowController::redoDrawing()
{
    if (m_drawingCanvas) {
        m_drawingCanvas->model().redo();
        m_drawingCanvas->historyChanged();
    }
}

void OverlayWindowController::clearDrawing()
{
    if (m_drawingCanvas) {
        m_drawingCanvas->model().clear();
        m_drawingCanvas->historyChanged();
    }
}

void OverlayWindowController::selectTool(PresentationTool tool)
{
    if (m_toolbarModel && tool != PresentationTool::pan) {
        m_toolbarModel->setSelectedTool(drawingTool(tool));
    }
}

} // namespace zentrel
