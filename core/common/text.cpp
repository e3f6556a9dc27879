#include "common/text.h"

#include <array>
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

// The length of the white space or line break that `text` starts or ends with; 0 for none. Beside
// ASCII, the no-break space and the Unicode line and paragraph separators count, since pasted
// text brings them along.
std::size_t blankAt(std::string_view text, bool atEnd)
{
    static constexpr std::array<std::string_view, 10> blanks{" ",
                                                             "\t",
                                                             "\n",
                                                             "\r",
                                                             "\v",
                                                             "\f",
                                                             "\xC2\xA0",
                                                             "\xE2\x80\xA8",
                                                             "\xE2\x80\xA9",
                                                             "\xE3\x80\x80"};
    for (std::string_view blank : blanks) {
        if (atEnd ? text.ends_with(blank) : text.starts_with(blank)) {
            return blank.size();
        }
    }
    return 0;
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

} // namespace zentrel
