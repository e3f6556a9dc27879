#include "whiteboard/model/base64.h"

#include <algorithm>
#include <cstdint>

namespace zentrel {
namespace {

constexpr std::string_view alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextetOf(char character)
{
    const std::size_t position = alphabet.find(character);
    return position == std::string_view::npos ? -1 : static_cast<int>(position);
}

} // namespace

std::string toBase64(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            const auto byte = j < count ? static_cast<unsigned char>(bytes[i + j]) : 0u;
            group = (group << 8) | byte;
        }
        for (std::size_t j = 0; j < 4; ++j) {
            text.push_back(j <= count ? alphabet[(group >> (18 - 6 * j)) & 0x3F] : '=');
        }
    }
    return text;
}

std::optional<std::string> fromBase64(std::string_view text)
{
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::size_t padding = 0;
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const char character = text[i + j];
            // Padding only at the very end, in the last two places.
            if (character == '=' && last && j >= 2
                && (padding > 0 || j == 2 || text[i + 3] == '=')) {
                ++padding;
                group <<= 6;
                continue;
            }
            const int sextet = sextetOf(character);
            if (sextet < 0 || padding > 0) {
                return std::nullopt;
            }
            group = (group << 6) | static_cast<std::uint32_t>(sextet);
        }
        for (std::size_t j = 0; j < 3 - padding; ++j) {
            bytes.push_back(static_cast<char>((group >> (16 - 8 * j)) & 0xFF));
        }
    }
    return bytes;
}

} // namespace zentrel
