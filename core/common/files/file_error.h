#pragma once

#include <filesystem>
#include <string>

namespace zentrel {

// A file operation that failed, with the system's own reason.
struct FileError
{
    enum class Kind {
        readFailed,
        writeFailed,
        moveFailed,
        removeFailed,
    };

    Kind kind;
    std::filesystem::path path;
    std::string reason;
};

std::string message(const FileError &error);

} // namespace zentrel
