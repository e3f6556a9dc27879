#include "e2e/fixtures/under_window_manager.h"

#include <QDeadlineTimer>
#include <QJsonObject>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

const QString timerTitle = QStringLiteral("Break Timer");
const QString timerSettingsTitle = QStringLiteral("Break timer settings");
const QString sessionsTitle = QStringLiteral("Sessions");
const QColor timerBackground(0x1c, 0x1c, 0x1e);
const QString floating = QStringLiteral("floating");
const QString fullScreen = QStringLiteral("fullScreen");
// The start button's fill, found nowhere else on the idle timer; the badge turns green once the
// countdown runs.
const QColor startFill(0, 122, 255);
const QColor runningGreen(52, 199, 89);
constexpr int colourTolerance = 24;
// Mutter at scale 2 on a busy machine takes several seconds to show a new window's first frame.
constexpr int paintedTimeoutMs = 20000;
// Long enough for a scroll the wheel asked for to be painted.
constexpr int scrollSettleMs = 300;
// The rounded corners of a toolbar, in points.
constexpr int toolbarCorner = 8;
// How far a shape's hand-drawn stroke may reach beyond the drag that drew it, in pixels.
constexpr int strokeReach = 12;
// What a shape's colour changing by a step of opacity changes at least, and redrawing the same
// shape never does.
constexpr int opacityStepTolerance = 2;

// The smallest rectangle holding every pixel of the colour within area; empty when there is none.
QRect boundsOfColour(const QImage &screen, const QRect &area, const QColor &colour)
{
    QRect bounds;
    const QRect inside = area & screen.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (isCloseTo(screen.pixelColor(x, y), colour, colourTolerance)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

// The first pixel, if any, that shows nearly black on the window's outermost rows and columns
// between its rounded corners.
std::optional<QPoint> blackOnStraightEdges(const QImage &screen, const QRect &frame, int corner)
{
    constexpr int nearlyBlack = 64;
    const auto isBlack = [&](QPoint at) {
        const QColor pixel = screen.pixelColor(at);
        return std::max({pixel.red(), pixel.green(), pixel.blue()}) < nearlyBlack;
    };
    for (int x = frame.left() + corner; x <= frame.right() - corner; ++x) {
        for (const QPoint at : {QPoint(x, frame.top()), QPoint(x, frame.bottom())}) {
            if (isBlack(at)) {
                return at;
            }
        }
    }
    for (int y = frame.top() + corner; y <= frame.bottom() - corner; ++y) {
        for (const QPoint at : {QPoint(frame.left(), y), QPoint(frame.right(), y)}) {
            if (isBlack(at)) {
                return at;
            }
        }
    }
    return std::nullopt;
}

int pixelsChanged(const QImage &before, const QImage &after)
{
    int changed = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (!isCloseTo(after.pixelColor(x, y), before.pixelColor(x, y), opacityStepTolerance)) {
                ++changed;
            }
        }
    }
    return changed;
}

// Zentrel on a screen smaller than its panels were made for, in logical pixels: each opens within
// the screen, none over another, and its far-end control is there to be clicked.
class SmallScreen : public UnderWindowManager
{
protected:
    SmallScreen(QSize screen, double scaleFactor)
        : UnderWindowManager(screen)
        , m_screen(QPoint(0, 0), screen)
        , m_scaleFactor(scaleFactor)
    {}

    void configure(const QJsonObject &defaults);
    // The screen's pixels that hold this many of the program's points.
    int pixels(int points) const;
    QString name(const QString &scenario) const;
    // Inside the screen and clear of the toolbar.
    testing::AssertionResult liesBesideTheToolbar(const TopLevelWindow &panel) const;

    void opensWithinTheScreenAndStarts(const QString &style);
    // The card's settings open beside it, clear of its title, time and buttons, on the screen;
    // `running` shows the card's badge of a running countdown.
    void settingsLieBesideTheCard(const QImage &running);
    // The full-screen page's settings open above it, leaving its title, time and buttons in
    // sight.
    void settingsLieAboveThePage(const QImage &running);
    void ourWindowsOpenOnTheScreen();
    // The screen once the timer shows the colour, or the last try when it never does.
    QImage waitForColour(const QColor &colour);

    void drawToolbarFitsAndCloses();
    void propertyPanelFitsAndScrolls();

    QRect m_screen;
    double m_scaleFactor;
};

void SmallScreen::configure(const QJsonObject &defaults)
{
    QJsonObject all = defaults;
    all.insert(QStringLiteral("controls.allowsExternalCommandURLs"), true);
    ASSERT_TRUE(m_zentrel.writeDefaults(all));
    m_zentrel.setEnvironment(QStringLiteral("QT_SCALE_FACTOR"), QString::number(m_scaleFactor));
}

int SmallScreen::pixels(int points) const
{
    return qRound(points * m_scaleFactor);
}

QString SmallScreen::name(const QString &scenario) const
{
    return QStringLiteral("%1_%2x%3_at_%4_%5.png")
        .arg(scenario)
        .arg(m_screen.width())
        .arg(m_screen.height())
        .arg(m_scaleFactor)
        .arg(nameOf(GetParam()));
}

testing::AssertionResult SmallScreen::liesBesideTheToolbar(const TopLevelWindow &panel) const
{
    if (!m_screen.contains(panel.frame)) {
        return testing::AssertionFailure() << "off the screen: " << panel.describe();
    }
    if (panel.frame.intersects(m_toolbar.frame)) {
        return testing::AssertionFailure()
               << panel.describe() << " lies over the toolbar " << m_toolbar.describe();
    }
    return testing::AssertionSuccess();
}

QImage SmallScreen::waitForColour(const QColor &colour)
{
    const QDeadlineTimer deadline(paintedTimeoutMs);
    QImage screen = m_xvfb.grabScreen();
    while (boundsOfColour(screen, m_main.frame, colour).isEmpty() && !deadline.hasExpired()) {
        screen = m_xvfb.grabScreen();
    }
    return screen;
}

void SmallScreen::opensWithinTheScreenAndStarts(const QString &style)
{
    ASSERT_NO_FATAL_FAILURE(
        configure(QJsonObject{{QStringLiteral("breakTimer.presentationStyle"), style}}));
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/timer"), timerTitle, Shows::onlyItsCard));
    RecordProperty("window", m_main.describe());
    EXPECT_TRUE(m_screen.contains(m_main.frame)) << "off the screen: " << m_main.describe();
    if (style == fullScreen) {
        EXPECT_EQ(m_main.frame, m_screen) << m_main.describe();
    }

    QImage screen = waitForColour(startFill);
    keepScreenshot(screen, name(QStringLiteral("timer_%1_idle").arg(style)));
    const QRect start = boundsOfColour(screen, m_main.frame, startFill);
    ASSERT_FALSE(start.isEmpty()) << "no Start Countdown button on the screen; " << situation();
    // All of the button, not only what the screen shows of it: it keeps clear of the edges.
    EXPECT_TRUE(m_screen.adjusted(1, 1, -1, -1).contains(start))
        << "the start button reaches the screen's edge";
    ASSERT_NO_FATAL_FAILURE(clickOn(m_main, start.center()));

    screen = waitForColour(runningGreen);
    keepScreenshot(screen, name(QStringLiteral("timer_%1_running").arg(style)));
    EXPECT_FALSE(boundsOfColour(screen, m_main.frame, runningGreen).isEmpty())
        << "Start Countdown started no countdown; " << situation();
    if (style == floating) {
        settingsLieBesideTheCard(screen);
    } else {
        settingsLieAboveThePage(screen);
    }
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

void SmallScreen::settingsLieBesideTheCard(const QImage &running)
{
    // The settings button is second from the right in the card's header, 84 points left of the
    // card's right edge at full size (the card may be shrunk to fit the screen), level with the
    // badge's dot at the header's left end, which the ring's arc never reaches.
    const QRect leftThird(m_main.frame.topLeft(),
                          QSize(m_main.frame.width() / 3, m_main.frame.height()));
    const QRect dot = boundsOfColour(running, leftThird, runningGreen);
    ASSERT_FALSE(dot.isEmpty()) << "no badge on the running card; " << situation();
    const double cardScale = m_main.frame.width() / (500 * m_scaleFactor);
    const QPoint settingsButton(m_main.frame.right() - qRound(84 * cardScale * m_scaleFactor),
                                dot.center().y());
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_NO_FATAL_FAILURE(clickOn(m_main, settingsButton));
    auto settings = waitForNew(before, timerSettingsTitle);
    ASSERT_TRUE(settings.has_value()) << "no settings panel; " << situation();
    ASSERT_TRUE(settle(*settings));
    ASSERT_TRUE(settle(m_main));
    RecordProperty("settings", settings->describe());
    keepScreenshot(m_xvfb.grabScreen(), name(QStringLiteral("timer_settings")));
    EXPECT_TRUE(m_screen.contains(settings->frame)) << "off the screen: " << settings->describe();
    EXPECT_TRUE(m_screen.contains(m_main.frame)) << "off the screen: " << m_main.describe();
    EXPECT_FALSE(settings->frame.intersects(m_main.frame))
        << settings->describe() << " lies over the card " << m_main.describe();
}

void SmallScreen::settingsLieAboveThePage(const QImage &running)
{
    // The settings button is second from the right in the page's header, whose row runs through
    // the badge's dot, in the left third of the page where the ring never reaches.
    const QRect leftThird(m_screen.topLeft(), QSize(m_screen.width() / 3, m_screen.height()));
    const QRect dot = boundsOfColour(running, leftThird, runningGreen);
    ASSERT_FALSE(dot.isEmpty()) << "no badge on the running page; " << situation();
    const std::vector<std::pair<int, int>> drawn =
        drawnRuns(running, dot.center().y(), timerBackground);
    ASSERT_GE(drawn.size(), 2u) << "no settings and close buttons beside the badge";
    const auto &[left, right] = drawn[drawn.size() - 2];
    // From the header down: the tray host's strip may stay above the page in the top corner.
    const QRect page = m_screen.adjusted(0, dot.center().y() - 3 * dot.height(), 0, 0);
    const QRect before = boundsOfDrawing(running, page, timerBackground);
    const std::set<std::uint32_t> shown = m_windows.shownIds();
    ASSERT_NO_FATAL_FAILURE(clickOn(m_main, QPoint((left + right) / 2, dot.center().y())));
    auto settings = waitForNew(shown, timerSettingsTitle);
    ASSERT_TRUE(settings.has_value()) << "no settings panel; " << situation();
    // On top: the pointer at its middle finds it.
    ASSERT_TRUE(settle(*settings));
    RecordProperty("settings", settings->describe());
    EXPECT_TRUE(m_screen.contains(settings->frame)) << "off the screen: " << settings->describe();
    const QImage screen = grabUntil([&](const QImage &now) {
        return leavesTheDrawingInSight(now, page, timerBackground, before, settings->frame);
    });
    keepScreenshot(screen, name(QStringLiteral("timer_page_settings")));
    EXPECT_TRUE(leavesTheDrawingInSight(screen, page, timerBackground, before, settings->frame))
        << situation();
}

// "Sessions" and the settings open whole on the screen, the window manager's frame included.
void SmallScreen::ourWindowsOpenOnTheScreen()
{
    // The program fits its window again once the window manager has framed it.
    const auto isWholeOnTheScreen = [this](TopLevelWindow &window) -> testing::AssertionResult {
        if (settle(window, [this](const TopLevelWindow &shown) {
                return m_screen.contains(m_windows.framed(shown));
            })) {
            return testing::AssertionSuccess();
        }
        const QRect framed = m_windows.framed(window);
        return testing::AssertionFailure()
               << window.describe() << " framed off the screen: " << framed.width() << "x"
               << framed.height() << "+" << framed.x() << "+" << framed.y();
    };
    ASSERT_TRUE(openTrayMenu(m_icon, name(QStringLiteral("sessions_menu"))).has_value());
    // Up wraps to "Quit Zentrel"; three more pass the settings and the update check.
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Up Up Up Up Return")));
    auto sessions = m_windows.waitForShown(sessionsTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(sessions.has_value()) << "no Sessions window; " << situation();
    EXPECT_TRUE(isWholeOnTheScreen(*sessions));
    keepScreenshot(m_xvfb.grabScreen(), name(QStringLiteral("sessions")));
    ASSERT_TRUE(m_windows.close(sessions->id, QDeadlineTimer(windowTimeoutMs)));

    auto settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    EXPECT_TRUE(isWholeOnTheScreen(*settings));
    keepScreenshot(m_xvfb.grabScreen(), name(QStringLiteral("settings")));
}

void SmallScreen::drawToolbarFitsAndCloses()
{
    ASSERT_NO_FATAL_FAILURE(configure({}));
    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/draw"), drawTitle));
    RecordProperty("toolbar", m_toolbar.describe());
    const QImage shown = m_xvfb.grabScreen();
    keepScreenshot(shown, name(QStringLiteral("draw_toolbar")));
    EXPECT_TRUE(m_screen.contains(m_toolbar.frame)) << "off the screen: " << m_toolbar.describe();
    // At a whole scale the toolbar's edge lies on whole screen pixels, each painted opaque: one
    // the window's shape kept with only the faint outline on it shows black where no
    // compositing manager blends the window.
    if (m_scaleFactor == std::round(m_scaleFactor)) {
        const std::optional<QPoint> black =
            blackOnStraightEdges(shown, m_toolbar.frame, pixels(toolbarCorner));
        EXPECT_FALSE(black.has_value())
            << "black at (" << black->x() << ", " << black->y() << ") on the edge of "
            << m_toolbar.describe() << "; " << situation();
    }
    // Settings and close end the toolbar's last row, its widest, in the bottom right corner.
    const QPoint corner = m_toolbar.frame.bottomRight();
    const int middle = corner.y() - pixels(27);
    settingsThenClose(QPoint(corner.x() - pixels(62), middle),
                      QPoint(corner.x() - pixels(24), middle));
    ourWindowsOpenOnTheScreen();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

void SmallScreen::propertyPanelFitsAndScrolls()
{
    ASSERT_NO_FATAL_FAILURE(configure({}));
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/freeze"), QStringLiteral("Zevizu & Vozurir")));
    EXPECT_TRUE(m_screen.contains(m_toolbar.frame)) << "off the screen: " << m_toolbar.describe();
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_NO_FATAL_FAILURE(
        clickOn(m_toolbar,
                m_toolbar.frame.topLeft()
                    + QPoint(pixels(boardRectangleTool.x()), pixels(boardRectangleTool.y()))));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    auto panel = waitForNew(before, toolbarTitle);
    ASSERT_TRUE(panel.has_value()) << "no property panel for the new rectangle; " << situation();
    ASSERT_TRUE(settle(*panel));
    RecordProperty("panel", panel->describe());
    keepScreenshot(m_xvfb.grabScreen(), name(QStringLiteral("property_panel")));
    EXPECT_TRUE(liesBesideTheToolbar(*panel));

    // The wheel over the opacity slider scrolls the panel's last control, "More properties", into
    // view where the panel scrolls, and changes none of the values passing under the pointer: the
    // rectangle, seen where the panel leaves it clear, keeps its opacity.
    const QRect shape = shapeDrag.adjusted(-strokeReach, -strokeReach, strokeReach, strokeReach);
    const QRect shapeBeside(QPoint(std::max(shape.left(), panel->frame.right() + 1), shape.top()),
                            shape.bottomRight());
    const QImage shapeBefore = m_xvfb.grabScreen().copy(shapeBeside);
    const QPoint opacitySlider(panel->frame.center().x(), panel->frame.top() + pixels(333));
    ASSERT_TRUE(pointerFinds(*panel, opacitySlider));
    ASSERT_TRUE(m_input.run({QStringLiteral("click"),
                             QStringLiteral("--repeat"),
                             QStringLiteral("20"),
                             QStringLiteral("5")}))
        << m_input.lastError().toStdString();
    QThread::msleep(scrollSettleMs);
    const QImage scrolled = m_xvfb.grabScreen();
    keepScreenshot(scrolled, name(QStringLiteral("property_panel_scrolled")));
    EXPECT_EQ(pixelsChanged(shapeBefore, scrolled.copy(shapeBeside)), 0)
        << "the wheel over the panel changed the rectangle; " << situation();
    const std::set<std::uint32_t> beforeMenu = m_windows.shownIds();
    ASSERT_NO_FATAL_FAILURE(
        clickOn(*panel, QPoint(panel->frame.center().x(), panel->frame.bottom() - pixels(30))));
    const auto menu = m_windows.waitForNewPopup(beforeMenu, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(menu.has_value()) << "\"More properties\" did not open; " << situation();
    keepScreenshot(m_xvfb.grabScreen(), name(QStringLiteral("property_menu")));
    EXPECT_TRUE(m_screen.contains(menu->frame)) << "off the screen: " << menu->describe();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

using SmallMonitor = OnMonitor<SmallScreen, 800, 600, 100>;
using TimerOnProjector = OnMonitor<SmallScreen, 1280, 720, 100>;
// 853 × 480 in logical pixels.
using ProjectorAtOneAndAHalf = OnMonitor<SmallScreen, 1280, 720, 150>;
// 960 × 540 in logical pixels.
using TimerAtDoubleScale = OnMonitor<SmallScreen, 1920, 1080, 200>;

TEST_P(TimerOnProjector, FloatingCardFitsAndStarts)
{
    opensWithinTheScreenAndStarts(floating);
}

TEST_P(TimerOnProjector, FullScreenPageFitsAndStarts)
{
    opensWithinTheScreenAndStarts(fullScreen);
}

TEST_P(TimerAtDoubleScale, FloatingCardFitsAndStarts)
{
    opensWithinTheScreenAndStarts(floating);
}

TEST_P(TimerAtDoubleScale, FullScreenPageFitsAndStarts)
{
    opensWithinTheScreenAndStarts(fullScreen);
}

TEST_P(SmallMonitor, FloatingCardFitsAndStarts)
{
    opensWithinTheScreenAndStarts(floating);
}

TEST_P(SmallMonitor, DrawToolbarFitsAndCloses)
{
    drawToolbarFitsAndCloses();
}

TEST_P(SmallMonitor, PropertyPanelFitsAndScrolls)
{
    propertyPanelFitsAndScrolls();
}

TEST_P(ProjectorAtOneAndAHalf, DrawToolbarFitsAndCloses)
{
    drawToolbarFitsAndCloses();
}

TEST_P(ProjectorAtOneAndAHalf, PropertyPanelFitsAndScrolls)
{
    propertyPanelFitsAndScrolls();
}

TEST_P(TimerAtDoubleScale, DrawToolbarFitsAndCloses)
{
    drawToolbarFitsAndCloses();
}

TEST_P(TimerAtDoubleScale, PropertyPanelFitsAndScrolls)
{
    propertyPanelFitsAndScrolls();
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         SmallMonitor,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         ProjectorAtOneAndAHalf,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         TimerOnProjector,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         TimerAtDoubleScale,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
