#include "whiteboard/canvas/element_layer/painted_element.h"

#include "whiteboard/editor_bench_support.h"
#include "whiteboard/render/element_render_plan.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace zentrel;

namespace {

// The elements of the generated board, hand-drawn, each wobbling its own way, with solid and
// hatched fills in turn: the everyday shapes every opening of a board prepares.
std::vector<WhiteboardElement> ordinaryElements(int count)
{
    std::vector<WhiteboardElement> elements;
    std::uint64_t draws = 0;
    const UuidRandomSource random = [&draws] {
        return ++draws * 0x9e3779b97f4a7c15;
    };
    int index = 0;
    for (const ElementPtr &element : generatedBoard(count).elements) {
        WhiteboardElement copy = *element;
        copy.id = Uuid::generate(random);
        copy.style.roughness = 2;
        copy.style.fillStyle =
            index++ % 4 < 2 ? WhiteboardFillStyle::hachure : WhiteboardFillStyle::solid;
        elements.push_back(std::move(copy));
    }
    return elements;
}

// budget: < 100 ms on one thread to plan, prepare and paint 1,000 ordinary elements on a
// 1920 × 1080 view, of which painting (paint_ms) < 40 ms
void BM_PaintedElement_OrdinaryElements(benchmark::State &state)
{
    const std::vector<WhiteboardElement> elements = ordinaryElements(int(state.range(0)));
    QImage target(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    double paintMs = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        std::vector<PaintedElement> painted;
        painted.reserve(elements.size());
        for (const WhiteboardElement &element : elements) {
            painted.push_back(paintedElement(element, 1));
        }
        timer.start();
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(target.rect());
        for (const PaintedElement &element : painted) {
            paintElement(painter, element);
        }
        painter.end();
        paintMs += double(timer.nsecsElapsed()) / 1e6;
        benchmark::DoNotOptimize(target.bits());
    }
    state.counters["paint_ms"] = paintMs / double(state.iterations());
}

BENCHMARK(BM_PaintedElement_OrdinaryElements)->Arg(1'000)->Unit(benchmark::kMillisecond);

} // namespace
