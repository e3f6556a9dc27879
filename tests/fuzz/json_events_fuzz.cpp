// Every JSON reader of Zentrel goes through readJsonEvents, which must report exactly what
// nlohmann/json's own parser reports, failures included; any difference stops the run.
#include "core/common/json/json_event_log.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    if (zentrel::readerEvents(text) != zentrel::libraryEvents(text)) {
        std::abort();
    }
    return 0;
}
