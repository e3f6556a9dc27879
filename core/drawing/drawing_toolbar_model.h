#pragma once

#include "common/signal.h"
#include "drawing/drawing_tool.h"

namespace zentrel {

// The selected tool that the drawing toolbar and the canvas share.
class DrawingToolbarModel
{
public:
    explicit DrawingToolbarModel(DrawingTool initialTool = DrawingTool::freehand)
        : m_selectedTool(initialTool)
    {}

    DrawingToolbarModel(const DrawingToolbarModel &) = delete;
    DrawingToolbarModel &operator=(const DrawingToolbarModel &) = delete;

    DrawingTool selectedTool() const { return m_selectedTool; }

    // Notifies only when the tool differs from the current one.
    void setSelectedTool(DrawingTool tool);

    Signal<DrawingTool> selectedToolChanged;

private:
    DrawingTool m_selectedTool;
};

} // namespace zentrel
