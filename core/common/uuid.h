#pragma once

#include <array>
#include <bit>
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

    // In the order of their bytes, as their texts sort, compared a word at a time: selections
    // are sets looked up for every element of a board.
    friend std::strong_ordering operator<=>(const Uuid &a, const Uuid &b)
    {
        if (const auto high = a.word(0) <=> b.word(0); high != 0) {
            return high;
        }
        return a.word(1) <=> b.word(1);
    }

    friend bool operator==(const Uuid &, const Uuid &) = default;

private:
    // The `index`th eight bytes as a big-endian number.
    std::uint64_t word(std::size_t index) const
    {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + index * sizeof word, sizeof word);
        if constexpr (std::endian::native == std::endian::little) {
            word = __builtin_bswap64(word);
        }
        return word;
    }
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
