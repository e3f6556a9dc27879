#include "whiteboard/model/drawing_json.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;
using nlohmann::json;

namespace {

TEST(DrawingJsonTest, StrokesAndMarkersRoundTrip)
{
    DrawingStroke stroke{DrawingTool::arrow,
                         {{1, 2}, {3, 4}},
                         {1, 0, 0, 1},
                         5,
                         *parseIsoDate("2026-01-01T00:00:00Z"),
                         2.5};
    auto encoded = encodeDrawingStroke(stroke);
    ASSERT_TRUE(encoded);
    EXPECT_EQ((*encoded)["tool"], "arrow");
    EXPECT_EQ((*encoded)["color"], "#FF0000");
    EXPECT_EQ(*decodeDrawingStroke(*encoded), stroke);

    const NumberedMarker marker{{5, 6}, 7, {0, 1, 0, 1}};
    EXPECT_EQ(*decodeNumberedMarker(*encodeNumberedMarker(marker)), marker);
}

TEST(DrawingJsonTest, RefusesNonFiniteAndUnknownValues)
{
    DrawingStroke stroke;
    stroke.lineWidth = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(encodeDrawingStroke(stroke));
    EXPECT_FALSE(decodeDrawingTool("pen"));
    EXPECT_FALSE(decodeDrawingColor("red"));
    EXPECT_FALSE(
        decodeDrawingPoint(json{{"x", std::numeric_limits<double>::infinity()}, {"y", 0}}));
    EXPECT_FALSE(decodeNumberedMarker(
        json{{"point", {{"x", 0}, {"y", 0}}}, {"number", 1LL << 40}, {"color", "#000000"}}));
}

} // namespace
