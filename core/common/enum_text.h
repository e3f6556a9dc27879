#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace zentrel {

// The one table that converts an enum to the word stored in settings, URLs and files and back.
// Its entries are in the enum's listing order.
template <typename Enum, std::size_t Count>
struct EnumText
{
    std::array<std::pair<Enum, std::string_view>, Count> entries;

    constexpr std::string_view text(Enum value) const
    {
        for (const auto &[candidate, word] : entries) {
            if (candidate == value) {
                return word;
            }
        }
        return {};
    }

    // Exact, case-sensitive match of the whole text.
    constexpr std::optional<Enum> parse(std::string_view word) const
    {
        for (const auto &[candidate, candidateWord] : entries) {
            if (candidateWord == word) {
                return candidate;
            }
        }
        return std::nullopt;
    }

    constexpr std::array<Enum, Count> values() const
    {
        std::array<Enum, Count> result{};
        for (std::size_t i = 0; i < Count; ++i) {
            result[i] = entries[i].first;
        }
        return result;
    }
};

} // namespace zentrel
