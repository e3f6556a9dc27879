#include "common/monitor_pixels.h"

#include "capture/capture_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace zentrel {
namespace {

// Common monitors and odd ones, sides that no scale divides among them.
const std::vector<PixelRect> monitorSizes{
    {0, 0, 1280, 720},
    {0, 0, 1366, 768},
    {0, 0, 1600, 900},
    {0, 0, 1920, 1080},
    {0, 0, 1920, 1200},
    {0, 0, 2560, 1440},
    {0, 0, 2560, 1600},
    {0, 0, 2880, 1800},
    {0, 0, 3440, 1440},
    {0, 0, 3840, 2160},
    {0, 0, 5120, 2880},
    {0, 0, 1001, 667},
    {0, 0, 1367, 769},
    {0, 0, 799, 601},
    {0, 0, 2561, 1441},
    {0, 0, 3, 2},
};

// A side in whole points as Qt gives it: pixels times the inverse ratio, rounded.
int qtPoints(int pixels, double pixelRatio)
{
    return int(std::floor(pixels * (1.0 / pixelRatio) + 0.5));
}

// The screen Qt lays out for the monitor: the origin in pixels, the size in points.
PixelRect qtGeometry(const PixelRect &monitor, double pixelRatio)
{
    return {monitor.x,
            monitor.y,
            qtPoints(monitor.width, pixelRatio),
            qtPoints(monitor.height, pixelRatio)};
}

// Every size side by side with every other, and one below, at every scale from 1 to 3 in
// quarters: each screen Qt lays out is its own monitor, to the pixel.
TEST(MonitorOfScreen, IsTheMonitorItselfAtEverySizeAndScale)
{
    for (const PixelRect &left : monitorSizes) {
        for (const PixelRect &size : monitorSizes) {
            const PixelRect right{left.width, 0, size.width, size.height};
            const PixelRect below{0, left.height, size.width, size.height};
            const std::vector<PixelRect> monitors{left, right, below};
            for (double ratio = 1; ratio <= 3; ratio += 0.25) {
                for (const PixelRect &monitor : monitors) {
                    const PixelRect geometry = qtGeometry(monitor, ratio);
                    const auto found = monitorOfScreen(geometry, ratio, monitors);
                    ASSERT_EQ(found, monitor) << monitor.width << "x" << monitor.height << "+"
                                              << monitor.x << "+" << monitor.y << " at " << ratio;
                    // Windows laid out over the screen's exact size in points meet its pixels.
                    const SizeF points =
                        screenSizeInPoints({double(geometry.width), double(geometry.height)},
                                           found->width,
                                           found->height,
                                           ratio);
                    ASSERT_NEAR(points.width * ratio, monitor.width, 1e-9);
                    ASSERT_NEAR(points.height * ratio, monitor.height, 1e-9);
                }
            }
        }
    }
}

TEST(MonitorOfScreen, IsNoneForAScreenNoMonitorShows)
{
    const std::vector<PixelRect> monitors{{0, 0, 2560, 1440}, {2560, 0, 2560, 1440}};
    // Moved, resized or laid out at another scale since: no monitor is that screen any more.
    EXPECT_EQ(monitorOfScreen({1, 0, 1707, 960}, 1.5, monitors), std::nullopt);
    EXPECT_EQ(monitorOfScreen({0, 0, 1280, 720}, 1.5, monitors), std::nullopt);
    EXPECT_EQ(monitorOfScreen({2560, 0, 1707, 960}, 1.25, monitors), std::nullopt);
    EXPECT_EQ(monitorOfScreen({0, 0, 1707, 960}, 1.5, {}), std::nullopt);
    EXPECT_EQ(monitorOfScreen({0, 0, 1707, 960}, 0, monitors), std::nullopt);
    EXPECT_EQ(monitorOfScreen({0, 0, 1707, 960}, std::nan(""), monitors), std::nullopt);
    EXPECT_EQ(monitorOfScreen({0, 0, 0, 0}, 1.5, monitors), std::nullopt);
}

} // namespace
} // namespace zentrel
