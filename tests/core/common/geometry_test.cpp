#include "common/geometry.h"

#include <gtest/gtest.h>

using namespace zentrel;

TEST(Geometry, QueriesNormaliseSignedRectangles)
{
    const RectF signedRect{10, 10, -10, -20};
    EXPECT_EQ(rectCenter(signedRect), (PointF{5, 0}));
    EXPECT_EQ(unionRect(signedRect, {20, 0, 0, 0}), (RectF{0, -10, 20, 20}));
    EXPECT_EQ(insetRect(signedRect, 2, 2), (RectF{2, -8, 6, 16}));
    EXPECT_EQ(insetRect(signedRect, 6, 0), (RectF{5, 0, 0, 0}));
    // Each axis on its own: too narrow to inset collapses that axis only.
    EXPECT_EQ(insetEachAxis(signedRect, 6, 2), (RectF{5, -8, 0, 16}));
    EXPECT_EQ(insetEachAxis(signedRect, 2, 2), insetRect(signedRect, 2, 2));
    EXPECT_TRUE(rectContains(signedRect, {0, -10}));
    EXPECT_DOUBLE_EQ(distanceToSegment({3, 4}, {0, 0}, {0, 0}), 5);
}
