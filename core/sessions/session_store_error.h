#pragma once

#include <tl/expected.hpp>

#include <cstdint>
#include <string>

namespace zentrel {

// Why a session store operation failed; message() is the text the user reads.
struct SessionStoreError
{
    enum class Kind {
        unsupportedVersion,
        migrationFailed,
        invalidPNG,
        sessionNotFound,
        frameNotFound,
        invalidTitle,
        // A file could not be read, written, moved or removed: `detail` says which and why.
        file,
        // A manifest or the pointer file is not what the store writes: `detail` says where.
        undecodable,
    };

    Kind kind = Kind::file;
    std::int64_t version = 0;
    std::string detail;

    friend bool operator==(const SessionStoreError &, const SessionStoreError &) = default;
};

std::string message(const SessionStoreError &error);

template <typename T>
using SessionStoreResult = tl::expected<T, SessionStoreError>;

} // namespace zentrel
