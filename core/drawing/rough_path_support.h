#pragma once

#include "common/geometry.h"

#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

// The building blocks of RoughPathGenerator: its random sequence, and the plain geometry that
// it checks and subdivides.
namespace zentrel::rough {

inline constexpr double pi = std::numbers::pi;
inline constexpr double halfPi = pi / 2;

// Longer segments, edges and arcs are refused: at 14 points a piece their point lists would
// only exhaust memory and time, and no screen or board is that large.
inline constexpr double maxSegmentLength = 1e7;

// The most pieces one pass of an outline is drawn with, shared out among its sides: a long side
// bows over longer pieces rather than taking time and memory in proportion to its length.
inline constexpr double piecesPerPass = 16384;
// The most points one straight edge or quarter arc of an outline gets.
inline constexpr double maxEdgePoints = 1024;

// A fixed 64-bit multiply-add, never a platform generator, so one seed gives the same path on
// every machine.
class RandomSequence
{
public:
    static constexpr std::uint64_t multiplier = 6364136223846793005ULL;
    static constexpr std::uint64_t increment = 1442695040888963407ULL;

    // Callers add their pass offsets to the seed before; unsigned arithmetic wraps as intended.
    explicit constexpr RandomSequence(std::uint64_t seed)
        : m_state(seed)
    {}

    // In [0, 0.999], in steps of 0.001.
    constexpr double draw()
    {
        advance();
        return static_cast<double>(m_state % 1000) / 1000.0;
    }

    constexpr bool drawNegativeSign()
    {
        advance();
        return (m_state & 1U) != 0;
    }

    constexpr std::uint64_t state() const { return m_state; }

private:
    constexpr void advance() { m_state = m_state * multiplier + increment; }

    std::uint64_t m_state;
};

// A rectangle with a negative size covers the same area as its normalised form.
struct Bounds
{
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;
};

Bounds boundsOf(RectF rect);

PointF midpoint(PointF a, PointF b);
bool allFinite(const std::vector<PointF> &points);

// False for NaN and infinity too.
bool isDrawableLength(double length);
bool sidesAreDrawable(const std::vector<PointF> &points, bool closed);

// How many pieces a side of `length` (at least 1) bows in, one of `sides` in a pass: about one
// per 14 points, 2 at the least.
int sidePieceCount(double length, std::size_t sides);

// Points from `from` towards `to`, about one per 14 points (at most maxEdgePoints); the end is left
// out, so that the next piece of an outline can start there.
void appendEdgePoints(PointF from, PointF to, std::vector<PointF> &points);
// A quarter circle from startAngle on, at least 3 points and at most maxEdgePoints; its end left
// out like an edge's.
void appendArcPoints(PointF centre, double radius, double startAngle, std::vector<PointF> &points);

} // namespace zentrel::rough
