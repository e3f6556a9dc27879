#include "whiteboard/model/excalidraw/excalidraw_values.h"

#include "common/color.h"
#include "common/text.h"
#include "drawing/drawing_geometry.h"
#include "whiteboard/model/excalidraw/excalidraw_members.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace zentrel {
namespace {

using json = nlohmann::json;

std::optional<double> parseNumberText(std::string_view text)
{
    if (text.empty()) {
        return std::nullopt;
    }
    // from_chars ignores the locale (the app may set a comma decimal point) but takes no "+".
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
        if (text.empty() || text.front() == '+' || text.front() == '-') {
            return std::nullopt;
        }
    }
    auto format = std::chars_format::general;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        format = std::chars_format::hex;
        text.remove_prefix(2);
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, format);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::int64_t clampedInteger(double value)
{
    // 2^63 is exact as a double; anything at or past it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (value < -limit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(std::trunc(value));
}

std::optional<int> hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

// "#rgb", "#rgba", "#rrggbb" or "#rrggbbaa", lower-case; alpha is left out.
std::optional<Color> hexColor(std::string_view digits)
{
    const std::size_t size = digits.size();
    if (size != 3 && size != 4 && size != 6 && size != 8) {
        return std::nullopt;
    }
    std::array<int, 8> values{};
    for (std::size_t i = 0; i < size; ++i) {
        const std::optional<int> value = hexValue(digits[i]);
        if (!value) {
            return std::nullopt;
        }
        values[i] = *value;
    }
    // A short form repeats each digit: "#abc" is "#aabbcc".
    const bool shortForm = size <= 4;
    const auto component = [&](std::size_t index) {
        const int high = values[shortForm ? index : 2 * index];
        const int low = values[shortForm ? index : 2 * index + 1];
        return (high * 16 + low) / 255.0;
    };
    return Color{component(0), component(1), component(2), 1};
}

// "rgb(r, g, b)" or "rgba(r, g, b, a)", components 0…255 or percentages; alpha is left out.
std::optional<Color> functionalColor(std::string_view text)
{
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos || text.back() != ')'
        || (text.substr(0, open) != "rgb" && text.substr(0, open) != "rgba")) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(open + 1, text.size() - open - 2);
    std::array<double, 3> components{};
    for (double &component : components) {
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == ',')) {
            rest.remove_prefix(1);
        }
        const auto [end, error] =
            std::from_chars(rest.data(), rest.data() + rest.size(), component);
        if (error != std::errc()) {
            return std::nullopt;
        }
        rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
        const bool percent = !rest.empty() && rest.front() == '%';
        component = percent ? component / 100 : component / 255;
        if (percent) {
            rest.remove_prefix(1);
        }
    }
    return Color{components[0], components[1], components[2], 1};
}

} // namespace

bool excalidrawColorIsDark(std::string_view text)
{
    const std::string lowered = asciiLowercased(trimmedBlanks(text));
    std::optional<Color> color;
    if (lowered == "black") {
        color = Color{0, 0, 0, 1};
    } else if (!lowered.empty() && lowered.front() == '#') {
        color = hexColor(std::string_view(lowered).substr(1));
    } else if (!lowered.empty()) {
        color = functionalColor(lowered);
    }
    const Color white{1, 1, 1, 1};
    return color && contrastColor(*color) == white;
}

double excalidrawNumber(const json *value, double fallback)
{
    if (value == nullptr) {
        return fallback;
    }
    std::optional<double> number;
    if (value->is_number()) {
        number = value->get<double>();
    } else if (value->is_string()) {
        number = parseNumberText(value->get_ref<const std::string &>());
    }
    return number && std::isfinite(*number) ? *number : fallback;
}

std::int64_t excalidrawInteger(const json *value, std::int64_t fallback)
{
    if (value != nullptr && value->is_number_integer()) {
        if (value->is_number_unsigned()
            && value->get<std::uint64_t>()
                   > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::numeric_limits<std::int64_t>::max();
        }
        return value->get<std::int64_t>();
    }
    const double number = excalidrawNumber(value, std::numeric_limits<double>::quiet_NaN());
    return std::isnan(number) ? fallback : clampedInteger(number);
}

WhiteboardArrowhead excalidrawArrowheadFromText(std::string_view valueText)
{
    if (valueText == "null") {
        return WhiteboardArrowhead::none;
    }
    const std::optional<std::string> word = excalidrawRawString(valueText);
    const std::optional<WhiteboardArrowhead> head =
        word ? whiteboardArrowheadText.parse(*word) : std::nullopt;
    // "none" is Zentrel's word for null, not Excalidraw's.
    return head && head != WhiteboardArrowhead::none ? *head : WhiteboardArrowhead::arrow;
}

Uuid excalidrawUuidFor(std::string_view text, const UuidRandomSource &random)
{
    if (std::optional<Uuid> spelled = Uuid::parse(text)) {
        return *spelled;
    }
    return Uuid::generate(random);
}

WhiteboardElementStyle excalidrawImportDefaultStyle()
{
    WhiteboardElementStyle style;
    style.strokeColor = "#000000";
    style.strokeWidth = 2;
    style.opacity = 1;
    style.roughness = 1;
    return style;
}

} // namespace zentrel
