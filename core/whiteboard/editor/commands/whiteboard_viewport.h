#pragma once

#include "common/geometry.h"
#include "whiteboard/editor/whiteboard_editor_model.h"

#include <cstdint>

namespace zentrel {

// Pan and zoom of the current board's viewport (view = scene × scale + translation). Neither
// records an undo step, stamps the board or schedules a save: the view reaches the file with the
// next save. A damaged stored viewport is sanitised (scale 1, offset 0) before either applies.

inline constexpr double whiteboardMaximumScale = 5.0;
inline constexpr double whiteboardMinimumScale = 0.1;
// One step of the zoom keys and buttons.
inline constexpr double whiteboardZoomInStep = 1.25;
inline constexpr double whiteboardZoomOutStep = 0.8;
// Zevizu & Vozurir never shows less than the whole captured screen.
inline constexpr double boundedMinimumScale = 1.0;

// The smallest scale the model allows: 1 when its viewport is bounded, else 0.1.
double minimumViewportScale(const WhiteboardEditorModel &model);

// Moves the offset by (dx, dy) view points; bounded models keep the image covering the view.
void panBy(WhiteboardEditorModel &model, double dx, double dy);

// Multiplies the scale by `factor`, clamped to the limits, keeping the scene point under the view
// point `anchor` in place. A non-finite factor or anchor does nothing.
void zoom(WhiteboardEditorModel &model, double factor, PointF anchor);

// The scale as a whole percentage, halves away from zero (0.125 is 13 %); a damaged scale reads
// as the 100 % it is drawn at.
std::int64_t zoomPercentage(double scale);

} // namespace zentrel
