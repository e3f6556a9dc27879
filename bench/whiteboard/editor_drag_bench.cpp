#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/editor/commands/whiteboard_transforms.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/editor_bench_support.h"
#include "whiteboard/generated_board.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

using namespace zentrel;

namespace {

// The generated board with identifiers; every 50th element is bound to by the arrow after it
// and labelled by the text after that, so a drag pays for arrows and labels too. Every 500th
// element is selected: 20 of 10,000.
std::unique_ptr<WhiteboardEditorModel>
dragModel(const Clock &clock, Scheduler &scheduler, int count)
{
    auto model = makeFreezeEditorModel(
        {}, Color{}, 1, SizeF{1920, 1080}, 2, {&clock, &scheduler, countingRandom()});
    WhiteboardLibrary library = model->library();
    WhiteboardBoard board = generatedBoard(count);
    WhiteboardSelection selection;
    Uuid anchor;
    for (std::size_t i = 0; i < board.elements.size(); ++i) {
        WhiteboardElement element = *board.elements[i];
        element.id = model->makeIdentifier();
        if (i % 50 == 0) {
            element.kind = WhiteboardElementKind::rectangle;
            anchor = element.id;
        } else if (i % 50 == 1) {
            element.kind = WhiteboardElementKind::arrow;
            element.startBindingID = anchor;
        } else if (i % 50 == 2) {
            element.kind = WhiteboardElementKind::text;
            element.containerID = anchor;
        }
        if (i % 500 == 0) {
            selection.insert(element.id);
        }
        board.elements[i] = makeElement(std::move(element));
    }
    library.boards.front().elements = std::move(board.elements);
    model->setLibrary(std::move(library));
    model->setSelection(std::move(selection));
    return model;
}

// budget: < 1 ms for one drag event on 10,000 elements with 20 selected, so a move keeps up with
// the pointer. Inside a transaction, as the canvas drags.
void BM_Editor_MoveDragStep10k(benchmark::State &state)
{
    FakeClock clock;
    DroppingScheduler scheduler;
    auto model = dragModel(clock, scheduler, 10'000);
    model->beginTransaction();
    double step = 1;
    for (auto _ : state) {
        moveSelection(*model, step, 0.5 * step);
        step = -step;
        benchmark::DoNotOptimize(model->librarySnapshot());
    }
    model->endTransaction();
}

BENCHMARK(BM_Editor_MoveDragStep10k)->Unit(benchmark::kMicrosecond);

// The same board resized by a handle: each event starts again from mouse-down.
void BM_Editor_ResizeDragStep10k(benchmark::State &state)
{
    FakeClock clock;
    DroppingScheduler scheduler;
    auto model = dragModel(clock, scheduler, 10'000);
    model->beginTransaction();
    double width = 4000;
    for (auto _ : state) {
        dragResizeHandle(*model, {0, 0, 3750, 4125}, {0, 0, width, 4125});
        width = width == 4000 ? 4100 : 4000;
        benchmark::DoNotOptimize(model->librarySnapshot());
    }
    model->endTransaction();
}

BENCHMARK(BM_Editor_ResizeDragStep10k)->Unit(benchmark::kMicrosecond);

} // namespace
