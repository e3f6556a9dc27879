#include "common/clock.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/generated_board.h"
#include "whiteboard/model/whiteboard_library_store.h"

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

} // namespace
