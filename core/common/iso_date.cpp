#include "common/iso_date.h"

#include <algorithm>
#include <cstdio>

namespace zentrel {
namespace {

std::optional<int> readNumber(std::string_view text, std::size_t position, std::size_t digits)
{
    if (position + digits > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = position; i < position + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool hasCharAt(std::string_view text, std::size_t position, char expected)
{
    return position < text.size() && text[position] == expected;
}

// The whole seconds a Timestamp holds exactly: its nanosecond count spans about 1678 to 2262.
// Dates outside are refused on reading rather than wrapped into other dates.
constexpr std::chrono::seconds earliestSecond =
    std::chrono::ceil<std::chrono::seconds>(Timestamp::min().time_since_epoch());
constexpr std::chrono::seconds latestSecond =
    std::chrono::floor<std::chrono::seconds>(Timestamp::max().time_since_epoch());

} // namespace

std::string formatIsoDate(Timestamp time)
{
    using namespace std::chrono;
    // The first instants of the range floor to a second before it; the next whole second is
    // written instead, so every date written reads back.
    const sys_seconds seconds{
        std::max(floor<std::chrono::seconds>(time.time_since_epoch()), earliestSecond)};
    const auto days = floor<std::chrono::days>(seconds);
    const year_month_day date{days};
    const hh_mm_ss clock{seconds - days};
    char text[32];
    std::snprintf(text,
                  sizeof text,
                  "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

std::optional<Timestamp> parseIsoDate(std::string_view text)
{
    using namespace std::chrono;
    const auto year = readNumber(text, 0, 4);
    const auto month = readNumber(text, 5, 2);
    const auto day = readNumber(text, 8, 2);
    const auto hour = readNumber(text, 11, 2);
    const auto minute = readNumber(text, 14, 2);
    const auto second = readNumber(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || !hasCharAt(text, 4, '-')
        || !hasCharAt(text, 7, '-') || !hasCharAt(text, 10, 'T') || !hasCharAt(text, 13, ':')
        || !hasCharAt(text, 16, ':') || *hour > 23 || *minute > 59 || *second > 60) {
        return std::nullopt;
    }
    const year_month_day date{std::chrono::year{*year},
                              std::chrono::month{static_cast<unsigned>(*month)},
                              std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    std::size_t position = 19;
    milliseconds fraction{0};
    if (hasCharAt(text, position, '.')) {
        ++position;
        int scale = 100;
        const std::size_t start = position;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
            fraction += milliseconds{(text[position] - '0') * scale};
            scale /= 10;
            ++position;
        }
        if (position == start) {
            return std::nullopt;
        }
    }
    minutes offset{0};
    if (hasCharAt(text, position, 'Z') && position + 1 == text.size()) {
        position += 1;
    } else if ((hasCharAt(text, position, '+') || hasCharAt(text, position, '-'))
               && position + 6 == text.size() && hasCharAt(text, position + 3, ':')) {
        const auto offsetHours = readNumber(text, position + 1, 2);
        const auto offsetMinutes = readNumber(text, position + 4, 2);
        if (!offsetHours || !offsetMinutes) {
            return std::nullopt;
        }
        offset = hours{*offsetHours} + minutes{*offsetMinutes};
        if (text[position] == '-') {
            offset = -offset;
        }
    } else {
        return std::nullopt;
    }
    // Whole seconds first: they cannot overflow, so the range check comes before the conversion.
    const seconds whole =
        (sys_days{date} + hours{*hour} + minutes{*minute} + seconds{*second} - offset)
            .time_since_epoch();
    const auto latestFraction = Timestamp::max().time_since_epoch() - latestSecond;
    if (whole < earliestSecond || whole > latestSecond
        || (whole == latestSecond && fraction > latestFraction)) {
        return std::nullopt;
    }
    return Timestamp{duration_cast<Timestamp::duration>(whole) + fraction};
}

} // namespace zentrel
