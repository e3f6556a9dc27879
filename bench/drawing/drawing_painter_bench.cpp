#include "drawing/drawing_painter.h"

#include "common/pool_thread_painting.h"
#include "drawing/drawing_canvas_model.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

using namespace zentrel;

namespace {

// A 4K canvas holding one long freehand stroke and twenty shapes, the busiest picture the
// live canvas is expected to carry.
void fillCanvas(DrawingCanvasModel &canvas)
{
    const Timestamp now = std::chrono::system_clock::now();
    canvas.setSelectedTool(DrawingTool::freehand);
    canvas.press({100, 1000}, now, false);
    for (int i = 1; i < 5000; ++i) {
        canvas.drag({100 + i * 0.7, 1000 + 400 * std::sin(i / 60.0)});
    }
    canvas.release({3600, 1000});
    const DrawingTool shapes[] = {DrawingTool::rectangle,
                                  DrawingTool::ellipse,
                                  DrawingTool::arrow,
                                  DrawingTool::diamond,
                                  DrawingTool::line};
    for (int i = 0; i < 20; ++i) {
        canvas.setSelectedTool(shapes[i % 5]);
        const PointF start{200.0 + i * 170, 300.0 + (i % 4) * 400};
        canvas.press(start, now, false);
        canvas.drag({start.x + 150, start.y + 120});
        canvas.release({start.x + 150, start.y + 120});
    }
}

// budget: < 40 ms to paint every item of a full 4K canvas (a history change or a fade tick)
void BM_DrawingPainter_FullCanvas4K(benchmark::State &state)
{
    DrawingCanvasModel canvas;
    fillCanvas(canvas);
    QImage image(3840, 2160, QImage::Format_ARGB32_Premultiplied);
    const DrawingPainter painter(ContrastOptions{true, true});
    for (auto _ : state) {
        image.fill(Qt::transparent);
        // As the canvas does, off the main thread (see paintOnPoolThread).
        paintOnPoolThread([&] {
            QPainter qp(&image);
            painter.paintItems(qp, canvas, std::chrono::system_clock::now());
        });
    }
}

BENCHMARK(BM_DrawingPainter_FullCanvas4K)->Unit(benchmark::kMillisecond)->UseRealTime();

// budget: < 4 ms per drag event: the active 5,000-point stroke painted into the small area
// around its newest segment
void BM_DrawingPainter_DragSegment(benchmark::State &state)
{
    DrawingCanvasModel canvas;
    const Timestamp now = std::chrono::system_clock::now();
    canvas.press({100, 1000}, now, false);
    for (int i = 1; i < 5000; ++i) {
        canvas.drag({100 + i * 0.7, 1000 + 400 * std::sin(i / 60.0)});
    }
    QImage image(3840, 2160, QImage::Format_ARGB32_Premultiplied);
    const DrawingPainter painter(ContrastOptions{true, true});
    const QRect segment(3590, 980, 40, 40);
    for (auto _ : state) {
        QPainter qp(&image);
        qp.setClipRect(segment);
        painter.paintActiveStroke(qp, canvas, segment);
    }
}

BENCHMARK(BM_DrawingPainter_DragSegment)->Unit(benchmark::kMillisecond);

} // namespace
