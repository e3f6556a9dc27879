#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/editor_bench_support.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

using namespace zentrel;

namespace {

// The generated board with identifiers: snapshots and commits copy element pointers, so what
// the elements hold does not matter, only how many there are.
std::unique_ptr<WhiteboardEditorModel>
modelWithElements(const Clock &clock, Scheduler &scheduler, int count)
{
    auto model = makeFreezeEditorModel(
        {}, Color{}, 1, SizeF{1920, 1080}, 2, {&clock, &scheduler, countingRandom()});
    WhiteboardLibrary library = model->library();
    WhiteboardBoard board = remadeBoard(
        count, [&](WhiteboardElement &element) { element.id = model->makeIdentifier(); });
    library.boards.front().elements = std::move(board.elements);
    model->setLibrary(std::move(library));
    return model;
}

// budget: O(1) in the element count, < 50 µs
void BM_EditorUndoSnapshot(benchmark::State &state)
{
    FakeClock clock;
    DroppingScheduler scheduler;
    auto model = modelWithElements(clock, scheduler, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        model->recordUndoSnapshot(model->librarySnapshot());
        benchmark::DoNotOptimize(model->canUndo());
    }
}

BENCHMARK(BM_EditorUndoSnapshot)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);

// For comparison: one committed edit copies the element pointers of the changed library.
void BM_EditorCommitChange(benchmark::State &state)
{
    FakeClock clock;
    DroppingScheduler scheduler;
    auto model = modelWithElements(clock, scheduler, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        model->recordUndoSnapshot(model->librarySnapshot());
        model->commitChange();
    }
}

BENCHMARK(BM_EditorCommitChange)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);

// budget: O(1) in the element count, < 5 µs: one pan step of the whiteboard's model at pointer
// rate, with no save pending (the canvas's own cost is in canvas_bench)
void BM_EditorPanStep(benchmark::State &state)
{
    const TemporaryDirectory folder;
    FakeClock clock;
    DroppingScheduler scheduler;
    const WhiteboardLibraryStore store(folder.path(), clock, countingRandom());
    WhiteboardEditorModel model(store, Color{}, 1, 2, {&clock, &scheduler, countingRandom()});
    model.setLibrary(
        modelWithElements(clock, scheduler, static_cast<int>(state.range(0)))->library());
    double dx = 1;
    for (auto _ : state) {
        panBy(model, dx = -dx, 1);
    }
}

BENCHMARK(BM_EditorPanStep)->Arg(10'000)->Arg(50'000)->Unit(benchmark::kMicrosecond);

} // namespace
