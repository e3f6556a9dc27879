#include "whiteboard/model/freeze/freeze_tool.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

using namespace zentrel;

TEST(FreezeTool, ListsItsTextsInToolbarOrder)
{
    std::vector<std::string_view> texts;
    for (FreezeTool tool : allFreezeTools) {
        texts.push_back(freezeToolText.text(tool));
        EXPECT_EQ(freezeToolText.parse(texts.back()), tool);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string_view>{"selection",
                                             "pan",
                                             "freehand",
                                             "arrow",
                                             "rectangle",
                                             "ellipse",
                                             "diamond",
                                             "line",
                                             "text",
                                             "number",
                                             "eraser"}));
}

TEST(FreezeTool, IsMadeOnlyFromItsExactText)
{
    EXPECT_EQ(freezeToolText.parse("number"), FreezeTool::number);
    // The whiteboard's names for its tools are not this session's.
    EXPECT_FALSE(freezeToolText.parse("marker"));
    EXPECT_FALSE(freezeToolText.parse("freedraw"));
    EXPECT_FALSE(freezeToolText.parse("Number"));
    EXPECT_FALSE(freezeToolText.parse("Selection"));
    EXPECT_FALSE(freezeToolText.parse("pan "));
    EXPECT_FALSE(freezeToolText.parse(""));
}
