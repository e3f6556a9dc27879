#include "common/color.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

using namespace zentrel;

TEST(ColorHexString, RoundsHalvesUpAndClampsEachComponent)
{
    constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
    const std::pair<Color, const char *> cases[] = {
        {{1, 0, 0, 1}, "#FF0000"},
        {{0.5, 0.5, 0.5, 1}, "#808080"},
        {{1.0 / 255, 10.0 / 255, 171.0 / 255, 1}, "#010AAB"},
        {{0.49 / 255, 0, 1, 0}, "#0000FF"},
        {{1.5, -0.2, 0, 1}, "#FF0000"},
        {{notANumber, 1, notANumber, 1}, "#00FF00"},
    };
    for (const auto &[color, text] : cases) {
        EXPECT_EQ(hexString(color), text);
    }
}

TEST(ColorText, AcceptsSixHexDigitsWithPunctuationAround)
{
    const Color expected{255.0 / 255, 59.0 / 255, 48.0 / 255, 1};
    for (const char *text : {"#ff3b30", "FF3B30", "#FF3B30\n", " (fF3B30) ", "«FF3B30»"}) {
        EXPECT_EQ(colorFromHex(std::string(text)), expected) << text;
    }
}

TEST(ColorText, RejectsAnythingButExactlySixHexDigits)
{
    EXPECT_EQ(colorFromHex(std::nullopt), std::nullopt);
    // Letters outside ASCII count as alphanumeric, so they are not trimmed away.
    for (const char *text :
         {"", "#F00", "#FF3B30FF", "0xFF3B30", "#FF 3B30", "#GG0000", "ÄFF3B30", "#ＦF3B30"}) {
        EXPECT_EQ(colorFromHex(std::string(text)), std::nullopt) << text;
    }
}

TEST(ColorText, RoundTripsWithinHalfAStepAndComesBackOpaque)
{
    for (int step = 0; step <= 40; ++step) {
        const double value = step / 40.0;
        const Color original{value, 1 - value, value * value, 0.25};
        const auto read = colorFromHex(hexString(original));
        ASSERT_TRUE(read.has_value()) << value;
        EXPECT_NEAR(read->red, original.red, 0.5 / 255);
        EXPECT_NEAR(read->green, original.green, 0.5 / 255);
        EXPECT_NEAR(read->blue, original.blue, 0.5 / 255);
        EXPECT_EQ(read->alpha, 1.0);
    }
}
