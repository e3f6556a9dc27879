// Excalidraw documents are opened from anywhere and pasted as plain text; what imports must
// export again, save, and lay its texts out in time linear in their length.
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/whiteboard_element_json.h"
#include "whiteboard/render/text_layout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const zentrel::FakeClock clock;
    const auto imported = zentrel::importExcalidrawDocument(
        std::string_view(reinterpret_cast<const char *>(data), size),
        "Fuzzed",
        clock,
        zentrel::countingRandom());
    if (!imported) {
        return 0;
    }
    const auto halfPerByte = [](std::string_view line, zentrel::WhiteboardTypeface, double size) {
        return zentrel::SizeF{static_cast<double>(line.size()) * size / 2, size};
    };
    for (const zentrel::ElementPtr &element : imported->board.elements) {
        if (!zentrel::encodeWhiteboardElement(*element)) {
            std::abort(); // one such element would make every later library save fail
        }
        (void)zentrel::layOutText(*element,
                                  zentrel::whiteboardTypeface(*element),
                                  element->fontSize.value_or(20),
                                  halfPerByte);
    }
    (void)zentrel::exportExcalidrawDocument(imported->board);
    return 0;
}
