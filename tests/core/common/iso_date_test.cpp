#include "common/iso_date.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

using namespace zentrel;
using namespace std::chrono;

namespace {

const Timestamp sample = sys_days{2026y / December / 6} + 20h + 50min + 46s;

} // namespace

TEST(IsoDateFormat, WritesUtcWithWholeSeconds)
{
    EXPECT_EQ(formatIsoDate(sample), "2026-12-06T20:50:46Z");
    EXPECT_EQ(formatIsoDate(sample + 400ms), "2026-12-06T20:50:46Z");
    EXPECT_EQ(formatIsoDate(Timestamp{}), "1970-01-01T00:00:00Z");
    // Before 1970 the seconds must not round towards the epoch.
    EXPECT_EQ(formatIsoDate(Timestamp{} - 1s), "1969-12-31T23:59:59Z");
}

TEST(IsoDateParse, ReadsUtcFractionsAndOffsets)
{
    const std::pair<const char *, Timestamp> cases[] = {
        {"2026-12-06T20:50:46Z", sample},
        {"2026-12-06T20:50:46.250Z", sample + 250ms},
        {"2026-12-06T22:50:46+02:00", sample},
        {"2026-12-06T15:20:46-05:30", sample},
        {"2026-12-07T00:50:46+04:00", sample},
        {"2024-02-29T00:00:00Z", sys_days{2024y / February / 29}},
    };
    for (const auto &[text, time] : cases) {
        EXPECT_EQ(parseIsoDate(text), std::optional<Timestamp>(time)) << text;
        EXPECT_EQ(parseIsoDate(formatIsoDate(time)),
                  std::optional<Timestamp>(floor<seconds>(time)));
    }
}

TEST(IsoDateParse, RejectsMalformedTextAndImpossibleDates)
{
    const char *const malformed[] = {
        "",
        "2026-12-06",
        "2026-12-06T20:50Z",
        "2026-12-06T20:50:46Zjunk",
        "2026-12-6T20:50:46Z",
        "abcd-12-06T20:50:46Z",
        "2026-12-06T20:50:46.Z",
        "2026-12-06T20:50:46+02",
        "2026-02-30T00:00:00Z",
        "2025-02-29T00:00:00Z",
        "2026-04-31T00:00:00Z",
        "2026-13-01T00:00:00Z",
        "2026-12-00T00:00:00Z",
        "2026-12-06T25:00:00Z",
        "2026-12-06T20:60:00Z",
    };
    for (const char *text : malformed) {
        EXPECT_EQ(parseIsoDate(text), std::nullopt) << text;
    }
}

TEST(IsoDateParse, RefusesDatesATimestampCannotHoldInsteadOfWrappingThem)
{
    const char *const outOfRange[] = {
        "2300-01-01T00:00:00Z",
        "9999-12-31T23:59:59Z",
        "2262-04-11T23:47:17Z",
        "1677-09-21T00:12:43Z",
        "0000-01-01T00:00:00Z",
        // Inside the range only before its offset is applied.
        "2262-04-11T23:59:00-01:00",
    };
    for (const char *text : outOfRange) {
        EXPECT_EQ(parseIsoDate(text), std::nullopt) << text;
    }
    EXPECT_EQ(parseIsoDate("2262-04-11T23:47:16Z"),
              std::optional<Timestamp>(floor<seconds>(Timestamp::max())));
    EXPECT_EQ(parseIsoDate("2262-04-11T23:47:16.999Z"), std::nullopt);
    EXPECT_EQ(parseIsoDate("1677-09-21T00:12:44Z"),
              std::optional<Timestamp>(ceil<seconds>(Timestamp::min())));
}

TEST(IsoDateFormat, EveryDateWrittenReadsBackAsWritten)
{
    const Timestamp edges[] = {
        Timestamp::min(),
        Timestamp::min() + 1ns,
        Timestamp::max(),
        Timestamp::max() - 1s,
        Timestamp{},
    };
    for (const Timestamp time : edges) {
        const std::string text = formatIsoDate(time);
        const auto read = parseIsoDate(text);
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_EQ(formatIsoDate(*read), text);
    }
}
