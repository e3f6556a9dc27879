#include "panels/panel_mask.h"

#include "panels/overlay_window_factory.h"
#include "panels/panel_backdrop.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace zentrel {
namespace {

// Draw's toolbar.
const QSize toolbar(892, 54);
constexpr qreal toolbarRadius = 10;
const std::vector<qreal> scales{1.0, 1.25, 1.5, 1.75, 2.0};

// The panel's window as the screen holds it: Qt rounds its size to whole screen pixels.
QSize onScreen(QSize size, qreal devicePixelRatio)
{
    return size * devicePixelRatio;
}

// Screen rows, top to bottom, that the mask leaves clear across the panel's middle.
std::vector<int> clearRows(const QRegion &mask, int height)
{
    const int middle = mask.boundingRect().center().x();
    std::vector<int> rows;
    for (int y = 0; y < height; ++y) {
        if (!mask.contains(QPoint(middle, y))) {
            rows.push_back(y);
        }
    }
    return rows;
}

TEST(RoundedPanelMask, CutsOnlyTheCornersInScreenPixels)
{
    for (const qreal ratio : {1.0, 2.0}) {
        const QRegion mask = roundedPanelMask(toolbar, toolbarRadius, ratio);
        const QSize screen = onScreen(toolbar, ratio);
        const int corner = int(toolbarRadius * ratio);
        EXPECT_EQ(mask.boundingRect(), QRect(QPoint(0, 0), screen)) << ratio;
        EXPECT_FALSE(mask.contains(QPoint(0, 0))) << ratio;
        EXPECT_FALSE(mask.contains(QPoint(screen.width() - 1, screen.height() - 1))) << ratio;
        EXPECT_TRUE(mask.contains(QRect(corner, 0, screen.width() - 2 * corner, screen.height())))
            << ratio;
        EXPECT_TRUE(mask.contains(QRect(0, corner, screen.width(), screen.height() - 2 * corner)))
            << ratio;
    }
}

TEST(RoundedPanelMask, LeavesNoClearLineAcrossThePanelAtAnyScale)
{
    for (const qreal ratio : {1.1, 1.25, 1.5, 1.75}) {
        const QRegion mask = roundedPanelMask(toolbar, toolbarRadius, ratio);
        // The screen pixels the panel paints whole; one it paints only in part may stay out.
        const QSize whole(int(toolbar.width() * ratio), int(toolbar.height() * ratio));
        EXPECT_EQ(clearRows(mask, whole.height()), std::vector<int>{}) << ratio;
        EXPECT_GE(mask.boundingRect().width(), whole.width()) << ratio;
        EXPECT_FALSE(mask.contains(QPoint(0, 0))) << ratio;
    }
}

// The alpha of a panel painted by itself onto a clear image at the scale, as the window's
// backing store holds it.
QImage painted(QWidget &panel, qreal devicePixelRatio)
{
    QImage image(onScreen(panel.size(), devicePixelRatio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    panel.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Where no compositing manager blends the window, the screen shows a pixel's premultiplied
// colour: the shape must keep every pixel painted less than half as opaque as the panel's body
// out (a faint outline alone shows nearly black), and every pixel painted more than about half
// in, so the edge ends where the painting does and corners step by one screen pixel.
testing::AssertionResult shapeMatchesPainting(const QImage &image, const QRegion &mask)
{
    const int body = qAlpha(image.pixel(image.width() / 2, image.height() / 2));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double share = double(qAlpha(image.pixel(x, y))) / body;
            const bool inside = mask.contains(QPoint(x, y));
            if (inside && share < 0.4) {
                return testing::AssertionFailure()
                       << "the shape shows (" << x << ", " << y << "), painted at " << share
                       << " of the body's opacity";
            }
            if (!inside && share > 0.65) {
                return testing::AssertionFailure()
                       << "the shape cuts (" << x << ", " << y << "), painted at " << share
                       << " of the body's opacity";
            }
        }
    }
    return testing::AssertionSuccess();
}

// Toolbars and settings panels as the factory makes them, with sizes whose far edge falls
// inside a screen pixel at the fractional scales.
TEST(RoundedPanelMask, EndsWherePanelsArePaintedAtEveryScale)
{
    const OverlayWindowFactory factory(QRect(0, 0, 1920, 1080));
    std::vector<std::unique_ptr<OverlayPanel>> panels;
    for (const QSize content : {QSize(851, 33), QSize(300, 41)}) {
        auto *strip = new QWidget;
        strip->setFixedSize(content);
        panels.push_back(factory.makeToolbarPanel(new TeachingControlStrip(strip), nullptr));
    }
    auto *rows = new QWidget;
    rows->setFixedSize(277, 189);
    panels.push_back(factory.makeSettingsPanel(new ToolbarSettingsContainer(rows), nullptr, {}));
    for (const auto &panel : panels) {
        panel->adjustSize();
        for (const qreal ratio : scales) {
            const QRegion mask = roundedPanelMask(panel->size(), panel->cornerRadius(), ratio);
            EXPECT_TRUE(shapeMatchesPainting(painted(*panel, ratio), mask))
                << panel->width() << " x " << panel->height() << " at " << ratio;
        }
    }
}

} // namespace
} // namespace zentrel
