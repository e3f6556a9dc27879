#pragma once

#include "common/signal.h"
#include "drawing/drawing_tool.h"

#include <QWidget>

#include <utility>
#include <vector>

class QHBoxLayout;

namespace zentrel {

class AppPreferences;
class DrawingToolbarModel;
class OverlaySettingsModel;
class ToolbarSelectionButton;

// The floating strip above the drawing canvas: the eight tools, the colour palette, undo, redo,
// clear, "Save to Session", the settings button and close. It writes only the selected tool
// (and, through the palette, the drawing colour); every other press is reported by a signal.
class DrawingToolbarView : public QWidget
{
    Q_OBJECT

public:
    DrawingToolbarView(DrawingToolbarModel &model,
                       AppPreferences &preferences,
                       OverlaySettingsModel &settingsModel,
                       QWidget *parent = nullptr);

    // "Pen", "Arrow", … as the toolbar names the tool.
    static QString displayName(DrawingTool tool);
    static QString symbolName(DrawingTool tool);

Q_SIGNALS:
    void undoRequested();
    void redoRequested();
    void clearRequested();
    void addToSessionRequested();
    void toggleSettingsRequested();
    void closeRequested();

private:
    QWidget *makeContent(AppPreferences &preferences, OverlaySettingsModel &settingsModel);
    void addToolButtons(QWidget *content, QHBoxLayout *row);
    void refresh();

    DrawingToolbarModel &m_model;
    std::vector<std::pair<DrawingTool, ToolbarSelectionButton *>> m_toolButtons;
    ScopedConnection m_modelConnection;
};

} // namespace zentrel
