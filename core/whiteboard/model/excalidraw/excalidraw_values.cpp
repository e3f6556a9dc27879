#include "whiteboard/model/excalidraw/excalidraw_values.h"

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

} // namespace

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
