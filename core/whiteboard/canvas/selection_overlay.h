#pragma once

#include "common/geometry.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_interaction.h"

#include <array>
#include <optional>

namespace zentrel {

// Where the selection's handles sit, in scene coordinates. Their on-screen sizes are fixed in
// view points, so the canvas divides them by the viewport scale.
inline constexpr double selectionHandleSide = 8;
inline constexpr double rotationHandleRadius = 4;
inline constexpr double rotationHandleOffset = 24;

// The eight resize handles of `bounds`, in the order of WhiteboardResizeHandle.
std::array<PointF, 8> selectionHandlePoints(RectF bounds);

// The square a handle at `point` covers at `scale`.
RectF selectionHandleSquare(PointF point, double scale);

// The rotation handle's centre: above the middle of the top edge, a fixed distance on screen.
PointF rotationHandleCentre(RectF bounds, double scale);

// The resize handle of the current selection within 8 view points of `scenePoint`, the first in
// handle order; none when the selection is empty, has no bounds or holds a locked element.
std::optional<WhiteboardResizeHandle> resizeHandleAtPoint(const WhiteboardEditorModel &model,
                                                          PointF scenePoint);

// Whether `scenePoint` is within 10 view points of the rotation handle, under the same conditions.
bool isOnRotationHandle(const WhiteboardEditorModel &model, PointF scenePoint);

} // namespace zentrel
