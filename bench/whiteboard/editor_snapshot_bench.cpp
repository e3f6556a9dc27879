#include "whiteboard/editor/whiteboard_editor_model.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

using namespace zentrel;

namespace {

class FixedClock final : public Clock
{
public:
    Timestamp now() const override { return Timestamp{}; }
};

// Keeps posted work without running it: the benchmark measures the model, not the disk.
class IdleScheduler final : public Scheduler
{
public:
    void post(std::function<void()>) override {}

    void postAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

UuidRandomSource counter()
{
    auto next = std::make_shared<std::uint64_t>(0);
    return [next] {
        return ++*next * 0x9E3779B97F4A7C15ull;
    };
}

std::unique_ptr<WhiteboardEditorModel>
modelWithElements(const Clock &clock, Scheduler &scheduler, int count)
{
    auto model = makeFreezeEditorModel(
        {}, Color{}, 1, SizeF{1920, 1080}, 2, {&clock, &scheduler, counter()});
    WhiteboardLibrary library = model->library();
    auto &elements = library.boards.front().elements;
    elements.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        WhiteboardElement element;
        element.id = model->makeIdentifier();
        element.setFrame({(i % 100) * 20.0, (i / 100) * 20.0, 15, 15});
        elements.push_back(makeElement(std::move(element)));
    }
    model->setLibrary(std::move(library));
    return model;
}

// budget: O(1) in the element count, < 50 µs
void BM_EditorUndoSnapshot(benchmark::State &state)
{
    FixedClock clock;
    IdleScheduler scheduler;
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
    FixedClock clock;
    IdleScheduler scheduler;
    auto model = modelWithElements(clock, scheduler, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        model->recordUndoSnapshot(model->librarySnapshot());
        model->commitChange();
    }
}

BENCHMARK(BM_EditorCommitChange)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);

} // namespace
