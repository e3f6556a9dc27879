#include "whiteboard/model/svg/svg_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace zentrel {

void appendSvgNumber(std::string &out, double value)
{
    std::array<char, 64> buffer{};
    const double magnitude = std::abs(value);
    // Positional text between 1e-4 and 1e16 keeps ordinary coordinates readable; NaN and
    // infinities fall to the exponent branch, which spells them "nan" and "inf".
    const bool positional = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e16);
    const auto format = positional ? std::chars_format::fixed : std::chars_format::scientific;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format);
    const std::string_view text(buffer.data(),
                                static_cast<std::size_t>(result.ptr - buffer.data()));
    out += text;
    if (positional && text.find('.') == std::string_view::npos) {
        out += ".0";
    }
}

void appendSvgInteger(std::string &out, std::int64_t value)
{
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), result.ptr);
}

// One pass that matches replacing "&" first, then '"', "<" and ">".
void appendSvgEscaped(std::string &out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
}

void appendSvgAttribute(std::string &out, std::string_view name, std::string_view value)
{
    out += ' ';
    out += name;
    out += "=\"";
    out += value;
    out += '"';
}

void appendSvgEscapedAttribute(std::string &out, std::string_view name, std::string_view value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendSvgEscaped(out, value);
    out += '"';
}

void appendSvgNumberAttribute(std::string &out, std::string_view name, double value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendSvgNumber(out, value);
    out += '"';
}

std::string svgNumber(double value)
{
    std::string out;
    appendSvgNumber(out, value);
    return out;
}

std::string svgEscaped(std::string_view text)
{
    std::string out;
    appendSvgEscaped(out, text);
    return out;
}

} // namespace zentrel
