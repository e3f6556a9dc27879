#include "whiteboard/model/whiteboard_vocabulary.h"

#include "whiteboard/model/whiteboard_interaction.h"
#include "whiteboard/model/whiteboard_tool.h"

#include <gtest/gtest.h>

using namespace zentrel;

TEST(WhiteboardVocabulary, FillStyleCrossHatchIsHyphenated)
{
    EXPECT_EQ(whiteboardFillStyleText.parse("cross-hatch"), WhiteboardFillStyle::crossHatch);
    EXPECT_FALSE(whiteboardFillStyleText.parse("crossHatch"));
    EXPECT_EQ(whiteboardFillStyleText.text(WhiteboardFillStyle::crossHatch), "cross-hatch");
}

TEST(WhiteboardVocabulary, FontFamilyNumbersAreTwoThreeAndFive)
{
    EXPECT_EQ(whiteboardFontFamilyFromNumber(2), WhiteboardFontFamily::system);
    EXPECT_EQ(whiteboardFontFamilyFromNumber(3), WhiteboardFontFamily::monospace);
    EXPECT_EQ(whiteboardFontFamilyFromNumber(5), WhiteboardFontFamily::handDrawn);
    for (int number : {0, 1, 4, 6}) {
        EXPECT_FALSE(whiteboardFontFamilyFromNumber(number)) << number;
    }
}

TEST(WhiteboardVocabulary, ElementKindsRoundTripInOrder)
{
    ASSERT_EQ(allWhiteboardElementKinds.size(), 9u);
    EXPECT_EQ(allWhiteboardElementKinds.back(), WhiteboardElementKind::unsupported);
    for (WhiteboardElementKind kind : allWhiteboardElementKinds) {
        EXPECT_EQ(whiteboardElementKindText.parse(whiteboardElementKindText.text(kind)), kind);
    }
    EXPECT_FALSE(whiteboardElementKindText.parse("Rectangle"));
}

TEST(WhiteboardTool, ShortcutsMatchTheWholeLowerCasedText)
{
    EXPECT_EQ(toolForShortcut("V"), WhiteboardTool::selection);
    EXPECT_EQ(toolForShortcut("1"), WhiteboardTool::selection);
    EXPECT_EQ(toolForShortcut("H"), WhiteboardTool::pan);
    EXPECT_EQ(toolForShortcut("h"), WhiteboardTool::pan);
    EXPECT_EQ(toolForShortcut("0"), WhiteboardTool::marker);
    EXPECT_EQ(toolForShortcut("E"), WhiteboardTool::eraser);
    for (const char *text : {"x", "", "12", "vv"}) {
        EXPECT_FALSE(toolForShortcut(text)) << text;
    }
}

TEST(WhiteboardTool, ListsElevenToolsWhoseKeysSelectThem)
{
    ASSERT_EQ(allWhiteboardTools.size(), 11u);
    EXPECT_EQ(allWhiteboardTools.front(), WhiteboardTool::selection);
    EXPECT_EQ(allWhiteboardTools.back(), WhiteboardTool::eraser);
    for (WhiteboardTool tool : allWhiteboardTools) {
        EXPECT_EQ(toolForShortcut(shortcutKey(tool)), tool) << whiteboardToolText.text(tool);
    }
    EXPECT_EQ(title(WhiteboardTool::marker), "Number");
    EXPECT_EQ(title(WhiteboardTool::freedraw), "Pen");
    EXPECT_EQ(symbolName(WhiteboardTool::ellipse), "circle");
    EXPECT_EQ(shortcutKey(WhiteboardTool::pan), "H");
}

TEST(WhiteboardInteraction, ResizingComparesItsHandle)
{
    using Kind = WhiteboardInteraction::Kind;
    const auto topLeft = WhiteboardInteraction::resizing(WhiteboardResizeHandle::topLeft);
    EXPECT_EQ(topLeft, WhiteboardInteraction::resizing(WhiteboardResizeHandle::topLeft));
    EXPECT_NE(topLeft, WhiteboardInteraction::resizing(WhiteboardResizeHandle::top));
    EXPECT_NE(topLeft, WhiteboardInteraction(Kind::idle));
    EXPECT_EQ(WhiteboardInteraction(), Kind::idle);
    EXPECT_EQ(allWhiteboardResizeHandles[4], WhiteboardResizeHandle::bottomRight);
}
