#include "whiteboard/model/freeze/freeze_model.h"

#include "whiteboard/model/freeze/freeze_session_model.h"
#include "whiteboard/model/freeze/viewport_transform.h"

#include <gtest/gtest.h>

#include <any>
#include <string>

using namespace zentrel;

TEST(FreezeModel, ShapesCompareEveryField)
{
    const Color red{1, 0, 0, 1};
    const StraightLine line{{0, 0}, {10, 5}, red, 2};
    StraightLine wider = line;
    wider.lineWidth = 3;
    EXPECT_NE(line, wider);

    const DiamondShape diamond{{0, 0, 20, 10}, red, 2};
    DiamondShape sameColour = diamond;
    sameColour.color = Color{1, 0, 0, 1};
    EXPECT_EQ(diamond, sameColour);
    DiamondShape otherColour = diamond;
    otherColour.color.alpha = 0.5;
    EXPECT_NE(diamond, otherColour);
}

TEST(FreezeModel, ViewportTransformsDifferInAnyComponent)
{
    const ViewportTransform view{2, {10, 20}};
    EXPECT_EQ(view, (ViewportTransform{2, {10, 20}}));
    EXPECT_NE(view, (ViewportTransform{2, {10, 21}}));
    EXPECT_NE(view, (ViewportTransform{1, {10, 20}}));
}

TEST(FreezeModel, SessionStartsWithNothingDrawnOverItsScene)
{
    const FreezeSessionModel session({800, 600}, {std::string("frozen screen")});
    EXPECT_EQ(session.sceneSize, (SizeF{800, 600}));
    EXPECT_EQ(std::any_cast<std::string>(session.background.image), "frozen screen");
    EXPECT_EQ(session.viewport, ViewportTransform{});
    EXPECT_TRUE(session.annotations.empty());
    EXPECT_TRUE(session.history.undoStates.empty());
    EXPECT_FALSE(session.canUndo || session.canRedo || session.hasMarkers);
    EXPECT_FALSE(session.selectedAnnotationIndex);
}
