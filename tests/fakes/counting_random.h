#pragma once

#include "common/uuid.h"

#include <cstdint>
#include <memory>

namespace zentrel {

// Random numbers from a counter, so every run makes the same identifiers. The counter is shared,
// so copies of the source (a store's and an editor's) never hand out the same number twice.
inline UuidRandomSource countingRandom()
{
    auto counter = std::make_shared<std::uint64_t>(0);
    return [counter] {
        return ++*counter * 0x9E3779B97F4A7C15ull;
    };
}

} // namespace zentrel
