#include "drawing/rough_path_generator.h"

#include "drawing/rough_path_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

using namespace zentrel;

namespace {

using Op = Path::Op;
using Level = RoughPathGenerator::RoughnessLevel;

constexpr double tolerance = 1e-9;

// Each subpath as its elements, split at every moveTo.
std::vector<std::vector<Path::Element>> subpaths(const Path &path)
{
    std::vector<std::vector<Path::Element>> result;
    for (const Path::Element &element : path.elements()) {
        if (element.op == Op::moveTo) {
            result.emplace_back();
        }
        result.back().push_back(element);
    }
    return result;
}

void expectNear(PointF actual, PointF expected, double within = tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, within);
    EXPECT_NEAR(actual.y, expected.y, within);
}

} // namespace

TEST(RoughPathGenerator, RandomSequenceStartsAtTheSeed)
{
    rough::RandomSequence fromZero(0);
    EXPECT_EQ(fromZero.draw(), 0.407);
    EXPECT_EQ(fromZero.state(), 1442695040888963407ULL);
    EXPECT_EQ(fromZero.draw(), 0.466);

    // The increment is odd, so from state 0 the sign draw reads odd: negative.
    EXPECT_TRUE(rough::RandomSequence(0).drawNegativeSign());
}

TEST(RoughPathGenerator, LevelsFollowThePreferencesLevelsOneToOne)
{
    for (std::size_t i = 0; i < allRoughnessLevels.size(); ++i) {
        EXPECT_EQ(roughPathRoughness(allRoughnessLevels[i]),
                  RoughPathGenerator::allRoughnessLevels[i]);
    }

    EXPECT_EQ(RoughPathGenerator::roughnessLevelFromRawValue(3), Level::high);
    EXPECT_EQ(RoughPathGenerator::roughnessLevelFromRawValue(4), std::nullopt);
    EXPECT_EQ(RoughPathGenerator::roughnessLevelFromRawValue(-1), std::nullopt);
}

TEST(RoughPathGenerator, ShortMediumLineMatchesValuesWorkedOutForSeedZero)
{
    // Draws 0.407, 0.466, 0.793, 0.940 move the ends; 0.283 bows the single inner point.
    const Path path = RoughPathGenerator(0, Level::medium).linePath({0, 0}, {10, 0});
    const auto &e = path.elements();
    ASSERT_EQ(e.size(), 3U);
    expectNear(e[0].points[0], {-0.02232, -0.00816});
    expectNear(e[1].points[0], {5.0279132440264815, -0.2984579464787319});
    expectNear(e[1].points[1], {7.549116622013241, -0.09642897323936597});
    EXPECT_EQ(e[2].points[0], e[1].points[0]);
    expectNear(e[2].points[1], {10.07032, 0.1056});
}

TEST(RoughPathGenerator, SmoothLineWithoutRoughnessStaysOnTheSegmentInEighths)
{
    const Path path = RoughPathGenerator(99, Level::none).linePath({0, 0}, {100, 0});
    const auto &e = path.elements();
    // moveTo, seven curves to inner midpoints, one to the end.
    ASSERT_EQ(e.size(), 9U);
    EXPECT_EQ(e[0].points[0], (PointF{0, 0}));
    for (std::size_t i = 1; i <= 7; ++i) {
        const double x = 12.5 * static_cast<double>(i);
        expectNear(e[i].points[0], {x, 0});
        expectNear(e[i].points[1], {x + 6.25, 0});
    }
    EXPECT_EQ(e[8].points[1], (PointF{100, 0}));
}

TEST(RoughPathGenerator, HighLineDrawsTwoOutlinesWithEndsCloseToTheGivenOnes)
{
    for (std::uint64_t seed = 0; seed < 200; ++seed) {
        const auto parts =
            subpaths(RoughPathGenerator(seed, Level::high).linePath({0, 0}, {100, 0}));
        ASSERT_EQ(parts.size(), 2U);
        const double limits[] = {0.15 * 1.6 + tolerance, 0.3 * 1.6 + tolerance};
        for (std::size_t pass = 0; pass < 2; ++pass) {
            const PointF start = parts[pass].front().points[0];
            const PointF end = *parts[pass].back().endPoint();
            expectNear(start, {0, 0}, limits[pass]);
            expectNear(end, {100, 0}, limits[pass]);
        }
    }
}

TEST(RoughPathGenerator, EachShapeSeedsItsSecondPassWithItsOwnStep)
{
    // Line: seed + 131 wraps to exactly 0, so the ends use 0.407 and 0.466, at 0.3 × 1.6.
    const std::uint64_t seed = std::numeric_limits<std::uint64_t>::max() - 130;
    const auto line = subpaths(RoughPathGenerator(seed, Level::high).linePath({0, 0}, {50, 0}));
    ASSERT_EQ(line.size(), 2U);
    expectNear(line[1].front().points[0], {-0.08928, -0.03264});

    // A polyline's passes differ only in the seed, + 193 per pass.
    const std::vector<PointF> zigzag{{0, 0}, {30, 20}, {60, 0}};
    const auto twice = subpaths(RoughPathGenerator(9, Level::high).polylinePath(zigzag, false));
    const auto later =
        subpaths(RoughPathGenerator(9 + 193, Level::high).polylinePath(zigzag, false));
    ASSERT_EQ(twice.size(), 2U);
    EXPECT_EQ(twice[1], later[0]);

    // Closed curve: seeds 0 and 211 draw 0.407 and 0.110; the square's corner moves diagonally.
    const std::vector<PointF> square{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    const auto curve = subpaths(RoughPathGenerator(0, Level::high).closedCurvePath(square));
    ASSERT_EQ(curve.size(), 2U);
    expectNear(curve[0][1].points[0], {-0.21043497808111658, -0.21043497808111658});
    expectNear(curve[1][1].points[0], {-0.5294815577524867, -0.5294815577524867});

    // Ellipse: seed 5 + 97 gives the phases 0.357 and 0.416, at amplitude 0.96.
    const auto ellipse = subpaths(RoughPathGenerator(5, Level::high).ellipsePath({0, 0, 100, 50}));
    ASSERT_EQ(ellipse.size(), 2U);
    expectNear(ellipse[1][1].points[0], {100.65742926154941, 25});
}

TEST(RoughPathGenerator, TinyAndZeroLengthLinesStillGetTwoPieces)
{
    const Path shortLine = RoughPathGenerator(3, Level::none).linePath({0, 0}, {5, 0});
    ASSERT_EQ(shortLine.elements().size(), 3U);
    expectNear(shortLine.elements()[1].points[0], {2.5, 0});

    for (Level level : RoughPathGenerator::allRoughnessLevels) {
        const auto parts = subpaths(RoughPathGenerator(8, level).linePath({5, 5}, {5, 5}));
        ASSERT_EQ(parts.size(), static_cast<std::size_t>(RoughPathGenerator::passCount(level)));
        // The bow is at most the amplitude plus the end jitter, and nothing turns NaN.
        const double within = RoughPathGenerator::amplitude(level) * 1.3 + tolerance;
        for (const auto &part : parts) {
            ASSERT_EQ(part.size(), 3U);
            expectNear(*part[1].endPoint(), {5, 5}, within);
        }
    }
}

TEST(RoughPathGenerator, PolylineContinuesOneSequenceAcrossItsSides)
{
    // Seed 7 draws 0.210 for the first side and 0.905 for the second; offsets (2u - 1) × 0.8.
    const Path path =
        RoughPathGenerator(7, Level::medium).polylinePath({{0, 0}, {28, 0}, {56, 0}}, false);
    const auto &e = path.elements();
    ASSERT_EQ(e.size(), 5U);
    EXPECT_EQ(e[0].points[0], (PointF{0, 0}));
    expectNear(e[1].points[0], {14, -0.464});
    expectNear(e[1].points[1], {21, -0.232});
    EXPECT_EQ(e[2].points[1], (PointF{28, 0}));
    expectNear(e[3].points[0], {42, 0.648});
    EXPECT_EQ(e[4].points[1], (PointF{56, 0}));
}

TEST(RoughPathGenerator, PolylineNeverMovesACornerAndClosesAtTheFirst)
{
    const std::vector<PointF> corners{{10, 10}, {90, 20}, {70, 80}};
    const auto parts = subpaths(RoughPathGenerator(5, Level::high).polylinePath(corners, true));
    ASSERT_EQ(parts.size(), 2U);
    for (const auto &part : parts) {
        EXPECT_EQ(part.front().points[0], corners[0]);
        EXPECT_EQ(part.back().op, Op::close);
        EXPECT_EQ(part[part.size() - 2].endPoint(), corners[0]);
        std::vector<PointF> visited;
        for (const auto &element : part) {
            visited.push_back(*element.endPoint());
        }
        for (const PointF corner : corners) {
            EXPECT_NE(std::find(visited.begin(), visited.end(), corner), visited.end());
        }
    }
    EXPECT_TRUE(RoughPathGenerator(5, Level::high).polylinePath({{1, 1}}, true).isEmpty());
}

TEST(RoughPathGenerator, RectangleIsTheClosedPolylineOfItsNormalisedCorners)
{
    const RoughPathGenerator generator(11, Level::medium);
    const Path expected =
        generator.polylinePath({{10, 20}, {410, 20}, {410, 320}, {10, 320}}, true);
    EXPECT_EQ(generator.rectanglePath({10, 20, 400, 300}), expected);
    EXPECT_EQ(generator.rectanglePath({410, 320, -400, -300}), expected);
}

TEST(RoughPathGenerator, RoundedRectanglePointsFollowEdgesAndQuarterCircles)
{
    // Edges of 80 and 40 give 6 and 3 points; arcs of radius 10 fall back to 3 points each.
    const auto points = RoughPathGenerator::roundedRectanglePoints({0, 0, 100, 60}, 10);
    ASSERT_EQ(points.size(), 30U);
    const std::size_t arcStarts[] = {6, 12, 21, 27};
    const PointF arcStartPoints[] = {{90, 0}, {100, 50}, {10, 60}, {0, 10}};
    const PointF arcCentres[] = {{90, 10}, {90, 50}, {10, 50}, {10, 10}};
    for (std::size_t arc = 0; arc < 4; ++arc) {
        expectNear(points[arcStarts[arc]], arcStartPoints[arc]);
        for (std::size_t k = 0; k < 3; ++k) {
            const PointF p = points[arcStarts[arc] + k];
            EXPECT_NEAR(std::hypot(p.x - arcCentres[arc].x, p.y - arcCentres[arc].y), 10, 1e-9);
        }
    }
    expectNear(points[0], {10, 0});
    expectNear(points[15], {90, 60});

    // Radius 0: top 2, arc 3, right 1, arc 3, bottom 2, arc 3, left 1, arc 3.
    const auto sharp = RoughPathGenerator::roundedRectanglePoints({0, 0, 28, 14}, 0);
    ASSERT_EQ(sharp.size(), 18U);
    for (std::size_t k = 2; k < 5; ++k) {
        expectNear(sharp[k], {28, 0});
        expectNear(sharp[k + 13], {0, 0});
    }
}

TEST(RoughPathGenerator, ClosedCurveMovesPointsAlongTheirNormalsOnly)
{
    const std::vector<PointF> square{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    Path flat;
    RoughPathGenerator::addSmoothClosedCurve(square, flat);
    EXPECT_EQ(RoughPathGenerator(1, Level::none).closedCurvePath(square), flat);

    const auto parts = subpaths(RoughPathGenerator(1, Level::high).closedCurvePath(square));
    ASSERT_EQ(parts.size(), 2U);
    const double factors[] = {1.0, 0.6};
    for (std::size_t pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(parts[pass].size(), 6U);
        EXPECT_EQ(parts[pass].back().op, Op::close);
        // At a square's corner the normal runs diagonally, so both axes move by the same amount.
        for (std::size_t i = 0; i < 4; ++i) {
            const PointF moved = parts[pass][i + 1].points[0];
            const double dx = moved.x - square[i].x;
            const double dy = moved.y - square[i].y;
            EXPECT_NEAR(std::abs(dx), std::abs(dy), tolerance);
            EXPECT_LE(std::hypot(dx, dy), factors[pass] * 1.6 + tolerance);
        }
    }
}

TEST(RoughPathGenerator, EllipseSamplesLieOnTheEllipseWithoutRoughness)
{
    const Path path = RoughPathGenerator(4, Level::none).ellipsePath({0, 0, 100, 50});
    const auto &e = path.elements();
    ASSERT_EQ(e.size(), 98U);
    EXPECT_EQ(e.back().op, Op::close);
    for (std::size_t i = 1; i <= 96; ++i) {
        const PointF sample = e[i].points[0];
        const double dx = (sample.x - 50) / 50;
        const double dy = (sample.y - 25) / 25;
        EXPECT_NEAR(dx * dx + dy * dy, 1, tolerance);
    }
    expectNear(e[1].points[0], {100, 25});
}

TEST(RoughPathGenerator, EllipseWobbleMatchesValuesWorkedOutForSeedFive)
{
    // Seed 5 gives the phases 0.816 and 0.999.
    const Path path = RoughPathGenerator(5, Level::medium).ellipsePath({0, 0, 100, 50});
    ASSERT_EQ(path.elements().size(), 98U);
    expectNear(path.elements()[1].points[0], {99.52231530992677, 25});
    expectNear(path.elements()[25].points[0], {50, 50.05286234485146});
    EXPECT_EQ(subpaths(RoughPathGenerator(5, Level::high).ellipsePath({0, 0, 9, 9})).size(), 2U);
}

TEST(RoughPathGenerator, ArrowWingsGrowWithTheLineWidthAndShareTheLineOffsets)
{
    const RoughPathGenerator plain(2, Level::none);
    const double lineWidths[] = {2, 5};
    const double wingLengths[] = {12, 20};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto parts = subpaths(plain.arrowPath({0, 0}, {100, 0}, lineWidths[i]));
        ASSERT_EQ(parts.size(), 3U);
        for (std::size_t wing = 1; wing < 3; ++wing) {
            const PointF tip = *parts[wing].back().endPoint();
            EXPECT_NEAR(std::hypot(tip.x - 100, tip.y), wingLengths[i], tolerance);
            EXPECT_NEAR(std::abs(tip.y), wingLengths[i] / 2, tolerance);
        }
    }

    const RoughPathGenerator rough(2, Level::medium);
    const auto parts = subpaths(rough.arrowPath({0, 0}, {100, 0}, 2));
    ASSERT_EQ(parts.size(), 3U);
    EXPECT_EQ(parts[0], subpaths(rough.linePath({0, 0}, {100, 0}))[0]);
}

TEST(RoughPathGenerator, FreehandJitterMatchesValuesWorkedOutForSeed42)
{
    const std::vector<PointF> stroke{{0, 0}, {10, 10}, {20, 0}};
    const auto moved = RoughPathGenerator(42, Level::low).jitteredPoints(stroke);
    ASSERT_EQ(moved.size(), 3U);
    expectNear(moved[0], {-0.104265, 0.0021});
    expectNear(moved[1], {9.73225, 10.2968});
    expectNear(moved[2], {19.943615, 0.01554});

    const Path path = RoughPathGenerator(42, Level::low).freehandPath(stroke);
    ASSERT_EQ(path.elements().size(), 3U);
    EXPECT_EQ(path.elements()[1].op, Op::lineTo);
    EXPECT_EQ(path.elements()[2].points[0], moved[2]);
}

TEST(RoughPathGenerator, FreehandEndsMoveLittleAndNoneLeavesPointsAlone)
{
    EXPECT_TRUE(RoughPathGenerator(1, Level::high).freehandPath({{3, 3}}).isEmpty());
    const std::vector<PointF> stroke{{0, 0}, {30, 40}};
    for (std::uint64_t seed = 0; seed < 200; ++seed) {
        const auto moved = RoughPathGenerator(seed, Level::low).jitteredPoints(stroke);
        ASSERT_EQ(moved.size(), 2U);
        expectNear(moved[0], stroke[0], 0.3 * 0.35 + tolerance);
        expectNear(moved[1], stroke[1], 0.3 * 0.35 + tolerance);
    }
    EXPECT_EQ(RoughPathGenerator(1, Level::none).jitteredPoints(stroke), stroke);
}

TEST(RoughPathGenerator, SmoothingNeedsEnoughPoints)
{
    Path open;
    RoughPathGenerator::addSmoothOpenCurve({{0, 0}}, open);
    EXPECT_TRUE(open.isEmpty());
    RoughPathGenerator::addSmoothOpenCurve({{0, 0}, {4, 4}}, open);
    ASSERT_EQ(open.elements().size(), 1U);
    EXPECT_EQ(open.elements()[0].op, Op::lineTo);

    Path closed;
    RoughPathGenerator::addSmoothClosedCurve({{0, 0}, {4, 4}}, closed);
    EXPECT_TRUE(closed.isEmpty());
    EXPECT_TRUE(RoughPathGenerator(1, Level::high).closedCurvePath({{0, 0}, {5, 5}}).isEmpty());
}

TEST(RoughPathGenerator, SameSeedRepeatsEveryShapeAndAnotherSeedChangesIt)
{
    const std::vector<PointF> points{{0, 0}, {40, 10}, {80, 60}, {20, 90}};
    auto shapes = [&](std::uint64_t seed) {
        const RoughPathGenerator g(seed, Level::high);
        return std::vector<Path>{g.linePath({0, 0}, {200, 50}),
                                 g.polylinePath(points, false),
                                 g.rectanglePath({0, 0, 120, 80}),
                                 g.closedCurvePath(points),
                                 g.ellipsePath({0, 0, 120, 80}),
                                 g.arrowPath({0, 0}, {90, 90}, 3),
                                 g.freehandPath(points)};
    };
    const auto first = shapes(1234);
    const auto again = shapes(1234);
    const auto other = shapes(1235);
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_FALSE(first[i].isEmpty()) << i;
        EXPECT_EQ(first[i], again[i]) << i;
        EXPECT_NE(first[i], other[i]) << i;
    }
}

TEST(RoughPathGenerator, UnusableInputGivesNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const RoughPathGenerator g(1, Level::medium);
    EXPECT_TRUE(g.linePath({nan, 0}, {1, 1}).isEmpty());
    EXPECT_TRUE(g.linePath({0, 0}, {2e7, 0}).isEmpty());
    EXPECT_TRUE(g.polylinePath({{0, 0}, {1, inf}}, false).isEmpty());
    EXPECT_TRUE(g.rectanglePath({0, 0, nan, 10}).isEmpty());
    EXPECT_TRUE(g.rectanglePath({-1.7e308, 0, 1.7e308, 10}).isEmpty());
    EXPECT_TRUE(g.rectanglePath({0, 0, 3e7, 10}).isEmpty());
    EXPECT_TRUE(g.closedCurvePath({{0, 0}, {1, 1}, {nan, 2}}).isEmpty());
    EXPECT_TRUE(g.ellipsePath({0, inf, 10, 10}).isEmpty());
    EXPECT_TRUE(g.arrowPath({0, 0}, {10, 10}, nan).isEmpty());
    EXPECT_TRUE(g.arrowPath({0, 0}, {10, 10}, 1e8).isEmpty());
    EXPECT_TRUE(g.freehandPath({{0, 0}, {nan, 1}}).isEmpty());
    EXPECT_TRUE(RoughPathGenerator::roundedRectanglePoints({0, 0, 10, 10}, inf).empty());
    EXPECT_TRUE(RoughPathGenerator::roundedRectanglePoints({0, 0, 10, 10}, 1e8).empty());
}

TEST(RoughPathGenerator, LongSidesBowOverLongerPiecesSoAnOutlineCostsTheSameAtAnySize)
{
    const RoughPathGenerator g(7, Level::high);
    const auto pieces = [](const Path &path) {
        return std::count_if(path.elements().begin(), path.elements().end(), [](const auto &e) {
            return e.op == Op::quadTo || e.op == Op::lineTo;
        });
    };
    // Short sides keep a piece about every 14 points: 10 per pass here.
    EXPECT_EQ(pieces(g.linePath({0, 0}, {133, 0})), 2 * 10);
    EXPECT_EQ(pieces(g.linePath({0, 0}, {1e7, 0})), 2 * std::int64_t(rough::piecesPerPass));
    EXPECT_EQ(pieces(g.rectanglePath({0, 0, 1e7, 1e7})), 2 * std::int64_t(rough::piecesPerPass));
    // A thousand long sides share one pass's pieces.
    std::vector<PointF> zigzag;
    for (int i = 0; i < 1000; ++i) {
        zigzag.push_back({i * 1e4, (i % 2) * 1e6});
    }
    EXPECT_LE(pieces(g.polylinePath(zigzag, false)), 2 * std::int64_t(rough::piecesPerPass));
    EXPECT_LE(pieces(g.curvePath(zigzag)), 2 * std::int64_t(rough::piecesPerPass));
    const auto corners = RoughPathGenerator::roundedRectanglePoints({0, 0, 1e7, 1e7}, 1e6);
    EXPECT_LE(corners.size(), 8 * std::size_t(rough::maxEdgePoints));
    EXPECT_GE(corners.size(), 4 * std::size_t(rough::maxEdgePoints));
}
