#include "drawing/rough_path_generator.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace zentrel;

namespace {

using Level = RoughPathGenerator::RoughnessLevel;

// Every whiteboard element is regenerated on each redraw, so a board of a few hundred elements
// must fit a frame many times over.

// budget: < 100 µs for a 1000-point freehand stroke
void BM_RoughPathGenerator_Freehand1000(benchmark::State &state)
{
    std::vector<PointF> stroke;
    for (int i = 0; i < 1000; ++i) {
        stroke.push_back({i * 0.8, 200 + 50 * std::sin(i * 0.05)});
    }
    const RoughPathGenerator generator(0x5eed, Level::high);
    for (auto _ : state) {
        benchmark::DoNotOptimize(generator.freehandPath(stroke));
    }
}

BENCHMARK(BM_RoughPathGenerator_Freehand1000);

// budget: < 20 µs for a 400 by 300 rectangle at high roughness
void BM_RoughPathGenerator_RectangleHigh(benchmark::State &state)
{
    const RoughPathGenerator generator(0x5eed, Level::high);
    for (auto _ : state) {
        benchmark::DoNotOptimize(generator.rectanglePath({10, 10, 400, 300}));
    }
}

BENCHMARK(BM_RoughPathGenerator_RectangleHigh);

// budget: < 30 µs for an ellipse at high roughness (two passes of 96 samples)
void BM_RoughPathGenerator_EllipseHigh(benchmark::State &state)
{
    const RoughPathGenerator generator(0x5eed, Level::high);
    for (auto _ : state) {
        benchmark::DoNotOptimize(generator.ellipsePath({10, 10, 400, 300}));
    }
}

BENCHMARK(BM_RoughPathGenerator_EllipseHigh);

// budget: < 20 µs for a rounded 400 by 300 rectangle through the closed curve, medium roughness
void BM_RoughPathGenerator_RoundedRectangle(benchmark::State &state)
{
    const RoughPathGenerator generator(0x5eed, Level::medium);
    for (auto _ : state) {
        const auto outline = RoughPathGenerator::roundedRectanglePoints({10, 10, 400, 300}, 24);
        benchmark::DoNotOptimize(generator.closedCurvePath(outline));
    }
}

BENCHMARK(BM_RoughPathGenerator_RoundedRectangle);

} // namespace
