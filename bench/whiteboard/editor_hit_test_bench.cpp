#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/editor_bench_support.h"
#include "whiteboard/generated_board.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

using namespace zentrel;

namespace {

// The generated board of every element kind, with identifiers and some groups of four, so the
// marquee pays for group expansion too.
std::unique_ptr<WhiteboardEditorModel>
boardModel(const Clock &clock, Scheduler &scheduler, int count)
{
    auto model = makeFreezeEditorModel(
        {}, Color{}, 1, SizeF{1920, 1080}, 2, {&clock, &scheduler, countingRandom()});
    WhiteboardLibrary library = model->library();
    WhiteboardBoard board = generatedBoard(count);
    Uuid group;
    for (std::size_t i = 0; i < board.elements.size(); ++i) {
        WhiteboardElement element = *board.elements[i];
        element.id = model->makeIdentifier();
        if (i % 4 == 0) {
            group = model->makeIdentifier();
        }
        if (i % 40 < 4) {
            element.groupIDs = {group};
        }
        board.elements[i] = makeElement(std::move(element));
    }
    library.boards.front().elements = std::move(board.elements);
    model->setLibrary(std::move(library));
    return model;
}

// budget: < 50 µs for 10,000 elements. The point lies near the bottom of the stack, so the
// scan walks nearly every element before it hits.
void BM_Editor_HitTest10k(benchmark::State &state)
{
    FakeClock clock;
    DroppingScheduler scheduler;
    auto model = boardModel(clock, scheduler, 10'000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(elementAtPoint(*model, {40, 10}));
    }
}

BENCHMARK(BM_Editor_HitTest10k)->Unit(benchmark::kMicrosecond);

// budget: < 100 µs for 10,000 elements. A committed edit of one element keeps the library
// before it in the undo history, so the next hit reindexes only what the edit replaced.
void BM_Editor_HitTestAfterEdit10k(benchmark::State &state)
{
    FakeClock clock;
    DroppingScheduler scheduler;
    auto model = boardModel(clock, scheduler, 10'000);
    double dx = 1;
    for (auto _ : state) {
        state.PauseTiming();
        const WhiteboardLibrarySnapshot before = model->librarySnapshot();
        WhiteboardLibrary library = model->library();
        ElementPtr &moved = library.boards.front().elements[5'000];
        WhiteboardElement element = *moved;
        element.translate(dx = -dx, 0);
        moved = makeElement(std::move(element));
        model->setLibrary(std::move(library));
        model->recordUndoSnapshot(before);
        model->commitChange();
        state.ResumeTiming();
        benchmark::DoNotOptimize(elementAtPoint(*model, {40, 10}));
    }
}

BENCHMARK(BM_Editor_HitTestAfterEdit10k)->Unit(benchmark::kMicrosecond);

// budget: < 400 µs for 10,000 elements. A library that shares nothing indexed (a reload, or
// a plain write after the earlier library was freed) is indexed whole by its first hit.
void BM_Editor_HitTestAfterReload10k(benchmark::State &state)
{
    FakeClock clock;
    DroppingScheduler scheduler;
    auto model = boardModel(clock, scheduler, 10'000);
    for (auto _ : state) {
        state.PauseTiming();
        model->setLibrary(WhiteboardLibrary(model->library()));
        state.ResumeTiming();
        benchmark::DoNotOptimize(elementAtPoint(*model, {40, 10}));
    }
}

BENCHMARK(BM_Editor_HitTestAfterReload10k)->Unit(benchmark::kMicrosecond);

// A marquee over about a tenth of the board, selection replaced on every run.
void BM_Editor_Marquee10k(benchmark::State &state)
{
    FakeClock clock;
    DroppingScheduler scheduler;
    auto model = boardModel(clock, scheduler, 10'000);
    for (auto _ : state) {
        selectInMarquee(*model, {0, 0, 1200, 130}, false);
        benchmark::DoNotOptimize(model->selection().size());
        model->setSelection({});
    }
}

BENCHMARK(BM_Editor_Marquee10k)->Unit(benchmark::kMicrosecond);

} // namespace
