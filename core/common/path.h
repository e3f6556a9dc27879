#pragma once

#include "common/geometry.h"

#include <array>
#include <optional>
#include <vector>

namespace zentrel {

// Outline geometry as core computes it; the app only paints it (QPainterPath on the Qt side).
class Path
{
public:
    enum class Op {
        moveTo,
        lineTo,
        quadTo,
        cubicTo,
        close,
    };

    // The points an element uses: moveTo and lineTo one, quadTo two (control, end), cubicTo
    // three (two controls, end), close none.
    struct Element
    {
        Op op = Op::moveTo;
        std::array<PointF, 3> points{};

        // Where the element leaves the pen; none for close, which returns to where its subpath
        // started.
        std::optional<PointF> endPoint() const;

        friend bool operator==(const Element &, const Element &) = default;
    };

    void moveTo(PointF point);
    void lineTo(PointF point);
    void quadTo(PointF control, PointF end);
    void cubicTo(PointF control1, PointF control2, PointF end);
    void closeSubpath();
    // The ellipse inscribed in rect as four cubic quarter arcs, from the right end of the
    // horizontal axis, closed.
    void addEllipse(const RectF &rect);
    void append(const Path &other);

    const std::vector<Element> &elements() const { return m_elements; }

    bool isEmpty() const { return m_elements.empty(); }

    // The point the next element starts from.
    PointF currentPoint() const;

    friend bool operator==(const Path &, const Path &) = default;

private:
    std::vector<Element> m_elements;
    PointF m_subpathStart;
};

} // namespace zentrel
