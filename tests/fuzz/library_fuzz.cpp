// The whiteboard library file and the older single-document file it migrates.
#include "common/json/limited_json.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/model/store/legacy_whiteboard_document.h"
#include "whiteboard/model/store/library_text_parts.h"
#include "whiteboard/model/store/whiteboard_library_store.h"
#include "whiteboard/model/whiteboard_board_json.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace zentrel;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const FakeClock clock;
    const WhiteboardLibraryStore store("/nonexistent", clock, countingRandom());
    if (const auto library = store.decodeLibrary(bytes)) {
        (void)encodeWhiteboardLibrary(*library);
    }
    const auto json = parseLimitedJson(bytes);
    // Read in parts, a library must be exactly what reading the whole text gives.
    if (const auto inParts = decodeLibraryInParts(bytes, runInOrder)) {
        if (!json) {
            __builtin_trap();
        }
        const auto whole = decodeWhiteboardLibrary(*json);
        if (!whole || !(*whole == *inParts)) {
            __builtin_trap();
        }
    }
    if (json) {
        if (const auto document = decodeWhiteboardDocument(*json)) {
            (void)migratedLegacyBoard(*document, clock, countingRandom(), estimatedTextSize);
        }
    }
    return 0;
}
