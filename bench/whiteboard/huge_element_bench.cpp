#include "core/whiteboard/render/comb_element.h"
#include "sessions/session_bench_support.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

using namespace zentrel;

namespace {

enum class HugeStyle {
    hachure,
    crossHatch,
    dashed,
    dotted,
};

// A rectangle 10^exponent points wide and high at the origin, hand-drawn, filled or outlined
// in the style.
WhiteboardElement hugeRectangle(int exponent, HugeStyle style)
{
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::rectangle;
    element.width = std::pow(10.0, exponent);
    element.height = element.width;
    element.style.roughness = 1;
    switch (style) {
    case HugeStyle::hachure:
    case HugeStyle::crossHatch:
        element.style.fillColor = "#ffc9c9";
        element.style.fillStyle = style == HugeStyle::hachure ? WhiteboardFillStyle::hachure
                                                              : WhiteboardFillStyle::crossHatch;
        break;
    case HugeStyle::dashed:
        element.style.strokeStyle = WhiteboardStrokeStyle::dashed;
        break;
    case HugeStyle::dotted:
        element.style.strokeStyle = WhiteboardStrokeStyle::dotted;
        break;
    }
    return element;
}

// A comb of `teeth` teeth 10^4 points wide as one closed line, hand-drawn, filled in `style`. A
// `rounded` one curves through its corners, which its stroke and fill flatten into many more
// pieces.
WhiteboardElement combLine(int teeth, WhiteboardFillStyle style, bool rounded = false)
{
    WhiteboardElement element = combElement(WhiteboardElementKind::line, teeth, 1e4, style);
    element.style.roughness = 1;
    if (rounded) {
        element.style.roundnessType = 2;
    }
    return element;
}

// Plans the element, prepares its paths for painting and paints the 1920 × 1080 view on its top
// left corner at `zoom`, reporting the time of each step, the plan's path elements and the peak
// memory of all.
void runElement(benchmark::State &state, const WhiteboardElement &element, double zoom)
{
    QImage target(QSize(1920, 1080), QImage::Format_ARGB32_Premultiplied);
    const PeakMemory peak;
    double planMs = 0;
    double prepareMs = 0;
    double paintMs = 0;
    std::size_t pieces = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        const ElementRenderPlan plan =
            elementRenderPlan(element, elementRenderRoughness(element), zoom, {});
        planMs += double(timer.nsecsElapsed()) / 1e6;
        pieces = planPathElements(plan);
        timer.start();
        const PaintedElement painted = paintedPlan(plan);
        prepareMs += double(timer.nsecsElapsed()) / 1e6;
        timer.start();
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(QRect(QPoint(0, 0), target.size()));
        painter.scale(zoom, zoom);
        paintElement(painter, painted);
        painter.end();
        paintMs += double(timer.nsecsElapsed()) / 1e6;
        benchmark::DoNotOptimize(target.bits());
    }
    const double runs = double(state.iterations());
    state.counters["plan_ms"] = planMs / runs;
    state.counters["prepare_ms"] = prepareMs / runs;
    state.counters["paint_ms"] = paintMs / runs;
    state.counters["plan_pieces"] = double(pieces);
    if (const std::optional<double> megabytes = peak.megabytesAbove()) {
        state.counters["peak_MB"] = *megabytes;
    }
}

void runHugeElement(benchmark::State &state, HugeStyle style)
{
    runElement(state, hugeRectangle(int(state.range(0)), style), double(state.range(1)));
}

// Sides of 10^3, 10^7 and 10^9 points, at 100 % and at 400 %.
void hugeSizes(benchmark::internal::Benchmark *benchmark)
{
    for (const int exponent : {3, 7, 9}) {
        for (const int zoom : {1, 4}) {
            benchmark->Args({exponent, zoom});
        }
    }
    benchmark->Unit(benchmark::kMillisecond);
}

// budget: < 50 ms and < 50 MB in all at every size import takes and every zoom
void BM_HugeElement_Hachure(benchmark::State &state)
{
    runHugeElement(state, HugeStyle::hachure);
}

BENCHMARK(BM_HugeElement_Hachure)->Apply(hugeSizes);

// budget: as above
void BM_HugeElement_CrossHatch(benchmark::State &state)
{
    runHugeElement(state, HugeStyle::crossHatch);
}

BENCHMARK(BM_HugeElement_CrossHatch)->Apply(hugeSizes);

// budget: as above
void BM_HugeElement_Dashed(benchmark::State &state)
{
    runHugeElement(state, HugeStyle::dashed);
}

BENCHMARK(BM_HugeElement_Dashed)->Apply(hugeSizes);

// budget: as above
void BM_HugeElement_Dotted(benchmark::State &state)
{
    runHugeElement(state, HugeStyle::dotted);
}

BENCHMARK(BM_HugeElement_Dotted)->Apply(hugeSizes);

// The worst fills found: combs of 100, 511 (the most drawn through every point, by hand) and
// 10,000 teeth (thinned to at most 4,096 points), at 100 % and at 800 %, where the teeth of the
// first two show; the 10,000 teeth of a 716 KB document froze the program for minutes.
void combSizes(benchmark::internal::Benchmark *benchmark)
{
    for (const int teeth : {100, 511, 10'000}) {
        for (const int zoom : {1, 8}) {
            benchmark->Args({teeth, zoom});
        }
    }
    benchmark->Unit(benchmark::kMillisecond);
}

// budget: < 250 ms in all on one thread for the full-HD view and < 50 MB, at every number of
// teeth and every zoom
void BM_HugeElement_CombCrossHatch(benchmark::State &state)
{
    runElement(state,
               combLine(int(state.range(0)), WhiteboardFillStyle::crossHatch),
               double(state.range(1)));
}

BENCHMARK(BM_HugeElement_CombCrossHatch)->Apply(combSizes);

// budget: as above
void BM_HugeElement_CombHachure(benchmark::State &state)
{
    runElement(
        state, combLine(int(state.range(0)), WhiteboardFillStyle::hachure), double(state.range(1)));
}

BENCHMARK(BM_HugeElement_CombHachure)->Apply(combSizes);

// budget: as above
void BM_HugeElement_CombSolid(benchmark::State &state)
{
    runElement(
        state, combLine(int(state.range(0)), WhiteboardFillStyle::solid), double(state.range(1)));
}

BENCHMARK(BM_HugeElement_CombSolid)->Apply(combSizes);

// budget: as above; the worst shape found
void BM_HugeElement_CombRoundedCrossHatch(benchmark::State &state)
{
    runElement(state,
               combLine(int(state.range(0)), WhiteboardFillStyle::crossHatch, true),
               double(state.range(1)));
}

BENCHMARK(BM_HugeElement_CombRoundedCrossHatch)->Apply(combSizes);

} // namespace
