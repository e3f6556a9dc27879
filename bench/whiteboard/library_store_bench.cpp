#include "common/clock.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/foreign_excalidraw_document.h"
#include "whiteboard/generated_board.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/store/whiteboard_library_store.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace zentrel;

namespace {

// budget: < 1 s to save a library of 20 boards of 2,000 elements each; a save this long must
// not run on the main thread
void BM_WhiteboardLibraryStore_Save20x2000(benchmark::State &state)
{
    const TemporaryDirectory folder;
    const SystemClock clock;
    const WhiteboardLibraryStore store(folder.path(), clock, systemUuidRandomSource());
    auto library = store.load();
    if (!library) {
        state.SkipWithError("the library could not be loaded");
        return;
    }
    const WhiteboardBoard pattern = generatedBoard(2'000);
    library->boards.clear();
    for (int index = 0; index < 20; ++index) {
        WhiteboardBoard board = pattern;
        board.id = Uuid::generate(systemUuidRandomSource());
        board.name = "Board " + std::to_string(index);
        library->boards.push_back(board);
    }
    library->currentBoardID = library->boards.front().id;
    for (auto _ : state) {
        if (!store.save(*library)) {
            state.SkipWithError("the library could not be saved");
            break;
        }
    }
}

BENCHMARK(BM_WhiteboardLibraryStore_Save20x2000)->Unit(benchmark::kMillisecond);

// A library of one imported 10,000-element board, with what import kept of its document or, for
// comparison, without it.
void saveImportedBoard(benchmark::State &state, bool withKeptMembers)
{
    const TemporaryDirectory folder;
    const SystemClock clock;
    const WhiteboardLibraryStore store(folder.path(), clock, systemUuidRandomSource());
    auto imported = importExcalidrawDocument(foreignExcalidrawDocument(10'000), "Imported");
    if (!imported) {
        state.SkipWithError("the document could not be imported");
        return;
    }
    WhiteboardBoard &board = imported->board;
    if (!withKeptMembers) {
        for (ElementPtr &element : board.elements) {
            WhiteboardElement plain = *element;
            plain.excalidrawSource.reset();
            element = makeElement(std::move(plain));
        }
        board.excalidrawFiles.clear();
    }
    const WhiteboardLibrary library{1, {board}, board.id, true};
    for (auto _ : state) {
        if (!store.save(library)) {
            state.SkipWithError("the library could not be saved");
            break;
        }
    }
}

// budget: kept members may cost a save a quarter more than the same board without them
void BM_WhiteboardLibraryStore_SaveImported10k(benchmark::State &state)
{
    saveImportedBoard(state, true);
}

BENCHMARK(BM_WhiteboardLibraryStore_SaveImported10k)->Unit(benchmark::kMillisecond);

void BM_WhiteboardLibraryStore_SaveImported10kWithoutKept(benchmark::State &state)
{
    saveImportedBoard(state, false);
}

BENCHMARK(BM_WhiteboardLibraryStore_SaveImported10kWithoutKept)->Unit(benchmark::kMillisecond);

} // namespace
