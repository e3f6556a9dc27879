// The whiteboard library file and the older single-document file it migrates.
#include "common/limited_json.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/model/legacy_whiteboard_document.h"
#include "whiteboard/model/whiteboard_board_json.h"
#include "whiteboard/model/whiteboard_library_store.h"

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
    if (const auto json = parseLimitedJson(bytes)) {
        if (const auto document = decodeWhiteboardDocument(*json)) {
            (void)migratedLegacyBoard(*document, clock, countingRandom(), estimatedTextSize);
        }
    }
    return 0;
}
