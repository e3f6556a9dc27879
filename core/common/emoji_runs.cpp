#include "common/emoji_runs.h"

#include <algorithm>
#include <iterator>

namespace zentrel {

namespace {

struct CodePointRange
{
    char32_t first;
    char32_t last;
};

// The Unicode emoji data's Emoji_Presentation and Extended_Pictographic properties (15.0).
constexpr CodePointRange emojiPresentation[] = {
    {0x231A, 0x231B},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},   {0x23F3, 0x23F3},
    {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},
    {0x26C4, 0x26C5},   {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},
    {0x26F2, 0x26F3},   {0x26F5, 0x26F5},   {0x26FA, 0x26FA},   {0x26FD, 0x26FD},
    {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},   {0x274C, 0x274C},
    {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},
    {0x2B55, 0x2B55},   {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E},
    {0x1F191, 0x1F19A}, {0x1F1E6, 0x1F1FF}, {0x1F201, 0x1F201}, {0x1F21A, 0x1F21A},
    {0x1F22F, 0x1F22F}, {0x1F232, 0x1F236}, {0x1F238, 0x1F23A}, {0x1F250, 0x1F251},
    {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393},
    {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4},
    {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D},
    {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596},
    {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC},
    {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC},
    {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A},
    {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FA7C}, {0x1FA80, 0x1FA88},
    {0x1FA90, 0x1FABD}, {0x1FABF, 0x1FAC5}, {0x1FACE, 0x1FADB}, {0x1FAE0, 0x1FAE8},
    {0x1FAF0, 0x1FAF8},
};
constexpr CodePointRange pictographic[] = {
    {0x00A9, 0x00A9},   {0x00AE, 0x00AE},   {0x203C, 0x203C},   {0x2049, 0x2049},
    {0x2122, 0x2122},   {0x2139, 0x2139},   {0x2194, 0x2199},   {0x21A9, 0x21AA},
    {0x231A, 0x231B},   {0x2328, 0x2328},   {0x2388, 0x2388},   {0x23CF, 0x23CF},
    {0x23E9, 0x23F3},   {0x23F8, 0x23FA},   {0x24C2, 0x24C2},   {0x25AA, 0x25AB},
    {0x25B6, 0x25B6},   {0x25C0, 0x25C0},   {0x25FB, 0x25FE},   {0x2600, 0x2605},
    {0x2607, 0x2612},   {0x2614, 0x2685},   {0x2690, 0x2705},   {0x2708, 0x2712},
    {0x2714, 0x2714},   {0x2716, 0x2716},   {0x271D, 0x271D},   {0x2721, 0x2721},
    {0x2728, 0x2728},   {0x2733, 0x2734},   {0x2744, 0x2744},   {0x2747, 0x2747},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},
    {0x2763, 0x2767},   {0x2795, 0x2797},   {0x27A1, 0x27A1},   {0x27B0, 0x27B0},
    {0x27BF, 0x27BF},   {0x2934, 0x2935},   {0x2B05, 0x2B07},   {0x2B1B, 0x2B1C},
    {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x3030, 0x3030},   {0x303D, 0x303D},
    {0x3297, 0x3297},   {0x3299, 0x3299},   {0x1F000, 0x1F0FF}, {0x1F10D, 0x1F10F},
    {0x1F12F, 0x1F12F}, {0x1F16C, 0x1F171}, {0x1F17E, 0x1F17F}, {0x1F18E, 0x1F18E},
    {0x1F191, 0x1F19A}, {0x1F1AD, 0x1F1E5}, {0x1F201, 0x1F20F}, {0x1F21A, 0x1F21A},
    {0x1F22F, 0x1F22F}, {0x1F232, 0x1F23A}, {0x1F23C, 0x1F23F}, {0x1F249, 0x1F3FA},
    {0x1F400, 0x1F53D}, {0x1F546, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F774, 0x1F77F},
    {0x1F7D5, 0x1F7FF}, {0x1F80C, 0x1F80F}, {0x1F848, 0x1F84F}, {0x1F85A, 0x1F85F},
    {0x1F888, 0x1F88F}, {0x1F8AE, 0x1F8FF}, {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945},
    {0x1F947, 0x1FAFF}, {0x1FC00, 0x1FFFD},
};

bool isIn(const CodePointRange *begin, const CodePointRange *end, char32_t c)
{
    const CodePointRange *found =
        std::upper_bound(begin, end, c, [](char32_t value, const CodePointRange &range) {
            return value < range.first;
        });
    return found != begin && c <= std::prev(found)->last;
}

bool isEmojiPresentation(char32_t c)
{
    return isIn(std::begin(emojiPresentation), std::end(emojiPresentation), c);
}

bool isPictographic(char32_t c)
{
    return isIn(std::begin(pictographic), std::end(pictographic), c);
}

constexpr char32_t textSelector = 0xFE0E;
constexpr char32_t emojiSelector = 0xFE0F;
constexpr char32_t joiner = 0x200D;
constexpr char32_t keycap = 0x20E3;

bool isKeycapBase(char32_t c)
{
    return c == '#' || c == '*' || (c >= '0' && c <= '9');
}

bool isRegionalIndicator(char32_t c)
{
    return c >= 0x1F1E6 && c <= 0x1F1FF;
}

bool isSkinTone(char32_t c)
{
    return c >= 0x1F3FB && c <= 0x1F3FF;
}

bool isTag(char32_t c)
{
    return c >= 0xE0020 && c <= 0xE007F;
}

// What follows an emoji as part of it.
bool extendsEmoji(char32_t c)
{
    return c == emojiSelector || isSkinTone(c) || c == keycap || isTag(c);
}

// Reads code points out of UTF-16; a lone surrogate reads as itself.
class CodePoints
{
public:
    explicit CodePoints(std::u16string_view text)
        : m_text(text)
    {}

    // The code point at `at`, or 0 past the end, and where the next one starts.
    std::pair<char32_t, std::size_t> at(std::size_t at) const
    {
        if (at >= m_text.size()) {
            return {0, at};
        }
        const char32_t unit = m_text[at];
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < m_text.size() && m_text[at + 1] >= 0xDC00
            && m_text[at + 1] <= 0xDFFF) {
            return {0x10000 + ((unit - 0xD800) << 10) + (m_text[at + 1] - 0xDC00), at + 2};
        }
        return {unit, at + 1};
    }

private:
    std::u16string_view m_text;
};

// Whether the character `c`, followed by `next`, begins an emoji.
bool beginsEmoji(char32_t c, char32_t next)
{
    if (!isPictographic(c) && !isKeycapBase(c) && !isRegionalIndicator(c)) {
        return false;
    }
    if (next == textSelector) {
        return false;
    }
    if (next == emojiSelector || next == keycap) {
        return true;
    }
    if (isSkinTone(next) || isTag(next)) {
        return isPictographic(c);
    }
    return isEmojiPresentation(c);
}

} // namespace

std::vector<TextRange> emojiRuns(std::u16string_view text)
{
    const CodePoints points(text);
    std::vector<TextRange> runs;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto [c, afterC] = points.at(at);
        std::size_t end = afterC;
        if (!beginsEmoji(c, points.at(afterC).first)) {
            at = end;
            continue;
        }
        if (isRegionalIndicator(c) && isRegionalIndicator(points.at(end).first)) {
            end = points.at(end).second;
        }
        for (;;) {
            const auto [next, afterNext] = points.at(end);
            if (extendsEmoji(next)) {
                end = afterNext;
            } else if (next == joiner && isPictographic(points.at(afterNext).first)) {
                end = points.at(afterNext).second;
            } else {
                break;
            }
        }
        if (!runs.empty() && runs.back().end == at) {
            runs.back().end = end;
        } else {
            runs.push_back({at, end});
        }
        at = end;
    }
    return runs;
}

} // namespace zentrel
