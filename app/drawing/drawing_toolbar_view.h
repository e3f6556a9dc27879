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
class ToolbarRows;
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

    // Breaks the strip into rows where it would be wider than `width`, the room its screen has.
    void fitWithin(int width);

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
    void addToolButtons(QHBoxLayout *row);
    void refresh();

    DrawingToolbarModel &m_model;
    ToolbarRows *m_rows = nullptr;
    std::vector<std::pair<DrawingTool, ToolbarSelectionButton *>> m_toolButtons;
    ScopedConnection m_modelConnection;
};

} // namespace zentrel
