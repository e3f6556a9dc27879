// Session manifests and the active-session pointer, read as the session store reads them.
#include "common/json/limited_json.h"
#include "sessions/session_document.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace zentrel;
    const auto json =
        parseLimitedJson(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!json) {
        return 0;
    }
    (void)decodeSessionVersion(*json);
    (void)decodeActiveSession(*json);
    if (const auto document = decodeSessionDocument(*json)) {
        (void)encodeSessionDocument(*document);
    }
    if (const auto legacy = decodeLegacySessionDocument(*json)) {
        (void)encodeSessionDocument(legacy->document);
    }
    return 0;
}
