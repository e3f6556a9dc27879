#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

// An sRGB colour with components in 0…1.
struct Color
{
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    friend bool operator==(const Color &, const Color &) = default;
};

// The one colour-text codec of the program: "#RRGGBB" in upper-case hexadecimal, alpha dropped.
// Components are clamped to 0…1 (NaN counts as 0) so the text always reads back.
std::string hexString(const Color &color);

// Reads "#RRGGBB" in either case, ignoring non-alphanumeric characters around it; the colour is
// always opaque. Anything else gives no colour.
std::optional<Color> colorFromHex(std::optional<std::string_view> text);

} // namespace zentrel
