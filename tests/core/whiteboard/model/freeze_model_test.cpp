#include "whiteboard/model/freeze_model.h"

#include "whiteboard/model/drawing_json.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;
using nlohmann::json;

namespace {

TEST(FreezeToolTest, ReadsOnlyExactTexts)
{
    EXPECT_EQ(freezeToolFromText("number"), FreezeTool::number);
    EXPECT_EQ(freezeToolFromText("Number"), std::nullopt);
    EXPECT_EQ(freezeToolFromText("marker"), std::nullopt);
    ASSERT_EQ(allFreezeTools.size(), 11u);
    EXPECT_EQ(allFreezeTools.front(), FreezeTool::selection);
    EXPECT_EQ(allFreezeTools.back(), FreezeTool::eraser);
    for (FreezeTool tool : allFreezeTools) {
        EXPECT_EQ(freezeToolFromText(freezeToolName(tool)), tool);
    }
}

TEST(FreezeShapeTest, EqualityComparesEveryField)
{
    const StraightLine line{{0, 0}, {10, 5}, {1, 0, 0, 1}, 2};
    StraightLine wider = line;
    wider.lineWidth = 3;
    EXPECT_EQ(line, line);
    EXPECT_NE(line, wider);

    const DiamondShape diamond{{0, 0, 10, 10}, {1, 0, 0, 1}, 2};
    DiamondShape recoloured = diamond;
    EXPECT_EQ(diamond, recoloured);
    recoloured.color = {0, 0, 1, 1};
    EXPECT_NE(diamond, recoloured);
}

TEST(FreezeItemTest, HoldsEachAnnotationKindInOrder)
{
    FreezeAnnotationItem item = NumberedMarker{{1, 2}, 3, {}};
    EXPECT_EQ(item.index(), 1u);
    item = StraightLine{};
    EXPECT_EQ(item.index(), 4u);
    FreezeSessionModel session;
    session.annotations.push_back(item);
    EXPECT_FALSE(session.canUndo);
}

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
