#include "common/pool_parallel_work.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/editor_bench_support.h"
#include "whiteboard/model/store/whiteboard_library_store.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

using namespace zentrel;

namespace {

const QSize viewSize(1920, 1080);

// A library file of one generated board, each element with an identifier of its own, where the
// whiteboard finds it when it opens.
struct SavedBoard
{
    TemporaryDirectory folder;
    FakeClock clock;
    DroppingScheduler scheduler;
    WhiteboardLibraryStore store{folder.path(), clock, countingRandom()};

    bool isSaved = false;

    explicit SavedBoard(int count)
    {
        // As the whiteboard reads its library.
        store.setParallelWork(runOnThreadPool);
        const UuidRandomSource random = countingRandom();
        WhiteboardBoard board = remadeBoard(
            count, [&](WhiteboardElement &element) { element.id = Uuid::generate(random); });
        board.id = Uuid::generate(countingRandom());
        board.showsGrid = true;
        isSaved = store.save(WhiteboardLibrary{1, {board}, board.id, true}).has_value();
    }

    std::unique_ptr<WhiteboardEditorModel> openModel()
    {
        return std::make_unique<WhiteboardEditorModel>(
            store, Color{0, 0, 0, 1}, 1, 2, WhiteboardEditorServices{&clock, &scheduler, {}});
    }
};

// budget: < 60 ms for 10,000 elements: reading, parsing and decoding the library file
void BM_WhiteboardLibraryStore_Load(benchmark::State &state)
{
    SavedBoard saved(static_cast<int>(state.range(0)));
    if (!saved.isSaved) {
        state.SkipWithError("the library could not be saved");
        return;
    }
    for (auto _ : state) {
        auto library = saved.store.load();
        if (!library) {
            state.SkipWithError("the library could not be loaded");
            break;
        }
        benchmark::DoNotOptimize(library);
    }
}

BENCHMARK(BM_WhiteboardLibraryStore_Load)->Arg(10'000)->Arg(50'000)->Unit(benchmark::kMillisecond);

// budget: < 150 ms for 10,000 elements: from the library file to the board painted on a 1920 ×
// 1080 canvas, as the whiteboard opens
void BM_WhiteboardEditor_OpenAndPaint(benchmark::State &state)
{
    SavedBoard saved(static_cast<int>(state.range(0)));
    if (!saved.isSaved) {
        state.SkipWithError("the library could not be saved");
        return;
    }
    QImage target(viewSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto model = saved.openModel();
        auto view = std::make_unique<WhiteboardCanvasView>(*model);
        view->resize(viewSize);
        view->render(&target);
        // Closing is not part of opening.
        state.PauseTiming();
        view.reset();
        model.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_WhiteboardEditor_OpenAndPaint)
    ->Arg(10'000)
    ->Arg(50'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// budget: < 10 ms for 10,000 elements: the first click on a board just opened, which indexes
// the board for hit testing
void BM_WhiteboardEditor_FirstClick(benchmark::State &state)
{
    SavedBoard saved(static_cast<int>(state.range(0)));
    if (!saved.isSaved) {
        state.SkipWithError("the library could not be saved");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto model = saved.openModel();
        state.ResumeTiming();
        benchmark::DoNotOptimize(elementAtPoint(*model, {40, 10}));
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_WhiteboardEditor_FirstClick)->Arg(10'000)->Arg(50'000)->Unit(benchmark::kMillisecond);

} // namespace
