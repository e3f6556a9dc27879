#include "shell/active_screen.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace zentrel;

namespace {

using Index = std::optional<std::size_t>;

// A laptop, a larger screen to its right, and a third one to its left and lower down.
const std::vector<RectF> screens{
    {0, 0, 1440, 900}, {1440, 0, 1920, 1080}, {-1280, 100, 1280, 1024}};

} // namespace

TEST(ActiveScreen, PicksTheFirstScreenUnderThePointerOverTheMainScreen)
{
    // A shared border belongs to the screen that starts there.
    const std::pair<PointF, Index> cases[] = {
        {{100, 100}, 0}, {{2000, 500}, 1}, {{-1, 500}, 2}, {{1440, 10}, 1}, {{1439.5, 899.5}, 0}};
    for (const auto &[pointer, expected] : cases) {
        EXPECT_EQ(activeScreenIndex(screens, pointer, 0), expected)
            << pointer.x << "," << pointer.y;
    }
    const std::vector<RectF> mirrored{{0, 0, 1920, 1080}, {0, 0, 1440, 900}};
    EXPECT_EQ(activeScreenIndex(mirrored, PointF{10, 10}, 1), Index(0));
}

TEST(ActiveScreen, FallsBackToTheMainScreenOffEveryFrame)
{
    for (const PointF pointer : {PointF{100, 900}, PointF{3360, 10}, PointF{-10, 50}}) {
        EXPECT_EQ(activeScreenIndex(screens, pointer, 1), Index(1))
            << pointer.x << "," << pointer.y;
        EXPECT_EQ(activeScreenIndex(screens, pointer, std::nullopt), std::nullopt);
    }
    EXPECT_EQ(activeScreenIndex({}, PointF{0, 0}, std::nullopt), std::nullopt);
}

TEST(CenteredWindowFrame, CentresOnTheAreaOfItsScreenInWholePixels)
{
    // The second of two screens side by side, below a 27 px panel.
    const RectF area{1920, 27, 1280, 997};
    EXPECT_EQ(centeredWindowFrame(area, {520, 430}), (RectF{2300, 310, 520, 430}));
    EXPECT_EQ(centeredWindowFrame(area, {901, 600}), (RectF{2109, 225, 901, 600}));
}

TEST(CenteredWindowFrame, ALargerWindowStartsAtTheAreasCorner)
{
    const RectF area{0, 0, 800, 600};
    EXPECT_EQ(centeredWindowFrame(area, {900, 400}), (RectF{0, 100, 900, 400}));
    EXPECT_EQ(centeredWindowFrame(area, {900, 700}), (RectF{0, 0, 900, 700}));
}

TEST(CornerWindowFrame, SitsInTheBottomRightCornerOfTheAreaInWholePixels)
{
    // The second of two screens side by side, above a 40 px panel.
    const RectF area{1920, 0, 1280, 680};
    EXPECT_EQ(cornerWindowFrame(area, {102, 45}, 16), (RectF{3082, 619, 102, 45}));
    EXPECT_EQ(cornerWindowFrame(area, {102.5, 45.5}, 16), (RectF{3081, 618, 102.5, 45.5}));
}

TEST(CornerWindowFrame, ALargerWindowKeepsItsTopLeftCornerInTheArea)
{
    const RectF area{0, 20, 800, 600};
    EXPECT_EQ(cornerWindowFrame(area, {790, 200}, 16), (RectF{0, 404, 790, 200}));
    EXPECT_EQ(cornerWindowFrame(area, {900, 700}, 16), (RectF{0, 20, 900, 700}));
}
