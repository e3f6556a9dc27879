#include "common/files/file_error.h"

namespace zentrel {

std::string message(const FileError &error)
{
    const char *verb = "";
    switch (error.kind) {
    case FileError::Kind::readFailed:
        verb = "read";
        break;
    case FileError::Kind::writeFailed:
        verb = "write";
        break;
    case FileError::Kind::moveFailed:
        verb = "move";
        break;
    case FileError::Kind::removeFailed:
        verb = "remove";
        break;
    }
    return "Could not " + std::string(verb) + " \"" + error.path.string() + "\": " + error.reason;
}

} // namespace zentrel
