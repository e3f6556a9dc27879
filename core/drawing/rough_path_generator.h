#pragma once

#include "common/geometry.h"
#include "common/path.h"
#include "shell/roughness_level.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zentrel {

// Turns straight lines, outlines and freehand strokes into hand-drawn paths. The result depends
// only on the seed, the roughness and the input, so every redraw shows the same wobble: each
// operation starts its own random sequence from the seed, and the order of its draws is fixed.
//
// Non-finite input gives an empty result. So does a segment, edge or arc longer than 1e7 points
// (rough::maxSegmentLength). Long sides bow over longer pieces, so that an outline costs the same
// however large it is drawn (rough::piecesPerPass).
class RoughPathGenerator
{
public:
    enum class RoughnessLevel {
        none = 0,
        low = 1,
        medium = 2,
        high = 3,
    };

    static constexpr std::array<RoughnessLevel, 4> allRoughnessLevels{
        RoughnessLevel::none, RoughnessLevel::low, RoughnessLevel::medium, RoughnessLevel::high};

    // Wobble amplitude in points.
    static double amplitude(RoughnessLevel level);
    // How many complete outlines a line, polyline, closed curve or ellipse gets.
    static int passCount(RoughnessLevel level);
    // Outside 0 to 3 there is no level.
    static std::optional<RoughnessLevel> roughnessLevelFromRawValue(std::int64_t raw);

    constexpr RoughPathGenerator(std::uint64_t seed, RoughnessLevel roughness)
        : m_seed(seed)
        , m_roughness(roughness)
    {}

    constexpr std::uint64_t seed() const { return m_seed; }

    constexpr RoughnessLevel roughness() const { return m_roughness; }

    Path linePath(PointF from, PointF to) const;
    Path polylinePath(const std::vector<PointF> &points, bool closed) const;
    Path rectanglePath(RectF rect) const;
    Path closedCurvePath(const std::vector<PointF> &points) const;
    Path ellipsePath(RectF rect) const;
    // A hand-drawn addCatmullRomCurve through the points.
    Path curvePath(const std::vector<PointF> &points) const;
    Path arrowPath(PointF from, PointF to, double lineWidth) const;
    // The two wings of arrowPath's head at `to`, pointing along from → to.
    Path arrowHeadPath(PointF from, PointF to, double lineWidth) const;
    Path freehandPath(const std::vector<PointF> &points) const;
    std::vector<PointF> jitteredPoints(const std::vector<PointF> &points) const;

    // The outline of a rounded rectangle, for closedCurvePath; involves no randomness.
    static std::vector<PointF> roundedRectanglePoints(RectF rect, double radius);

    // Quadratic curves through the midpoints. The open form continues from the path's current
    // point, which must be points[0]; the closed form starts its own subpath.
    static void addSmoothOpenCurve(const std::vector<PointF> &points, Path &path);
    static void addSmoothClosedCurve(const std::vector<PointF> &points, Path &path);
    // A uniform Catmull-Rom curve through every point, as cubic pieces (the ends count twice, so
    // it leaves each end towards its neighbour). It continues from the path's current point,
    // which must be points[0].
    static void addCatmullRomCurve(const std::vector<PointF> &points, Path &path);

    friend bool operator==(const RoughPathGenerator &, const RoughPathGenerator &) = default;

private:
    std::uint64_t m_seed;
    RoughnessLevel m_roughness;
};

// The preferences' level and the generator's have the same four cases in the same order.
RoughPathGenerator::RoughnessLevel roughPathRoughness(RoughnessLevel level);

} // namespace zentrel
