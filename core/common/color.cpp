#include "common/color.h"

#include "common/text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zentrel {
namespace {

long componentByte(double component)
{
    if (std::isnan(component)) {
        return 0;
    }
    return std::lround(std::clamp(component, 0.0, 1.0) * 255.0);
}

std::optional<std::uint32_t> hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint32_t>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint32_t>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint32_t>(c - 'A' + 10);
    }
    return std::nullopt;
}

} // namespace

std::string hexString(const Color &color)
{
    char text[8];
    std::snprintf(text,
                  sizeof text,
                  "#%02lX%02lX%02lX",
                  componentByte(color.red),
                  componentByte(color.green),
                  componentByte(color.blue));
    return text;
}

std::optional<Color> colorFromHex(std::optional<std::string_view> text)
{
    if (!text) {
        return std::nullopt;
    }
    const std::string_view digits = trimmedToAlphanumerics(*text);
    if (digits.size() != 6) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char c : digits) {
        const auto digit = hexDigit(c);
        if (!digit) {
            return std::nullopt;
        }
        value = (value << 4) | *digit;
    }
    return Color{static_cast<double>((value >> 16) & 0xFF) / 255.0,
                 static_cast<double>((value >> 8) & 0xFF) / 255.0,
                 static_cast<double>(value & 0xFF) / 255.0,
                 1.0};
}

} // namespace zentrel
