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
#include <utility>
#include <vector>

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

// A closed line through `corners`, hand-drawn and filled solid.
WhiteboardElement closedLine(std::vector<WhiteboardPoint> corners)
{
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::line;
    corners.push_back(corners.front());
    element.points = std::move(corners);
    element.setFrame({0, 0, 0, 0});
    element.style.fillColor = "#ffc9c9";
    element.style.fillStyle = WhiteboardFillStyle::solid;
    element.style.roughness = 1;
    return element;
}

// `count` corners zigzagging across 10^4 points between the heights `top` and `bottom`.
std::vector<WhiteboardPoint> zigzag(int count, double top, double bottom)
{
    std::vector<WhiteboardPoint> corners;
    for (int i = 0; i < count; ++i) {
        corners.push_back({1e4 * i / count, i % 2 == 0 ? top : bottom});
    }
    return corners;
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

// The shapes one far point, crowding or flatness used to make the painter's own slow fill look
// cheap: a zigzag of 2,000 and 4,000 corners 10^4 points high, and the 10,000-tooth comb, each
// with one corner 10^11 points away; 4,000 corners in four tight clusters 10^6 points apart;
// 4,000 corners on two rows a point apart. At 100 % and 800 %.
void outlierShapes(benchmark::internal::Benchmark *benchmark)
{
    for (const int shape : {0, 1, 2, 3, 4}) {
        for (const int zoom : {1, 8}) {
            benchmark->Args({shape, zoom});
        }
    }
    benchmark->Unit(benchmark::kMillisecond);
}

WhiteboardElement outlierShape(int shape)
{
    std::vector<WhiteboardPoint> corners;
    switch (shape) {
    case 0:
    case 1:
        corners = zigzag(shape == 0 ? 2'000 : 4'000, 0, 1e4);
        corners.insert(corners.begin() + 1'000, WhiteboardPoint{5e3, 1e11});
        return closedLine(std::move(corners));
    case 2: {
        WhiteboardElement comb = combLine(10'000, WhiteboardFillStyle::solid);
        comb.points.insert(comb.points.begin() + 1'000, WhiteboardPoint{5e3, 1e11});
        return comb;
    }
    case 3:
        for (int cluster = 0; cluster < 4; ++cluster) {
            for (const WhiteboardPoint corner : zigzag(1'000, 0, 10)) {
                corners.push_back({corner.x / 1e3 + cluster * 1e6, corner.y + cluster * 1e6});
            }
        }
        return closedLine(std::move(corners));
    default:
        return closedLine(zigzag(4'000, 0, 1));
    }
}

// budget: < 250 ms in all on one thread for the full-HD view and < 50 MB, for every shape and
// zoom
void BM_HugeElement_Outliers(benchmark::State &state)
{
    runElement(state, outlierShape(int(state.range(0))), double(state.range(1)));
}

BENCHMARK(BM_HugeElement_Outliers)->Apply(outlierShapes);

} // namespace
