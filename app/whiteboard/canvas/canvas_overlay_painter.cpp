#include "whiteboard/canvas/canvas_overlay_painter.h"

#include "common/qt_path.h"
#include "whiteboard/canvas/creation_preview.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/canvas/selection_overlay.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"

#include <QPainter>

namespace zentrel {

void paintCreationPreview(QPainter &painter,
                          const WhiteboardEditorModel &model,
                          const CanvasDrag &drag)
{
    if (model.interaction().kind != WhiteboardInteraction::Kind::drawing || !drag.startScenePoint
        || !drag.currentScenePoint) {
        return;
    }
    const std::optional<WhiteboardElement> preview = creationPreviewElement(drag.tool,
                                                                            *drag.startScenePoint,
                                                                            *drag.currentScenePoint,
                                                                            drag.activePoints,
                                                                            model.drawingColor(),
                                                                            model.lineWidth());
    if (!preview) {
        return;
    }
    const double scale = model.currentBoard().viewport.scale;
    paintElement(painter,
                 paintedPlan(elementRenderPlan(
                     *preview, RoughnessLevel::none, scale, whiteboardLineMeasurer())));
}

void paintSelectionOverlay(QPainter &painter,
                           const WhiteboardEditorModel &model,
                           const CanvasDrag &drag,
                           const QColor &accent)
{
    if (model.selectedTool() != WhiteboardTool::selection) {
        return;
    }
    const double scale = model.currentBoard().viewport.scale;
    painter.save();
    if (model.interaction().kind == WhiteboardInteraction::Kind::marqueeSelecting
        && drag.startScenePoint && drag.currentScenePoint) {
        const QRectF marquee =
            toQRectF(rectBetween(*drag.startScenePoint, *drag.currentScenePoint));
        QColor fill = accent;
        fill.setAlphaF(0.15);
        painter.fillRect(marquee, fill);
        painter.setPen(QPen(accent, 1 / scale));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(marquee);
    }
    if (const std::optional<RectF> bounds = selectionBounds(model)) {
        painter.setPen(QPen(accent, 1.5 / scale));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(toQRectF(*bounds));
        // One point on screen like the rest: a scene-unit outline would swamp the handle when
        // zoomed in and vanish when zoomed out.
        painter.setPen(QPen(accent, 1 / scale));
        painter.setBrush(Qt::white);
        for (const PointF point : selectionHandlePoints(*bounds)) {
            painter.drawRect(toQRectF(selectionHandleSquare(point, scale)));
        }
        const PointF centre = rotationHandleCentre(*bounds, scale);
        const double radius = rotationHandleRadius / scale;
        painter.drawEllipse(toQPointF(centre), radius, radius);
    }
    painter.restore();
}

} // namespace zentrel
