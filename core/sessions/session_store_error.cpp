#include "sessions/session_store_error.h"

namespace zentrel {

std::string message(const SessionStoreError &error)
{
    using Kind = SessionStoreError::Kind;
    switch (error.kind) {
    case Kind::unsupportedVersion:
        return "Session version " + std::to_string(error.version) + " is not supported.";
    case Kind::migrationFailed:
        return "The session manifest could not be migrated.";
    case Kind::invalidPNG:
        return "The rendered frame is not a valid PNG image.";
    case Kind::sessionNotFound:
        return "The session could not be found.";
    case Kind::frameNotFound:
        return "The session frame could not be found.";
    case Kind::invalidTitle:
        return "The session title cannot be empty.";
    case Kind::file:
    case Kind::undecodable:
        return error.detail;
    }
    return error.detail;
}

} // namespace zentrel
