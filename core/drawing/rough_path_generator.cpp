#include "drawing/rough_path_generator.h"

#include "drawing/rough_path_support.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

using namespace rough;

namespace {

constexpr int ellipseSampleCount = 96;

// Pass offsets added to the seed, so that the second outline wobbles differently.
constexpr std::uint64_t lineSeedStep = 131;
constexpr std::uint64_t polylineSeedStep = 193;
constexpr std::uint64_t closedCurveSeedStep = 211;
constexpr std::uint64_t ellipseSeedStep = 97;
constexpr std::uint64_t curveSeedStep = 227;

// The cubic piece of a Catmull-Rom curve from points[i] to points[i + 1].
struct CubicPiece
{
    PointF control1;
    PointF control2;
    PointF end;
};

CubicPiece catmullRomPiece(const std::vector<PointF> &points, std::size_t i)
{
    const PointF before = points[i == 0 ? 0 : i - 1];
    const PointF from = points[i];
    const PointF to = points[i + 1];
    const PointF after = points[std::min(i + 2, points.size() - 1)];
    return {{from.x + (to.x - before.x) / 6, from.y + (to.y - before.y) / 6},
            {to.x - (after.x - from.x) / 6, to.y - (after.y - from.y) / 6},
            to};
}

PointF cubicPoint(PointF from, const CubicPiece &piece, double t)
{
    const double u = 1 - t;
    const double a = u * u * u;
    const double b = 3 * u * u * t;
    const double c = 3 * u * t * t;
    const double d = t * t * t;
    return {a * from.x + b * piece.control1.x + c * piece.control2.x + d * piece.end.x,
            a * from.y + b * piece.control1.y + c * piece.control2.y + d * piece.end.y};
}

// A side from a to b, one of `sides` in the pass, its inner points bowed sideways by up to the
// amplitude, most in the middle; appended to a path that stands at a.
void appendBowedSide(
    RandomSequence &random, PointF a, PointF b, double amplitude, std::size_t sides, Path &path)
{
    const PointF d{b.x - a.x, b.y - a.y};
    const double length = std::max(std::hypot(d.x, d.y), 1.0);
    const PointF normal{-d.y / length, d.x / length};
    const int pieces = sidePieceCount(length, sides);
    std::vector<PointF> points;
    points.reserve(static_cast<std::size_t>(pieces) + 1);
    points.push_back(a);
    for (int i = 1; i < pieces; ++i) {
        const double t = static_cast<double>(i) / pieces;
        const double offset = std::sin(pi * t) * (2 * random.draw() - 1) * amplitude;
        points.push_back({a.x + d.x * t + normal.x * offset, a.y + d.y * t + normal.y * offset});
    }
    points.push_back(b);
    RoughPathGenerator::addSmoothOpenCurve(points, path);
}

// A line's end, moved by up to factor × amplitude per axis.
PointF jitteredEnd(PointF point, RandomSequence &random, double factor, double amplitude)
{
    const double ux = random.draw();
    const double uy = random.draw();
    return {point.x + factor * (2 * ux - 1) * amplitude,
            point.y + factor * (2 * uy - 1) * amplitude};
}

} // namespace

double RoughPathGenerator::amplitude(RoughnessLevel level)
{
    switch (level) {
    case RoughnessLevel::none:
        return 0;
    case RoughnessLevel::low:
        return 0.35;
    case RoughnessLevel::medium:
        return 0.8;
    case RoughnessLevel::high:
        return 1.6;
    }
    return 0;
}

int RoughPathGenerator::passCount(RoughnessLevel level)
{
    return level == RoughnessLevel::high ? 2 : 1;
}

std::optional<RoughPathGenerator::RoughnessLevel>
RoughPathGenerator::roughnessLevelFromRawValue(std::int64_t raw)
{
    if (raw < 0 || raw > 3) {
        return std::nullopt;
    }
    return static_cast<RoughnessLevel>(raw);
}

RoughPathGenerator::RoughnessLevel roughPathRoughness(RoughnessLevel level)
{
    return static_cast<RoughPathGenerator::RoughnessLevel>(static_cast<int>(level));
}

Path RoughPathGenerator::linePath(PointF from, PointF to) const
{
    if (!isFinite(from) || !isFinite(to) || !isDrawableLength(distance(from, to))) {
        return {};
    }
    const double a = amplitude(m_roughness);
    Path path;
    for (int pass = 0; pass < passCount(m_roughness); ++pass) {
        RandomSequence random(m_seed + lineSeedStep * static_cast<std::uint64_t>(pass));
        const double endFactor = pass == 0 ? 0.15 : 0.3;
        const PointF start = jitteredEnd(from, random, endFactor, a);
        const PointF end = jitteredEnd(to, random, endFactor, a);
        path.moveTo(start);
        appendBowedSide(random, start, end, a, 1, path);
    }
    return path;
}

Path RoughPathGenerator::polylinePath(const std::vector<PointF> &points, bool closed) const
{
    if (points.size() < 2 || !allFinite(points) || !sidesAreDrawable(points, closed)) {
        return {};
    }
    const double a = amplitude(m_roughness);
    const std::size_t sides = closed ? points.size() : points.size() - 1;
    Path path;
    for (int pass = 0; pass < passCount(m_roughness); ++pass) {
        RandomSequence random(m_seed + polylineSeedStep * static_cast<std::uint64_t>(pass));
        path.moveTo(points.front());
        for (std::size_t i = 1; i < points.size(); ++i) {
            appendBowedSide(random, points[i - 1], points[i], a, sides, path);
        }
        if (closed) {
            appendBowedSide(random, points.back(), points.front(), a, sides, path);
            path.closeSubpath();
        }
    }
    return path;
}

Path RoughPathGenerator::rectanglePath(RectF rect) const
{
    if (!isFinite(rect)) {
        return {};
    }
    const Bounds b = boundsOf(rect);
    return polylinePath({{b.minX, b.minY}, {b.maxX, b.minY}, {b.maxX, b.maxY}, {b.minX, b.maxY}},
                        true);
}

std::vector<PointF> RoughPathGenerator::roundedRectanglePoints(RectF rect, double radius)
{
    const Bounds b = boundsOf(rect);
    const double r = radius;
    const bool drawable = isDrawableLength(std::abs(b.maxX - b.minX - 2 * r))
                          && isDrawableLength(std::abs(b.maxY - b.minY - 2 * r))
                          && isDrawableLength(std::abs(r) * halfPi);
    if (!isFinite(rect) || !drawable) {
        return {};
    }
    std::vector<PointF> points;
    appendEdgePoints({b.minX + r, b.minY}, {b.maxX - r, b.minY}, points);
    appendArcPoints({b.maxX - r, b.minY + r}, r, -halfPi, points);
    appendEdgePoints({b.maxX, b.minY + r}, {b.maxX, b.maxY - r}, points);
    appendArcPoints({b.maxX - r, b.maxY - r}, r, 0, points);
    appendEdgePoints({b.maxX - r, b.maxY}, {b.minX + r, b.maxY}, points);
    appendArcPoints({b.minX + r, b.maxY - r}, r, halfPi, points);
    appendEdgePoints({b.minX, b.maxY - r}, {b.minX, b.minY + r}, points);
    appendArcPoints({b.minX + r, b.minY + r}, r, pi, points);
    return points;
}

Path RoughPathGenerator::closedCurvePath(const std::vector<PointF> &points) const
{
    if (points.size() < 3 || !allFinite(points)) {
        return {};
    }
    const double a = amplitude(m_roughness);
    const std::size_t count = points.size();
    Path path;
    std::vector<PointF> moved(count);
    for (int pass = 0; pass < passCount(m_roughness); ++pass) {
        RandomSequence random(m_seed + closedCurveSeedStep * static_cast<std::uint64_t>(pass));
        const double passFactor = pass == 0 ? 1.0 : 0.6;
        for (std::size_t i = 0; i < count; ++i) {
            const PointF next = points[(i + 1) % count];
            const PointF previous = points[(i + count - 1) % count];
            const PointF d{next.x - previous.x, next.y - previous.y};
            const double length = std::max(std::hypot(d.x, d.y), 1.0);
            const PointF normal{-d.y / length, d.x / length};
            const double u = random.draw();
            moved[i] = {points[i].x + normal.x * passFactor * (2 * u - 1) * a,
                        points[i].y + normal.y * passFactor * (2 * u - 1) * a};
        }
        addSmoothClosedCurve(moved, path);
    }
    return path;
}

Path RoughPathGenerator::ellipsePath(RectF rect) const
{
    const double cx = rect.x + rect.width / 2;
    const double cy = rect.y + rect.height / 2;
    if (!isFinite(rect) || !std::isfinite(cx) || !std::isfinite(cy)) {
        return {};
    }
    const double halfWidth = std::abs(rect.width) / 2;
    const double halfHeight = std::abs(rect.height) / 2;
    Path path;
    std::vector<PointF> samples(ellipseSampleCount);
    for (int pass = 0; pass < passCount(m_roughness); ++pass) {
        const double a = amplitude(m_roughness) * (pass == 0 ? 1.0 : 0.6);
        RandomSequence random(m_seed + ellipseSeedStep * static_cast<std::uint64_t>(pass));
        const double phase1 = random.draw();
        const double phase2 = random.draw();
        for (int i = 0; i < ellipseSampleCount; ++i) {
            const double theta = 2 * pi * i / ellipseSampleCount;
            const double v = a
                             * (0.65 * std::sin(2 * pi * phase1 + 7 * theta)
                                + 0.35 * std::sin(2 * pi * phase2 + 13 * theta));
            samples[static_cast<std::size_t>(i)] = {cx + std::cos(theta) * (halfWidth + v),
                                                    cy + std::sin(theta) * (halfHeight + 0.75 * v)};
        }
        addSmoothClosedCurve(samples, path);
    }
    return path;
}

Path RoughPathGenerator::curvePath(const std::vector<PointF> &points) const
{
    if (points.size() < 2 || !allFinite(points) || !sidesAreDrawable(points, false)) {
        return {};
    }
    const double a = amplitude(m_roughness);
    Path path;
    for (int pass = 0; pass < passCount(m_roughness); ++pass) {
        RandomSequence random(m_seed + curveSeedStep * static_cast<std::uint64_t>(pass));
        // Samples along the smooth curve, pushed sideways most between the points, which it
        // still passes.
        std::vector<PointF> samples{points.front()};
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const CubicPiece piece = catmullRomPiece(points, i);
            const PointF from = points[i];
            const PointF d{piece.end.x - from.x, piece.end.y - from.y};
            const double length = std::max(std::hypot(d.x, d.y), 1.0);
            const PointF normal{-d.y / length, d.x / length};
            const int pieces = sidePieceCount(length, points.size() - 1);
            for (int k = 1; k < pieces; ++k) {
                const double t = static_cast<double>(k) / pieces;
                const double offset = std::sin(pi * t) * (2 * random.draw() - 1) * a;
                const PointF on = cubicPoint(from, piece, t);
                samples.push_back({on.x + normal.x * offset, on.y + normal.y * offset});
            }
            samples.push_back(piece.end);
        }
        path.moveTo(samples.front());
        addSmoothOpenCurve(samples, path);
    }
    return path;
}

Path RoughPathGenerator::arrowPath(PointF from, PointF to, double lineWidth) const
{
    const Path shaft = linePath(from, to);
    const Path head = arrowHeadPath(from, to, lineWidth);
    // All three or nothing: half an arrow would point somewhere else.
    if (shaft.isEmpty() || head.isEmpty()) {
        return {};
    }
    Path path = shaft;
    path.append(head);
    return path;
}

Path RoughPathGenerator::arrowHeadPath(PointF from, PointF to, double lineWidth) const
{
    if (!isFinite(from) || !isFinite(to) || !std::isfinite(lineWidth)) {
        return {};
    }
    const double theta = std::atan2(to.y - from.y, to.x - from.x);
    const double headLength = std::max(4 * lineWidth, 12.0);
    const double halfAngle = pi / 6;
    const PointF wing1{to.x - headLength * std::cos(theta - halfAngle),
                       to.y - headLength * std::sin(theta - halfAngle)};
    const PointF wing2{to.x - headLength * std::cos(theta + halfAngle),
                       to.y - headLength * std::sin(theta + halfAngle)};
    const Path upperWing = linePath(to, wing1);
    const Path lowerWing = linePath(to, wing2);
    if (upperWing.isEmpty() || lowerWing.isEmpty()) {
        return {};
    }
    Path path = upperWing;
    path.append(lowerWing);
    return path;
}

std::vector<PointF> RoughPathGenerator::jitteredPoints(const std::vector<PointF> &points) const
{
    if (!allFinite(points)) {
        return {};
    }
    if (m_roughness == RoughnessLevel::none || points.size() < 2) {
        return points;
    }
    const double a = amplitude(m_roughness);
    RandomSequence random(m_seed);
    std::vector<PointF> result;
    result.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double ux = random.draw();
        const double uy = random.draw();
        const double signX = random.drawNegativeSign() ? -1.0 : 1.0;
        const double signY = random.drawNegativeSign() ? -1.0 : 1.0;
        // The ends move less, so a stroke still starts and stops where the pointer did.
        const double g = (i == 0 || i + 1 == points.size()) ? 0.3 : 1.0;
        result.push_back({points[i].x + signX * g * ux * a, points[i].y + signY * g * uy * a});
    }
    return result;
}

Path RoughPathGenerator::freehandPath(const std::vector<PointF> &points) const
{
    const std::vector<PointF> moved = jitteredPoints(points);
    if (moved.size() < 2) {
        return {};
    }
    Path path;
    path.moveTo(moved.front());
    for (std::size_t i = 1; i < moved.size(); ++i) {
        path.lineTo(moved[i]);
    }
    return path;
}

void RoughPathGenerator::addSmoothOpenCurve(const std::vector<PointF> &points, Path &path)
{
    const std::size_t count = points.size();
    if (count < 2) {
        return;
    }
    if (count == 2) {
        path.lineTo(points[1]);
        return;
    }
    for (std::size_t i = 1; i + 1 < count; ++i) {
        path.quadTo(points[i], midpoint(points[i], points[i + 1]));
    }
    path.quadTo(points[count - 2], points[count - 1]);
}

void RoughPathGenerator::addCatmullRomCurve(const std::vector<PointF> &points, Path &path)
{
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const CubicPiece piece = catmullRomPiece(points, i);
        path.cubicTo(piece.control1, piece.control2, piece.end);
    }
}

void RoughPathGenerator::addSmoothClosedCurve(const std::vector<PointF> &points, Path &path)
{
    const std::size_t count = points.size();
    if (count < 3) {
        return;
    }
    path.moveTo(midpoint(points.back(), points.front()));
    for (std::size_t i = 1; i <= count; ++i) {
        path.quadTo(points[i - 1], midpoint(points[i - 1], points[i % count]));
    }
    path.closeSubpath();
}

} // namespace zentrel
