#include "drawing/drawing_toolbar_model.h"

namespace zentrel {

void DrawingToolbarModel::setSelectedTool(DrawingTool tool)
{
    if (tool == m_selectedTool) {
        return;
    }
    m_selectedTool = tool;
    selectedToolChanged.notify(tool);
}

} // namespace zentrel
