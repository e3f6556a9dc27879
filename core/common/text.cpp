#include "common/text.h"

#include <cstdint>
#include <cwctype>
#include <locale>
#include <optional>
#include <stdexcept>

namespace zentrel {
namespace {

struct CodePoint
{
    char32_t value;
    std::size_t length;
};

std::optional<CodePoint> decodeAt(std::string_view text, std::size_t index)
{
    const auto lead = static_cast<std::uint8_t>(text[index]);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        return CodePoint{lead, 1};
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (index + length > text.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto continuation = static_cast<std::uint8_t>(text[index + i]);
        if ((continuation & 0xC0) != 0x80) {
            return std::nullopt;
        }
        value = (value << 6) | (continuation & 0x3F);
    }
    return CodePoint{value, length};
}

// The start index of the code point that ends just before `end`.
std::size_t previousCodePointStart(std::string_view text, std::size_t end)
{
    std::size_t start = end - 1;
    while (start > 0 && end - start < 4
           && (static_cast<std::uint8_t>(text[start]) & 0xC0) == 0x80) {
        --start;
    }
    return start;
}

const std::optional<std::locale> &unicodeLocale()
{
    static const std::optional<std::locale> locale = []() -> std::optional<std::locale> {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error &) {
            return std::nullopt;
        }
    }();
    return locale;
}

void appendUtf8(std::string &text, char32_t codePoint)
{
    const auto byte = [](char32_t value) {
        return static_cast<char>(value);
    };
    if (codePoint < 0x80) {
        text += byte(codePoint);
    } else if (codePoint < 0x800) {
        text += byte(0xC0 | (codePoint >> 6));
        text += byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += byte(0xE0 | (codePoint >> 12));
        text += byte(0x80 | ((codePoint >> 6) & 0x3F));
        text += byte(0x80 | (codePoint & 0x3F));
    } else {
        text += byte(0xF0 | (codePoint >> 18));
        text += byte(0x80 | ((codePoint >> 12) & 0x3F));
        text += byte(0x80 | ((codePoint >> 6) & 0x3F));
        text += byte(0x80 | (codePoint & 0x3F));
    }
}

bool isUnicodeAlphanumeric(char32_t codePoint)
{
    if (codePoint < 0x80) {
        return (codePoint >= '0' && codePoint <= '9') || (codePoint >= 'a' && codePoint <= 'z')
               || (codePoint >= 'A' && codePoint <= 'Z');
    }
    const auto &locale = unicodeLocale();
    if (!locale) {
        // Without Unicode tables, keep the character: the caller's own validation decides.
        return true;
    }
    return std::isalnum(static_cast<wchar_t>(codePoint), *locale);
}

// Malformed bytes are kept, so trimming never hides them from later validation.
bool keepsAt(std::string_view text, std::size_t index, std::size_t &length)
{
    const auto codePoint = decodeAt(text, index);
    length = codePoint ? codePoint->length : 1;
    return !codePoint || isUnicodeAlphanumeric(codePoint->value);
}

// White space and line breaks in the Unicode sense (the White_Space property): beside ASCII,
// NEL, the no-break and typographic spaces and the line and paragraph separators, which pasted
// text brings along.
bool isBlank(char32_t codePoint)
{
    return codePoint == ' ' || (codePoint >= '\t' && codePoint <= '\r') || codePoint == 0x85
           || codePoint == 0xA0 || codePoint == 0x1680
           || (codePoint >= 0x2000 && codePoint <= 0x200A) || codePoint == 0x2028
           || codePoint == 0x2029 || codePoint == 0x202F || codePoint == 0x205F
           || codePoint == 0x3000;
}

// The length of the blank that `text` starts or ends with; 0 for none. Malformed bytes, an
// overlong encoding of a blank among them, are no blank, so trimming keeps them.
std::size_t blankAt(std::string_view text, bool atEnd)
{
    if (text.empty()) {
        return 0;
    }
    const std::size_t start = atEnd ? previousCodePointStart(text, text.size()) : 0;
    const auto codePoint = decodeAt(text, start);
    if (!codePoint || !isBlank(codePoint->value)
        || (atEnd && start + codePoint->length != text.size())) {
        return 0;
    }
    const std::size_t shortest = codePoint->value < 0x80 ? 1 : codePoint->value < 0x800 ? 2 : 3;
    return codePoint->length == shortest ? shortest : 0;
}

} // namespace

std::string asciiLowercased(std::string_view text)
{
    std::string result(text);
    for (char &c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

std::string uppercased(std::string_view text)
{
    std::string result;
    const auto &locale = unicodeLocale();
    for (std::size_t index = 0; index < text.size();) {
        const auto codePoint = decodeAt(text, index);
        if (!codePoint) {
            result += text[index++];
            continue;
        }
        char32_t upper = codePoint->value;
        if (upper >= 'a' && upper <= 'z') {
            upper = upper - 'a' + 'A';
        } else if (upper >= 0x80 && locale) {
            upper = static_cast<char32_t>(std::toupper(static_cast<wchar_t>(upper), *locale));
        }
        appendUtf8(result, upper);
        index += codePoint->length;
    }
    return result;
}

std::string_view trimmedToAlphanumerics(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t length = 0;
    while (begin < text.size() && !keepsAt(text, begin, length)) {
        begin += length;
    }
    std::size_t end = text.size();
    while (end > begin) {
        const std::size_t start = previousCodePointStart(text, end);
        if (keepsAt(text, start, length) || start + length != end) {
            break;
        }
        end = start;
    }
    return text.substr(begin, end - begin);
}

std::string_view trimmedBlanks(std::string_view text)
{
    while (std::size_t n = blankAt(text, false)) {
        text.remove_prefix(n);
    }
    while (std::size_t n = blankAt(text, true)) {
        text.remove_suffix(n);
    }
    return text;
}

std::size_t utf8SequenceLength(std::string_view text)
{
    if (text.empty()) {
        return 0;
    }
    const auto byte = [text](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    const unsigned char lead = byte(0);
    std::size_t length = 1;
    unsigned char low = 0x80;  // the range of the second byte
    unsigned char high = 0xBF; // the later ones are always 0x80 to 0xBF
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

std::string endedAsSentence(std::string_view text)
{
    const bool ended = text.ends_with('.') || text.ends_with('!') || text.ends_with('?');
    return std::string(text) + (ended || text.empty() ? "" : ".");
}

} // namespace zentrel
