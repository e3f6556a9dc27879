#include "whiteboard/model/store/drawing_json.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;
using nlohmann::json;

namespace {

TEST(DrawingJsonTest, RefusesNonFiniteAndUnknownValues)
{
    EXPECT_FALSE(decodeDrawingTool("pen"));
    EXPECT_FALSE(decodeDrawingColor("red"));
    EXPECT_FALSE(
        decodeDrawingPoint(json{{"x", std::numeric_limits<double>::infinity()}, {"y", 0}}));
    EXPECT_FALSE(decodeNumberedMarker(
        json{{"point", {{"x", 0}, {"y", 0}}}, {"number", 1LL << 40}, {"color", "#000000"}}));
}

} // namespace
