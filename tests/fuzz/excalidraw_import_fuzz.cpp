// Excalidraw documents are opened from anywhere and pasted as plain text; what imports must
// export again.
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const zentrel::FakeClock clock;
    const auto imported = zentrel::importExcalidrawDocument(
        std::string_view(reinterpret_cast<const char *>(data), size),
        "Fuzzed",
        clock,
        zentrel::countingRandom());
    if (imported) {
        (void)zentrel::exportExcalidrawDocument(imported->board);
    }
    return 0;
}
