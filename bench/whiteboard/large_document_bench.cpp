#include "common/files/atomic_file.h"
#include "common/pool_parallel_work.h"
#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/editor_bench_support.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/excalidraw/import/excalidraw_json_reader.h"

#include <QElapsedTimer>
#include <QImage>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

using namespace zentrel;

namespace {

// The most resident memory since the last reset, in MB; the kernel resets it on request.
double peakMegabytesSinceReset()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024;
        }
    }
    return -1;
}

// Memory freed by earlier steps goes back to the system first, so it is not counted again.
void resetPeakMemory()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Reports how long `step` took and the most memory the process held meanwhile, as counters
// "<name>_s" and "<name>_peak_MB".
void measureStep(benchmark::State &state,
                 const std::string &name,
                 const std::function<void()> &step)
{
    resetPeakMemory();
    QElapsedTimer timer;
    timer.start();
    step();
    state.counters[name + "_s"] = double(timer.nsecsElapsed()) / 1e9;
    state.counters[name + "_peak_MB"] = peakMegabytesSinceReset();
}

// A document through what the whiteboard does with it: import, show on a 1920 × 1080 canvas,
// export as PNG and as Excalidraw, save the library, close.
void runDocument(benchmark::State &state, const std::string &document)
{
    const TemporaryDirectory folder;
    FakeClock clock;
    DroppingScheduler scheduler;
    for (auto _ : state) {
        const WhiteboardEditorServices services{&clock, &scheduler, countingRandom()};
        auto model = std::make_unique<WhiteboardEditorModel>(
            WhiteboardLibraryStore(folder.path(), clock, countingRandom()),
            Color{},
            2,
            2,
            services);
        std::unique_ptr<WhiteboardCanvasView> view;
        QImage target(QSize(1920, 1080), QImage::Format_ARGB32_Premultiplied);
        bool ok = true;
        measureStep(state, "import", [&] {
            auto imported = importExcalidrawDocument(document, "Large");
            ok = imported.has_value();
            if (ok) {
                model->insertBoard(std::move(imported->board));
            }
        });
        if (!ok) {
            state.SkipWithError("the document was refused");
            break;
        }
        measureStep(state, "paint", [&] {
            view = std::make_unique<WhiteboardCanvasView>(*model);
            view->resize(target.size());
            view->render(&target);
        });
        measureStep(state, "png_export", [&] { ok = view->renderPNGData().has_value() && ok; });
        measureStep(state, "excalidraw_export", [&] {
            auto file = AtomicFileWriter::create(folder.path() / "export.excalidraw");
            ok = file && writeExcalidrawDocument(*file, model->currentBoard()) && file->commit()
                 && ok;
        });
        measureStep(state, "library_save", [&] {
            WhiteboardLibraryStore store(folder.path(), clock, countingRandom());
            store.setParallelWork(runOnThreadPool);
            ok = store.save(model->library()).has_value() && ok;
        });
        measureStep(state, "close", [&] {
            view.reset();
            model.reset();
        });
        if (!ok) {
            state.SkipWithError("a step failed");
        }
    }
}

// budget: each step < 10 s and < 2,000 MB peak for 850,000 shapes in 64 MB, the most import takes
void BM_LargeDocument_ManyShapes(benchmark::State &state)
{
    runDocument(state, manyShapesDocument(850'000));
}

BENCHMARK(BM_LargeDocument_ManyShapes)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// budget: each step < 10 s and < 2,000 MB peak for one line of 100,000 points
void BM_LargeDocument_LongLine(benchmark::State &state)
{
    runDocument(state, longLineDocument(100'000));
}

BENCHMARK(BM_LargeDocument_LongLine)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// budget: as above, for a line of 100,000 points that zigzags, so that no point is near the last
void BM_LargeDocument_LongZigzagLine(benchmark::State &state)
{
    runDocument(state, longLineDocument(100'000, true));
}

BENCHMARK(BM_LargeDocument_LongZigzagLine)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// budget: as above, for the most elements import takes
void BM_LargeDocument_MostElements(benchmark::State &state)
{
    runDocument(state, manyShapesDocument(int(ExcalidrawContentLimits{}.elements), false));
}

BENCHMARK(BM_LargeDocument_MostElements)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// budget: as above, for the most points import takes, in one line
void BM_LargeDocument_MostPoints(benchmark::State &state)
{
    runDocument(state, longLineDocument(int(ExcalidrawContentLimits{}.points)));
}

BENCHMARK(BM_LargeDocument_MostPoints)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// budget: each step < 50 ms and < 50 MB for one hand-drawn rectangle of 10^7 or 10^9 points a
// side with the hachure fill another editor gives by default
void BM_LargeDocument_HugeHachure(benchmark::State &state)
{
    runDocument(state,
                hugeElementDocument("rectangle",
                                    std::pow(10.0, double(state.range(0))),
                                    "\"backgroundColor\":\"#ffc9c9\",\"fillStyle\":\"hachure\","
                                    "\"roughness\":1"));
}

BENCHMARK(BM_LargeDocument_HugeHachure)
    ->Arg(7)
    ->Arg(9)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

// budget: as above, for a dashed hand-drawn rectangle
void BM_LargeDocument_HugeDashed(benchmark::State &state)
{
    runDocument(state,
                hugeElementDocument("rectangle",
                                    std::pow(10.0, double(state.range(0))),
                                    "\"strokeStyle\":\"dashed\",\"roughness\":1"));
}

BENCHMARK(BM_LargeDocument_HugeDashed)
    ->Arg(7)
    ->Arg(9)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
