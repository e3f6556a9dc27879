#pragma once

#include "whiteboard/canvas/canvas_drag.h"
#include "whiteboard/editor/whiteboard_editor_model.h"

class QColor;
class QPainter;

namespace zentrel {

// What the canvas draws over the elements while editing, in scene coordinates under the viewport
// transform: the element a drag is creating, drawn smooth, and the selection with its marquee,
// frame, resize handles and rotation handle at a constant size on screen, in `accent`.
void paintCreationPreview(QPainter &painter,
                          const WhiteboardEditorModel &model,
                          const CanvasDrag &drag);
void paintSelectionOverlay(QPainter &painter,
                           const WhiteboardEditorModel &model,
                           const CanvasDrag &drag,
                           const QColor &accent);

} // namespace zentrel
