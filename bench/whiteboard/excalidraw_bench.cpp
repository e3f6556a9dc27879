#include "fakes/counting_random.h"
#include "whiteboard/foreign_excalidraw_document.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

using namespace zentrel;

namespace {

// A busy board: every kind in turn, freehand strokes of 40 points, arrows bound to shapes.
// Not the shared generated board: the format writes ids, bindings and labels, so these need them.
WhiteboardBoard boundBoard(int elementCount)
{
    const UuidRandomSource random = countingRandom();
    WhiteboardBoard board;
    board.name = "Bench";
    Uuid previousShape = Uuid::generate(random);
    for (int i = 0; i < elementCount; ++i) {
        WhiteboardElement e;
        e.id = Uuid::generate(random);
        e.kind = static_cast<WhiteboardElementKind>(i % 7);
        e.setFrame({i * 3.5, i * 1.25, 120, -80});
        e.style.fillColor = "#FFC9C9";
        switch (e.kind) {
        case WhiteboardElementKind::arrow:
        case WhiteboardElementKind::line:
            e.startBindingID = previousShape;
            break;
        case WhiteboardElementKind::freedraw:
            for (int p = 0; p < 40; ++p) {
                e.points.push_back({e.x + p * 2.0, e.y + (p % 5) * 3.0});
            }
            break;
        case WhiteboardElementKind::text:
            e.text = "Label number " + std::to_string(i);
            e.containerID = previousShape;
            break;
        default:
            previousShape = e.id;
            break;
        }
        board.elements.push_back(makeElement(std::move(e)));
    }
    return board;
}

// budget: < 50 ms for a 10,000-element board
void BM_Excalidraw_Export10k(benchmark::State &state)
{
    const WhiteboardBoard board = boundBoard(10'000);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto data = exportExcalidrawDocument(board);
        bytes = data ? data->size() : 0;
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

BENCHMARK(BM_Excalidraw_Export10k)->Unit(benchmark::kMillisecond);

// budget: < 50 ms for a 10,000-element document
void BM_Excalidraw_Import10k(benchmark::State &state)
{
    const std::string data = exportExcalidrawDocument(boundBoard(10'000)).value_or("");
    for (auto _ : state) {
        auto result = importExcalidrawDocument(data, "Bench");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}

BENCHMARK(BM_Excalidraw_Import10k)->Unit(benchmark::kMillisecond);

// budget: < 50 ms for a 10,000-element document from another editor, all it holds kept
void BM_Excalidraw_ImportForeign10k(benchmark::State &state)
{
    const std::string data = foreignExcalidrawDocument(10'000);
    for (auto _ : state) {
        auto result = importExcalidrawDocument(data, "Bench");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}

BENCHMARK(BM_Excalidraw_ImportForeign10k)->Unit(benchmark::kMillisecond);

// budget: < 50 ms for that document imported and written back, every kept member with it
void BM_Excalidraw_ExportImported10k(benchmark::State &state)
{
    const auto imported = importExcalidrawDocument(foreignExcalidrawDocument(10'000), "Bench");
    if (!imported) {
        state.SkipWithError("the document could not be imported");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto data = exportExcalidrawDocument(imported->board);
        bytes = data ? data->size() : 0;
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

BENCHMARK(BM_Excalidraw_ExportImported10k)->Unit(benchmark::kMillisecond);

} // namespace
