#include "e2e/processes/process_use.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/editor_bench_support.h"

#include <QCoreApplication>
#include <QImage>
#include <QThread>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace zentrel;

namespace {

const QSize viewSize(1920, 1080);
constexpr int notches = 12;
// A wheel notch zooms by e^0.24.
const double notchZoom = std::exp(0.24);

// Small rough rectangles, ellipses and diamonds, 40 × 30 points, a thousand to a row, as an
// imported board of many shapes has them.
WhiteboardLibrary libraryOfShapes(WhiteboardEditorModel &model, int count)
{
    static constexpr WhiteboardElementKind kinds[] = {WhiteboardElementKind::rectangle,
                                                      WhiteboardElementKind::ellipse,
                                                      WhiteboardElementKind::diamond};
    WhiteboardLibrary library = model.library();
    std::vector<ElementPtr> &elements = library.boards.front().elements;
    elements.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        WhiteboardElement element;
        element.id = model.makeIdentifier();
        element.kind = kinds[i % 3];
        element.setFrame({(i % 1000) * 60.0, (i / 1000) * 50.0, 40, 30});
        element.style.strokeColor = "#1e1e1e";
        element.style.roughness = 1;
        elements.push_back(makeElement(std::move(element)));
    }
    library.boards.front().background = WhiteboardBackground::white();
    return library;
}

// Waits for the pictures painted on pool threads, and what the view does once they are done.
void settle()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

// Shows the frame after a wheel notch, and the sharp one the view paints once the wheel rests, as
// a person who pauses between notches sees.
void drawNotch(WhiteboardCanvasView &view, QImage &target)
{
    view.render(&target);
    settle();
    QThread::msleep(100); // past the view's wait for the wheel to rest
    settle();
    view.render(&target);
    settle();
    view.render(&target);
}

// budget: < 1,200 MB at the peak on 200,000 shapes (< 3,000 MB on 850,000) through 12 wheel
// notches out and 12 back in, from opening the board; back in, within 10 % of what it held
// once open.
void BM_Canvas_ZoomOutAndBackPeakMemory(benchmark::State &state)
{
    const qint64 pid = QCoreApplication::applicationPid();
    for (auto _ : state) {
        resetPeakResident(pid);
        TemporaryDirectory folder;
        FakeClock clock;
        DroppingScheduler scheduler;
        WhiteboardEditorModel model(WhiteboardLibraryStore(folder.path(), clock, countingRandom()),
                                    Color{},
                                    2,
                                    2,
                                    {&clock, &scheduler, countingRandom()});
        model.setLibrary(libraryOfShapes(model, int(state.range(0))));
        QImage target(viewSize, QImage::Format_ARGB32_Premultiplied);
        {
            WhiteboardCanvasView view(model);
            view.resize(viewSize);
            drawNotch(view, target);
            settle();
            const double opened = residentMegabytes(pid);
            state.counters["opening_peak_MB"] = peakResidentMegabytes(pid);
            resetPeakResident(pid);

            const QPointF middle(viewSize.width() / 2.0, viewSize.height() / 2.0);
            for (int notch = 0; notch < 2 * notches; ++notch) {
                zoom(model, notch < notches ? 1 / notchZoom : notchZoom, {middle.x(), middle.y()});
                drawNotch(view, target);
            }
            state.counters["opened_MB"] = opened;
            // Past the view's wait for zooms to pause, and the pool thread that hands memory back.
            QThread::msleep(400);
            settle();
            settle();
            state.counters["back_MB"] = residentMegabytes(pid);
            state.counters["peak_MB"] = peakResidentMegabytes(pid);
        }
    }
}

BENCHMARK(BM_Canvas_ZoomOutAndBackPeakMemory)
    ->Arg(200'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
