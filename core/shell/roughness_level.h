#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace zentrel {

// How much hand-drawn wobble strokes get; stored as the integers 0 to 3.
enum class RoughnessLevel {
    none = 0,
    low = 1,
    medium = 2,
    high = 3,
};

inline constexpr std::array<RoughnessLevel, 4> allRoughnessLevels{
    RoughnessLevel::none, RoughnessLevel::low, RoughnessLevel::medium, RoughnessLevel::high};

constexpr std::optional<RoughnessLevel> roughnessLevelFromRawValue(std::int64_t raw)
{
    if (raw < 0 || raw > 3) {
        return std::nullopt;
    }
    return static_cast<RoughnessLevel>(raw);
}

} // namespace zentrel
