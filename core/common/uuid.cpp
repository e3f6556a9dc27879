#include "common/uuid.h"

#include <memory>
#include <random>

namespace zentrel {
namespace {

constexpr std::string_view hexDigits = "0123456789ABCDEF";

std::optional<std::uint8_t> hexValue(char character)
{
    if (character >= '0' && character <= '9') {
        return static_cast<std::uint8_t>(character - '0');
    }
    if (character >= 'a' && character <= 'f') {
        return static_cast<std::uint8_t>(character - 'a' + 10);
    }
    if (character >= 'A' && character <= 'F') {
        return static_cast<std::uint8_t>(character - 'A' + 10);
    }
    return std::nullopt;
}

bool isDashPosition(std::size_t index)
{
    return index == 8 || index == 13 || index == 18 || index == 23;
}

} // namespace

std::optional<Uuid> Uuid::parse(std::string_view text)
{
    if (text.size() != 36) {
        return std::nullopt;
    }
    Uuid uuid;
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isDashPosition(i)) {
            if (text[i] != '-') {
                return std::nullopt;
            }
            continue;
        }
        const std::optional<std::uint8_t> value = hexValue(text[i]);
        if (!value) {
            return std::nullopt;
        }
        std::uint8_t &byte = uuid.bytes[nibble / 2];
        byte = static_cast<std::uint8_t>(nibble % 2 == 0 ? *value << 4 : byte | *value);
        ++nibble;
    }
    return uuid;
}

Uuid Uuid::generate(const UuidRandomSource &random)
{
    Uuid uuid;
    for (std::size_t half = 0; half < 2; ++half) {
        const std::uint64_t draw = random();
        for (std::size_t i = 0; i < 8; ++i) {
            uuid.bytes[half * 8 + i] = static_cast<std::uint8_t>(draw >> (56 - 8 * i));
        }
    }
    // Version 4, variant 10xx, so the text is a well-formed random UUID for other tools too.
    uuid.bytes[6] = static_cast<std::uint8_t>((uuid.bytes[6] & 0x0F) | 0x40);
    uuid.bytes[8] = static_cast<std::uint8_t>((uuid.bytes[8] & 0x3F) | 0x80);
    return uuid;
}

std::string Uuid::text() const
{
    std::string result;
    result.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            result.push_back('-');
        }
        result.push_back(hexDigits[bytes[i] >> 4]);
        result.push_back(hexDigits[bytes[i] & 0x0F]);
    }
    return result;
}

UuidRandomSource systemUuidRandomSource()
{
    // Shared so copies of the source keep drawing from one generator rather than repeating.
    auto engine = std::make_shared<std::mt19937_64>(std::random_device{}());
    return [engine] {
        return (*engine)();
    };
}

} // namespace zentrel
