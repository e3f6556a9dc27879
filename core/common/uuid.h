#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

// Where fresh identifiers get their randomness; tests hand in a fixed sequence.
using UuidRandomSource = std::function<std::uint64_t()>;

// A 128-bit identifier, written as canonical upper-case 8-4-4-4-12 hexadecimal text.
struct Uuid
{
    std::array<std::uint8_t, 16> bytes{};

    // Canonical 8-4-4-4-12 hexadecimal text in any letter case; anything else gives no value.
    static std::optional<Uuid> parse(std::string_view text);

    // A version 4 (random) identifier from two draws of the source.
    static Uuid generate(const UuidRandomSource &random);

    // Upper-case canonical text, as every file stores identifiers.
    std::string text() const;

    friend auto operator<=>(const Uuid &, const Uuid &) = default;
    friend bool operator==(const Uuid &, const Uuid &) = default;
};

// A source seeded from the system's entropy, for production use.
UuidRandomSource systemUuidRandomSource();

} // namespace zentrel

// Drag events look identifiers up for every element of a board, so this must cost a few cycles.
// Identifiers are random, so mixing their two words once spreads them well.
template <>
struct std::hash<zentrel::Uuid>
{
    std::size_t operator()(const zentrel::Uuid &uuid) const noexcept
    {
        std::uint64_t high = 0;
        std::uint64_t low = 0;
        std::memcpy(&high, uuid.bytes.data(), sizeof high);
        std::memcpy(&low, uuid.bytes.data() + sizeof high, sizeof low);
        return static_cast<std::size_t>(high ^ (low * 0x9E3779B97F4A7C15ULL));
    }
};
