#include "e2e/fixtures/drawing_test.h"

#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>

namespace zentrel {

namespace {

constexpr double darkness = 0.5;
constexpr int spotlightRadius = 100;
constexpr int spotlightFeather = 20;
// A halo colour found nowhere else on the desktop.
const QColor magenta(0xff, 0x00, 0xff);
const QPoint centre(640, 400);
const QPoint clickPoint(400, 420);
const QPoint awayPoint(900, 420);

bool isMagentaish(const QColor &pixel)
{
    return pixel.red() > pixel.green() + 60 && pixel.blue() > pixel.green() + 60;
}

bool isOrangeish(const QColor &pixel)
{
    return pixel.red() > 200 && pixel.green() > 90 && pixel.green() < 200 && pixel.blue() < 80;
}

// Pixels passing test on the ring between the two radii around at.
template <typename Test>
int countOnRing(const QImage &screen, QPoint at, int inner, int outer, Test test)
{
    int count = 0;
    for (int y = at.y() - outer; y <= at.y() + outer; ++y) {
        for (int x = at.x() - outer; x <= at.x() + outer; ++x) {
            const double distance = std::hypot(x - at.x(), y - at.y());
            if (distance >= inner && distance <= outer && screen.rect().contains(x, y)
                && test(screen.pixelColor(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

// The spotlight and the cursor halo over the flat wallpaper of the drawing desktop.
class Aids : public DrawingTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DrawingTest::SetUp());
        ASSERT_TRUE(m_zentrel.writeDefaults(
            QJsonObject{{QStringLiteral("controls.allowsExternalCommandURLs"), true},
                        {QStringLiteral("spotlight.radius"), spotlightRadius},
                        {QStringLiteral("spotlight.feather"), spotlightFeather},
                        {QStringLiteral("spotlight.darkness"), darkness},
                        {QStringLiteral("spotlight.color"), QStringLiteral("#000000")},
                        {QStringLiteral("cursorHalo.color"), magenta.name().toUpper()},
                        {QStringLiteral("cursorHalo.size"), 100.0},
                        {QStringLiteral("cursorHalo.opacity"), 1.0},
                        {QStringLiteral("cursorHalo.borderWidth"), 8.0}}));
    }

    // A ripple starts where the pointer is when the click reaches the program, as a person's
    // click does; so the pointer rests on the click point until the halo has followed it.
    void clickAt(const QString &button)
    {
        ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("mousemove"),
                                         QString::number(clickPoint.x()),
                                         QString::number(clickPoint.y())}));
        const auto followed = [](const QImage &shown) {
            return countOnRing(shown, clickPoint, 10, 30, isMagentaish) > 100;
        };
        ASSERT_TRUE(followed(grabUntil(followed))) << "the halo did not follow the pointer";
        ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("click"), button}));
    }

    void moveTo(QPoint at)
    {
        xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    }

    // Starts zentrel, puts the pointer at centre and toggles the feature on.
    void startFeature(const QString &url, const QString &title)
    {
        ASSERT_TRUE(startAndWaitForDock().has_value()) << "no tray icon; " << stopAndDescribe();
        ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(10000)))
            << "zentrel never listened; " << stopAndDescribe();
        ASSERT_NO_FATAL_FAILURE(moveTo(centre));
        ASSERT_TRUE(handOver(url));
        const auto overlay = m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(overlay.has_value()) << url.toStdString() << " showed nothing; " << situation();
        const auto toolbar = m_windows.waitForShown(toolbarTitle, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(toolbar.has_value()) << "no toolbar; " << situation();
        m_overlay = *overlay;
        m_toolbar = *toolbar;
    }

    static testing::AssertionResult showsSpotlight(const QImage &screen)
    {
        const QColor inside = screen.pixelColor(centre + QPoint(spotlightRadius, 0));
        if (!isCloseTo(inside, wallpaper, shadeTolerance)) {
            return testing::AssertionFailure()
                   << "inside the circle: " << inside.name().toStdString();
        }
        return showsOnly(screen, quietCorner, tinted(wallpaper, darkness));
    }

    // The overlay lets input through and never holds the focus: Escape counts wherever it is
    // typed.
    testing::AssertionResult closesWithEscape()
    {
        if (!m_input.pressKeys({QStringLiteral("Escape")})) {
            return testing::AssertionFailure() << m_input.lastError().toStdString();
        }
        if (!m_windows.waitUntilNotShown(m_overlay.id, QDeadlineTimer(windowTimeoutMs))) {
            return testing::AssertionFailure() << "Escape left the overlay; " << situation();
        }
        return testing::AssertionSuccess();
    }

    TopLevelWindow m_overlay;
};

TEST_F(Aids, SpotlightDarkensAllButACircleAroundThePointer)
{
    ASSERT_NO_FATAL_FAILURE(startCompositor());
    ASSERT_NO_FATAL_FAILURE(
        startFeature(QStringLiteral("zentrel://toggle/spotlight"), QStringLiteral("Spotlight")));
    QImage screen = grabUntil(showsSpotlight);
    keepScreenshot(screen, QStringLiteral("aids_spotlight.png"));
    ASSERT_TRUE(showsSpotlight(screen)) << situation();
    // Just beyond radius plus feather the dimming starts.
    EXPECT_TRUE(
        isCloseTo(screen.pixelColor(centre + QPoint(spotlightRadius + spotlightFeather + 4, 0)),
                  tinted(wallpaper, darkness),
                  shadeTolerance));

    // The circle follows the pointer.
    const QPoint moved(300, 300);
    ASSERT_NO_FATAL_FAILURE(moveTo(moved));
    screen = grabUntil([&](const QImage &shown) {
        return isCloseTo(shown.pixelColor(moved), wallpaper, shadeTolerance)
               && !isCloseTo(shown.pixelColor(centre + QPoint(150, 0)), wallpaper, shadeTolerance);
    });
    keepScreenshot(screen, QStringLiteral("aids_spotlight_moved.png"));
    EXPECT_TRUE(isCloseTo(screen.pixelColor(moved), wallpaper, shadeTolerance)) << situation();

    ASSERT_TRUE(closesWithEscape());
    screen = grabUntil([](const QImage &shown) { return showsBare(shown, quietCorner); });
    EXPECT_TRUE(showsBare(screen, quietCorner)) << "dimming left on the desktop";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Aids, SpotlightWithoutCompositorDimsAStillOfTheScreen)
{
    ASSERT_NO_FATAL_FAILURE(
        startFeature(QStringLiteral("zentrel://toggle/spotlight"), QStringLiteral("Spotlight")));
    const QImage screen = grabUntil(showsSpotlight);
    keepScreenshot(screen, QStringLiteral("aids_spotlight_still.png"));
    EXPECT_TRUE(showsSpotlight(screen)) << situation();
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_overlay.id, QDeadlineTimer(windowTimeoutMs)))
        << "stop left the spotlight; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Aids, HaloRingsThePointerAndClicksRipple)
{
    ASSERT_NO_FATAL_FAILURE(startCompositor());
    ASSERT_NO_FATAL_FAILURE(
        startFeature(QStringLiteral("zentrel://toggle/halo"), QStringLiteral("Cursor Halo")));
    const auto ringed = [](const QImage &shown) {
        return countOnRing(shown, centre, 10, 30, isMagentaish) > 100;
    };
    QImage screen = grabUntil(ringed);
    keepScreenshot(screen, QStringLiteral("aids_halo.png"));
    ASSERT_TRUE(ringed(screen)) << situation();
    EXPECT_TRUE(showsBare(screen, quietCorner));

    // A ripple stays where the click was while the halo moves on with the pointer.
    const auto rippled = [](const QImage &shown) {
        return countOnRing(shown, clickPoint, 48, 92, isMagentaish) > 30;
    };
    ASSERT_NO_FATAL_FAILURE(clickAt(QStringLiteral("1")));
    screen = grabUntil(rippled);
    keepScreenshot(screen, QStringLiteral("aids_halo_left_click.png"));
    EXPECT_TRUE(rippled(screen)) << "no ripple for a left click; " << situation();

    const auto orangeRippled = [](const QImage &shown) {
        return countOnRing(shown, clickPoint, 48, 92, isOrangeish) > 30;
    };
    ASSERT_NO_FATAL_FAILURE(clickAt(QStringLiteral("3")));
    screen = grabUntil(orangeRippled);
    keepScreenshot(screen, QStringLiteral("aids_halo_right_click.png"));
    EXPECT_TRUE(orangeRippled(screen)) << "no orange ripple for a right click; " << situation();

    // Ripples fade out.
    screen = grabUntil([&](const QImage &shown) {
        return countOnRing(shown, clickPoint, 40, 100, isMagentaish) == 0
               && countOnRing(shown, clickPoint, 40, 100, isOrangeish) == 0;
    });
    EXPECT_EQ(countOnRing(screen, clickPoint, 40, 100, isMagentaish), 0) << "a left ripple stayed";
    EXPECT_EQ(countOnRing(screen, clickPoint, 40, 100, isOrangeish), 0) << "a right ripple stayed";

    ASSERT_TRUE(closesWithEscape());
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Aids, HaloWithoutCompositorIsAShapedWindowAroundThePointer)
{
    ASSERT_NO_FATAL_FAILURE(
        startFeature(QStringLiteral("zentrel://toggle/halo"), QStringLiteral("Cursor Halo")));
    const auto ringed = [](const QImage &shown) {
        return countOnRing(shown, centre, 5, 30, isMagentaish) > 100;
    };
    const QImage screen = grabUntil(ringed);
    keepScreenshot(screen, QStringLiteral("aids_halo_shaped.png"));
    EXPECT_TRUE(ringed(screen)) << situation();
    // Outside its shape the desktop shows, not a black window.
    EXPECT_TRUE(showsBare(screen, quietCorner)) << situation();
    EXPECT_TRUE(isCloseTo(screen.pixelColor(centre + QPoint(80, 0)), wallpaper, shadeTolerance));
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_overlay.id, QDeadlineTimer(windowTimeoutMs)));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace

} // namespace zentrel
