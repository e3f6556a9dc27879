#include "drawing/drawing_tool.h"

#include "drawing/drawing_toolbar_model.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace zentrel;

TEST(DrawingTool, WordsAreTheCaseNamesInToolbarOrder)
{
    const std::vector<DrawingTool> tools(allDrawingTools.begin(), allDrawingTools.end());
    EXPECT_EQ(tools.size(), 8u);
    EXPECT_EQ(tools.front(), DrawingTool::freehand);
    EXPECT_EQ(tools.back(), DrawingTool::eraser);
    EXPECT_EQ(drawingToolText.text(DrawingTool::rectangle), "rectangle");
    for (DrawingTool tool : tools) {
        EXPECT_EQ(drawingToolText.parse(drawingToolText.text(tool)), tool);
    }
    EXPECT_EQ(drawingToolText.parse("Freehand"), std::nullopt);
    EXPECT_EQ(drawingToolText.parse(""), std::nullopt);
}

TEST(DrawingToolForKey, DigitsAndLettersSelectEveryTool)
{
    EXPECT_EQ(drawingToolForKey("1"), DrawingTool::freehand);
    EXPECT_EQ(drawingToolForKey("p"), DrawingTool::freehand);
    EXPECT_EQ(drawingToolForKey("a"), DrawingTool::arrow);
    EXPECT_EQ(drawingToolForKey("3"), DrawingTool::rectangle);
    EXPECT_EQ(drawingToolForKey("o"), DrawingTool::ellipse);
    EXPECT_EQ(drawingToolForKey("5"), DrawingTool::diamond);
    EXPECT_EQ(drawingToolForKey("l"), DrawingTool::line);
    EXPECT_EQ(drawingToolForKey("7"), DrawingTool::number);
    EXPECT_EQ(drawingToolForKey("n"), DrawingTool::number);
    EXPECT_EQ(drawingToolForKey("8"), DrawingTool::eraser);
}

TEST(DrawingToolForKey, IgnoresCaseButNeedsTheWholeText)
{
    EXPECT_EQ(drawingToolForKey("P"), DrawingTool::freehand);
    EXPECT_EQ(drawingToolForKey("E"), DrawingTool::eraser);
    EXPECT_EQ(drawingToolForKey("12"), std::nullopt);
    EXPECT_EQ(drawingToolForKey("pp"), std::nullopt);
    EXPECT_EQ(drawingToolForKey(" "), std::nullopt);
    EXPECT_EQ(drawingToolForKey("9"), std::nullopt);
    EXPECT_EQ(drawingToolForKey(""), std::nullopt);
    EXPECT_EQ(drawingToolForKey("x"), std::nullopt);
}

TEST(DrawingToolbarModel, NotifiesOnlyRealChanges)
{
    DrawingToolbarModel model;
    EXPECT_EQ(model.selectedTool(), DrawingTool::freehand);
    std::vector<DrawingTool> heard;
    const ScopedConnection connection =
        model.selectedToolChanged.connect([&](DrawingTool tool) { heard.push_back(tool); });

    model.setSelectedTool(DrawingTool::arrow);
    model.setSelectedTool(DrawingTool::arrow);
    model.setSelectedTool(DrawingTool::eraser);

    EXPECT_EQ(heard, (std::vector{DrawingTool::arrow, DrawingTool::eraser}));
    EXPECT_EQ(model.selectedTool(), DrawingTool::eraser);
}
