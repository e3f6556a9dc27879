#include "drawing/drawing_canvas_model.h"

#include "drawing/drawing_canvas_item.h"
#include "shell/presentation_color.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace zentrel {

namespace {

RectF grown(RectF rect, double margin)
{
    return {rect.x - margin, rect.y - margin, rect.width + 2 * margin, rect.height + 2 * margin};
}

// Markers are hit by a fixed square, whatever size they are drawn at.
RectF hitBox(const NumberedMarker &marker)
{
    constexpr double half = DrawingCanvasModel::markerHitSize / 2;
    return {marker.point.x - half,
            marker.point.y - half,
            DrawingCanvasModel::markerHitSize,
            DrawingCanvasModel::markerHitSize};
}

std::optional<RectF> hitBox(const DrawingStroke &stroke)
{
    if (stroke.points.empty()) {
        return std::nullopt;
    }
    const auto [minX, maxX] = std::minmax_element(
        stroke.points.begin(), stroke.points.end(), [](PointF a, PointF b) { return a.x < b.x; });
    const auto [minY, maxY] = std::minmax_element(
        stroke.points.begin(), stroke.points.end(), [](PointF a, PointF b) { return a.y < b.y; });
    const RectF bounds{minX->x, minY->y, maxX->x - minX->x, maxY->y - minY->y};
    return grown(bounds, stroke.lineWidth);
}

bool isExpired(const DrawingCanvasItem &item, Timestamp now)
{
    const auto *stroke = std::get_if<DrawingStroke>(&item);
    return stroke != nullptr && fadeAlpha(*stroke, now) <= 0;
}

} // namespace

DrawingCanvasModel::DrawingCanvasModel()
    : m_drawingColor(systemColor(PresentationColor::red))
{}

void DrawingCanvasModel::press(PointF point, Timestamp now, bool optionHeld)
{
    switch (m_selectedTool) {
    case DrawingTool::number:
        m_history.append(NumberedMarker{point, nextMarkerNumber(m_history.items), m_drawingColor});
        break;
    case DrawingTool::eraser:
        m_isErasing = true;
        eraseAt(point);
        break;
    default: {
        std::optional<double> fade;
        if (m_autoFade && !optionHeld) {
            fade = m_fadeDuration;
        }
        m_activeStroke =
            DrawingStroke{m_selectedTool, {point}, m_drawingColor, m_lineWidth, now, fade};
        break;
    }
    }
    changed.notify();
}

void DrawingCanvasModel::drag(PointF point)
{
    if (m_isErasing) {
        eraseAt(point);
        changed.notify();
        return;
    }
    if (!m_activeStroke) {
        return;
    }
    extendActiveStroke(point);
    changed.notify();
}

void DrawingCanvasModel::extendActiveStroke(PointF point)
{
    std::vector<PointF> &points = m_activeStroke->points;
    if (m_activeStroke->tool == DrawingTool::freehand) {
        if (distance(points.back(), point) >= m_minimumPointDistance) {
            points.push_back(point);
        }
    } else if (points.size() == 1) {
        points.push_back(point);
    } else {
        points[1] = point;
    }
}

void DrawingCanvasModel::release(PointF point)
{
    if (m_isErasing) {
        m_isErasing = false;
        return;
    }
    if (!m_activeStroke) {
        return;
    }
    DrawingStroke stroke = std::move(*m_activeStroke);
    m_activeStroke.reset();
    // A click without movement still leaves two points, so every tool draws something.
    if (stroke.points.size() == 1) {
        stroke.points.push_back(point);
    } else if (stroke.tool != DrawingTool::freehand) {
        stroke.points[1] = point;
    }
    m_history.append(std::move(stroke));
    changed.notify();
}

std::optional<DrawingTool> DrawingCanvasModel::keyTyped(std::string_view text)
{
    const std::optional<DrawingTool> tool = drawingToolForKey(text);
    if (tool) {
        toolKeyTyped.notify(*tool);
        m_selectedTool = *tool;
    }
    return tool;
}

std::optional<DrawingCanvasItem> DrawingCanvasModel::undo()
{
    std::optional<DrawingCanvasItem> item = m_history.undo();
    if (item) {
        changed.notify();
    }
    return item;
}

std::optional<DrawingCanvasItem> DrawingCanvasModel::redo()
{
    std::optional<DrawingCanvasItem> item = m_history.redo();
    if (item) {
        changed.notify();
    }
    return item;
}

void DrawingCanvasModel::clear()
{
    m_history.clear();
    m_activeStroke.reset();
    changed.notify();
}

bool DrawingCanvasModel::removeExpiredStrokes(Timestamp now)
{
    const auto expired = [now](const auto &item) {
        return isExpired(item, now);
    };
    const bool removed = std::erase_if(m_history.items, expired) > 0;
    std::erase_if(m_history.redoItems, expired);
    const bool fading =
        std::any_of(m_history.items.begin(), m_history.items.end(), [now](const auto &item) {
            const auto *stroke = std::get_if<DrawingStroke>(&item);
            return stroke != nullptr && fadeAlpha(*stroke, now) < 1;
        });
    if (!removed && !fading) {
        return false;
    }
    changed.notify();
    return true;
}

bool DrawingCanvasModel::hasFadingStrokes() const
{
    return std::any_of(m_history.items.begin(), m_history.items.end(), [](const auto &item) {
        const auto *stroke = std::get_if<DrawingStroke>(&item);
        return stroke != nullptr && stroke->fadeDuration.has_value();
    });
}

void DrawingCanvasModel::eraseAt(PointF point)
{
    std::vector<DrawingCanvasItem> &items = m_history.items;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const std::optional<RectF> box =
            std::visit([](const auto &item) -> std::optional<RectF> { return hitBox(item); }, *it);
        if (box && grown(*box, eraserRadius).contains(point)) {
            items.erase(std::next(it).base());
            m_history.redoItems.clear();
            return;
        }
    }
}

double fadeAlpha(const DrawingStroke &stroke, Timestamp now)
{
    if (!stroke.fadeDuration) {
        return 1;
    }
    const double fade = *stroke.fadeDuration;
    const double age = std::chrono::duration<double>(now - stroke.createdAt).count();
    if (age >= fade) {
        return 0;
    }
    constexpr double fadeStart = 0.65;
    if (age <= fadeStart * fade) {
        return 1;
    }
    return 1 - (age - fadeStart * fade) / (fade - fadeStart * fade);
}

} // namespace zentrel
