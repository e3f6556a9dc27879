#pragma once

#include <cstdint>

namespace zentrel {

// Modifier keys as the settings store them: one bit each, in the positions the stored
// "controls.leaderKey" integer has always used.
enum class ModifierFlag : std::uint64_t {
    capsLock = 1u << 16,
    shift = 1u << 17,
    control = 1u << 18,
    option = 1u << 19,
    command = 1u << 20,
    function = 1u << 23,
};

struct ModifierFlags
{
    std::uint64_t bits = 0;

    bool contains(ModifierFlag flag) const
    {
        return (bits & static_cast<std::uint64_t>(flag)) != 0;
    }

    ModifierFlags with(ModifierFlag flag, bool enabled) const
    {
        const auto bit = static_cast<std::uint64_t>(flag);
        return ModifierFlags{enabled ? (bits | bit) : (bits & ~bit)};
    }

    ModifierFlags operator|(ModifierFlags other) const { return ModifierFlags{bits | other.bits}; }

    friend bool operator==(const ModifierFlags &, const ModifierFlags &) = default;
};

inline constexpr ModifierFlags controlOption{static_cast<std::uint64_t>(ModifierFlag::control)
                                             | static_cast<std::uint64_t>(ModifierFlag::option)};

} // namespace zentrel
