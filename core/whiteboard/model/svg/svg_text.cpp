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

namespace {

// The length of the UTF-8 sequence that starts at `at` when it is well formed and encodes a
// character XML 1.0 can hold; 0 when it is not.
std::size_t xmlCharacterLength(std::string_view text, std::size_t at)
{
    const auto byte = [&text](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;
    }
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and what lies past Unicode are no characters at all.
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool character =
        code >= smallest[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    return character && code != 0xFFFE && code != 0xFFFF ? length : 0;
}

} // namespace

// One pass that matches replacing "&" first, then '"', "<" and ">". What XML 1.0 cannot hold
// (control characters, broken UTF-8) is left out, so that every document parses.
void appendSvgEscaped(std::string &out, std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = xmlCharacterLength(text, i);
        if (length == 0) {
            ++i;
            continue;
        }
        switch (text[i]) {
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
            out.append(text.substr(i, length));
        }
        i += length;
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
