// Export writes kept JSON by re-indenting its compact text instead of reading it into a tree;
// whatever it re-indents must come out exactly as the tree's own dump.
#include "common/json/json_reindent.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    std::string written;
    if (!zentrel::appendReindentedDump(written, text, 2, 0, 512)) {
        return 0;
    }
    const nlohmann::json value = nlohmann::json::parse(text, nullptr, false);
    if (value.is_discarded()
        || written != value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)) {
        std::abort();
    }
    return 0;
}
