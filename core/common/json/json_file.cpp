#include "common/json/json_file.h"

#include "common/files/atomic_file.h"
#include "common/json/limited_json.h"

namespace zentrel {

std::string prettyJson(const nlohmann::json &value)
{
    return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

tl::expected<std::optional<nlohmann::json>, JsonFileError>
readJsonFile(const std::filesystem::path &path)
{
    auto contents = readFileIfPresent(path);
    if (!contents) {
        return tl::unexpected(JsonFileError{JsonFileError::Kind::unreadable, contents.error()});
    }
    if (!*contents) {
        return std::optional<nlohmann::json>{};
    }
    auto parsed = parseLimitedJson(**contents);
    if (!parsed) {
        const bool tooDeep = parsed.error().kind == JsonParseError::Kind::nestedTooDeeply;
        return tl::unexpected(JsonFileError{
            JsonFileError::Kind::malformed,
            FileError{FileError::Kind::readFailed,
                      path,
                      tooDeep ? "the file is nested too deeply" : "the file is not valid JSON"}});
    }
    return std::optional<nlohmann::json>{std::move(*parsed)};
}

tl::expected<void, FileError> writeJsonFile(const std::filesystem::path &path,
                                            const nlohmann::json &value)
{
    return writeFileAtomically(path, prettyJson(value));
}

} // namespace zentrel
