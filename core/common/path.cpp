#include "common/path.h"

namespace zentrel {

void Path::moveTo(PointF point)
{
    m_elements.push_back(Element{Op::moveTo, {point}});
    m_subpathStart = point;
}

void Path::lineTo(PointF point)
{
    m_elements.push_back(Element{Op::lineTo, {point}});
}

void Path::quadTo(PointF control, PointF end)
{
    m_elements.push_back(Element{Op::quadTo, {control, end}});
}

void Path::cubicTo(PointF control1, PointF control2, PointF end)
{
    m_elements.push_back(Element{Op::cubicTo, {control1, control2, end}});
}

void Path::closeSubpath()
{
    m_elements.push_back(Element{Op::close, {}});
}

void Path::addEllipse(const RectF &rect)
{
    // The control distance that makes a cubic quarter arc closest to a circle.
    constexpr double kappa = 0.5522847498;
    const double rx = rect.width / 2;
    const double ry = rect.height / 2;
    const double cx = rect.x + rx;
    const double cy = rect.y + ry;
    const double kx = kappa * rx;
    const double ky = kappa * ry;
    moveTo({cx + rx, cy});
    cubicTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
    cubicTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
    cubicTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
    cubicTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
    closeSubpath();
}

void Path::append(const Path &other)
{
    m_elements.insert(m_elements.end(), other.m_elements.begin(), other.m_elements.end());
    if (!other.m_elements.empty()) {
        m_subpathStart = other.m_subpathStart;
    }
}

std::optional<PointF> Path::Element::endPoint() const
{
    switch (op) {
    case Op::moveTo:
    case Op::lineTo:
        return points[0];
    case Op::quadTo:
        return points[1];
    case Op::cubicTo:
        return points[2];
    case Op::close:
        break;
    }
    return std::nullopt;
}

PointF Path::currentPoint() const
{
    if (m_elements.empty()) {
        return {};
    }
    return m_elements.back().endPoint().value_or(m_subpathStart);
}

} // namespace zentrel
