// The settings file: read, loaded into the preferences, and written back as every change does.
#include "common/json/json_file.h"
#include "common/json/limited_json.h"
#include "common/settings/memory_defaults_store.h"
#include "shell/app_preferences.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace zentrel;
    auto json = parseLimitedJson(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!json || !json->is_object()) {
        return 0;
    }
    MemoryDefaultsStore store;
    for (const auto &[key, value] : json->items()) {
        store.setValue(key, value);
    }
    const AppPreferences preferences(store);
    (void)prettyJson(store.storedValues());
    return 0;
}
