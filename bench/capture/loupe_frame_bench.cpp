#include "capture/loupe/loupe_lens.h"
#include "capture/loupe/loupe_view.h"

#include <QImage>
#include <QRegion>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

using namespace zentrel;

namespace {

const QSize fullHd(1920, 1080);

// A noisy screen, so no flat colour flatters the scaling.
QImage noisyScreen()
{
    QImage image(fullHd, QImage::Format_RGB32);
    std::uint32_t state = 12345;
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = 0xff000000u | (state >> 8);
        }
    }
    return image;
}

QRect lensArea(QPointF pointer, const LoupeSettings &settings)
{
    return LoupeLens::deviceRect(loupeGeometry({pointer.x(), pointer.y()},
                                               settings,
                                               {double(fullHd.width()), double(fullHd.height())},
                                               fullHd.width(),
                                               fullHd.height()),
                                 1);
}

// One frame of a loupe following a moving pointer over a changing screen, as the main thread
// runs it: the stream's new pixels around the pointer copied in, the part under the loupe
// scaled, and the old and new places of the loupe painted.
// budget: < 2 ms per frame (240-point loupe at 2x on a full-HD screen)
void BM_LoupeFrame_MovingOverChangingScreen(benchmark::State &state)
{
    const QImage screen = noisyScreen();
    LoupeView view(screen, fullHd);
    view.resize(fullHd);
    QImage window(fullHd, QImage::Format_ARGB32_Premultiplied);
    QPointF pointer(800, 500);
    view.setMouseLocation(pointer);
    // The stream reads 24 points around what the loupe shows.
    const QRect frameArea(0, 0, 168, 168);
    int step = 0;
    for (auto _ : state) {
        // Round and round, about 8 points a frame, as a pointer swept across the screen.
        const QPointF next(800 + 120 * std::cos(step * 0.07), 500 + 120 * std::sin(step * 0.07));
        QRect area = frameArea;
        area.moveCenter(next.toPoint());
        QImage frame = screen.copy(area);
        // Every other frame shows a change under the loupe.
        frame.setPixel(84, 84, step % 2 == 0 ? 0xff000000u : 0xffffffffu);
        frame.setOffset(area.topLeft());
        view.updateRegion(frame);
        const QRegion painted =
            QRegion(lensArea(pointer, view.settings())) + lensArea(next, view.settings());
        view.setMouseLocation(next);
        view.render(&window, painted.boundingRect().topLeft(), painted);
        benchmark::DoNotOptimize(window.constBits());
        pointer = next;
        ++step;
    }
}

} // namespace

BENCHMARK(BM_LoupeFrame_MovingOverChangingScreen)->Unit(benchmark::kMicrosecond);
