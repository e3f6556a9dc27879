#include "panels/panel_mask.h"

#include <QRectF>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// Draw's toolbar.
const QSize toolbar(892, 54);
constexpr qreal toolbarRadius = 10;

// The mask as the window gets it on a screen of the ratio: each band scaled and rounded on its
// own, as Qt does.
QRegion onScreen(const QRegion &mask, qreal devicePixelRatio)
{
    QRegion scaled;
    for (const QRect &band : mask) {
        scaled += QRectF(band.x() * devicePixelRatio,
                         band.y() * devicePixelRatio,
                         band.width() * devicePixelRatio,
                         band.height() * devicePixelRatio)
                      .toRect();
    }
    return scaled;
}

// Screen rows, top to bottom, that the mask leaves clear across the panel's middle.
std::vector<int> clearRows(const QRegion &scaled, int height)
{
    const int middle = scaled.boundingRect().center().x();
    std::vector<int> rows;
    for (int y = 0; y < height; ++y) {
        if (!scaled.contains(QPoint(middle, y))) {
            rows.push_back(y);
        }
    }
    return rows;
}

TEST(RoundedPanelMask, CutsOnlyTheCornersAtWholeScales)
{
    for (const qreal ratio : {1.0, 2.0}) {
        const QRegion mask = roundedPanelMask(toolbar, toolbarRadius, ratio);
        EXPECT_EQ(mask.boundingRect(), QRect(QPoint(0, 0), toolbar)) << ratio;
        EXPECT_FALSE(mask.contains(QPoint(0, 0))) << ratio;
        EXPECT_FALSE(mask.contains(QPoint(toolbar.width() - 1, toolbar.height() - 1))) << ratio;
        EXPECT_TRUE(mask.contains(QRect(10, 0, toolbar.width() - 20, toolbar.height()))) << ratio;
        EXPECT_TRUE(mask.contains(QRect(0, 10, toolbar.width(), toolbar.height() - 20))) << ratio;
    }
}

TEST(RoundedPanelMask, LeavesNoClearLineAcrossThePanelAtFractionalScales)
{
    for (const qreal ratio : {1.25, 1.5, 1.75}) {
        const QRegion mask = roundedPanelMask(toolbar, toolbarRadius, ratio);
        const QRegion scaled = onScreen(mask, ratio);
        const int height = int(toolbar.height() * ratio);
        EXPECT_EQ(clearRows(scaled, height), std::vector<int>{}) << ratio;
        EXPECT_GE(scaled.boundingRect().width(), int(toolbar.width() * ratio)) << ratio;
        // Still rounded where the scale allows it.
        EXPECT_FALSE(mask.contains(QPoint(0, 0))) << ratio;
    }
}

TEST(RoundedPanelMask, KeepsSquareCornersWhereNoRowsAreWholeScreenPixels)
{
    const qreal ratio = 1.1;
    const QRegion mask = roundedPanelMask(toolbar, toolbarRadius, ratio);
    EXPECT_EQ(mask, QRegion(QRect(QPoint(0, 0), toolbar)));
    EXPECT_EQ(clearRows(onScreen(mask, ratio), int(toolbar.height() * ratio)), std::vector<int>{});
}

} // namespace
} // namespace zentrel
