#pragma once

#include "common/color.h"
#include "common/geometry.h"
#include "common/iso_date.h"
#include "common/signal.h"
#include "drawing/drawing_history.h"
#include "drawing/drawing_stroke.h"
#include "drawing/drawing_tool.h"

#include <optional>
#include <string_view>

namespace zentrel {

// The live canvas's state and gesture rules; the view feeds it pointer and key events and paints
// what it holds. Settings take effect at the next press (lineWidth also sizes every marker at
// the next redraw), so changing them notifies nobody.
class DrawingCanvasModel
{
public:
    static constexpr double eraserRadius = 12;
    static constexpr double markerHitSize = 30;

    DrawingCanvasModel();
    DrawingCanvasModel(const DrawingCanvasModel &) = delete;
    DrawingCanvasModel &operator=(const DrawingCanvasModel &) = delete;

    DrawingTool selectedTool() const { return m_selectedTool; }

    void setSelectedTool(DrawingTool tool) { m_selectedTool = tool; }

    Color drawingColor() const { return m_drawingColor; }

    void setDrawingColor(Color color) { m_drawingColor = color; }

    double lineWidth() const { return m_lineWidth; }

    void setLineWidth(double width) { m_lineWidth = width; }

    bool autoFade() const { return m_autoFade; }

    void setAutoFade(bool on) { m_autoFade = on; }

    double fadeDuration() const { return m_fadeDuration; }

    void setFadeDuration(double seconds) { m_fadeDuration = seconds; }

    double minimumPointDistance() const { return m_minimumPointDistance; }

    void setMinimumPointDistance(double distance) { m_minimumPointDistance = distance; }

    const DrawingHistory &history() const { return m_history; }

    const std::optional<DrawingStroke> &activeStroke() const { return m_activeStroke; }

    bool isErasing() const { return m_isErasing; }

    // Pointer gestures, in canvas coordinates. Holding Option at the press draws a stroke that
    // never fades.
    void press(PointF point, Timestamp now, bool optionHeld);
    void drag(PointF point);
    void release(PointF point);

    // The tool a typed key selects, now selected; none means the key is not the canvas's.
    // Escape is the view's business.
    std::optional<DrawingTool> keyTyped(std::string_view text);

    // The controller's edits of the history.
    std::optional<DrawingCanvasItem> undo();
    std::optional<DrawingCanvasItem> redo();
    // Empties both lists and drops the stroke being drawn.
    void clear();

    // Drops every stroke whose fade time is over, from the items and the redo list, keeping the
    // order of the rest. True, with a notice, when the picture changed: a stroke went or one is
    // partway faded; a stroke still at full strength looks the same from tick to tick.
    bool removeExpiredStrokes(Timestamp now);
    // True exactly while a finished stroke can fade: the view runs its fade timer meanwhile.
    bool hasFadingStrokes() const;

    // Something to draw changed: the items, the redo list or the stroke being drawn.
    Signal<> changed;

    // Typed keys select tools before the canvas does, so the toolbar hears of them first.
    Signal<DrawingTool> toolKeyTyped;

private:
    // Removes the newest item whose hit box, grown by the radius, contains the point.
    void eraseAt(PointF point);
    void extendActiveStroke(PointF point);

    DrawingTool m_selectedTool = DrawingTool::freehand;
    Color m_drawingColor;
    double m_lineWidth = 4;
    bool m_autoFade = false;
    double m_fadeDuration = 4;
    double m_minimumPointDistance = 2.5;
    DrawingHistory m_history;
    std::optional<DrawingStroke> m_activeStroke;
    bool m_isErasing = false;
};

// 1 until 65 % of the stroke's fade time has passed, then falling linearly to 0 at its end;
// always 1 for a stroke that never fades.
double fadeAlpha(const DrawingStroke &stroke, Timestamp now);

} // namespace zentrel
