#include "panels/overlay_panel.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

QScreen *screenNamed(const QString &name)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->name() == name) {
            return screen;
        }
    }
    return nullptr;
}

// A run's window is made before it knows its monitor, on the first screen; covering the monitor
// at 200 % it is drawn at that scale, and goes back there when a window manager's move leads Qt
// to take it for a window of another screen.
TEST(OverlayPanelOnScreens, AFullScreenRunStaysOnTheScreenItCoversAndAtItsScale)
{
    QScreen *doubled = screenNamed(QStringLiteral("doubled"));
    QScreen *monitor = screenNamed(QStringLiteral("monitor"));
    ASSERT_TRUE(doubled && monitor) << "the offscreen platform has not the test's screens";
    OverlayPanel panel(new QWidget, nullptr);
    panel.winId();
    ASSERT_EQ(panel.screen(), monitor);

    panel.coverScreen(doubled->geometry());
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    EXPECT_EQ(panel.screen(), doubled);
    EXPECT_EQ(panel.devicePixelRatioF(), 2);

    panel.windowHandle()->setScreen(monitor);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.screen() == doubled; }));
    EXPECT_EQ(panel.devicePixelRatioF(), 2);
}

} // namespace
} // namespace zentrel
