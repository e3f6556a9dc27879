#pragma once

#include "common/files/file_error.h"

#include <nlohmann/json.hpp>
#include <tl/expected.hpp>

#include <filesystem>
#include <optional>
#include <string>

namespace zentrel {

// Pretty-printed with two-space indents and sorted keys; invalid UTF-8 in strings is replaced
// rather than thrown on.
std::string prettyJson(const nlohmann::json &value);

// What became of a JSON file that could not be used.
struct JsonFileError
{
    enum class Kind {
        unreadable,
        malformed,
    };

    Kind kind;
    FileError file;
};

// The parsed file, or nothing when it does not exist. Nesting deeper than jsonMaxNestingDepth
// counts as malformed.
tl::expected<std::optional<nlohmann::json>, JsonFileError>
readJsonFile(const std::filesystem::path &path);

tl::expected<void, FileError> writeJsonFile(const std::filesystem::path &path,
                                            const nlohmann::json &value);

} // namespace zentrel
