#include "e2e/fixtures/under_window_manager.h"

#include <QDeadlineTimer>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

const QString timerTitle = QStringLiteral("Break Timer");
const QString floating = QStringLiteral("floating");
const QString fullScreen = QStringLiteral("fullScreen");
// The start button's fill, found nowhere else on the idle timer; the badge turns green once the
// countdown runs.
const QColor startFill(0, 122, 255);
const QColor runningGreen(52, 199, 89);
constexpr int colourTolerance = 24;
// Mutter at scale 2 on a busy machine takes several seconds to show a new window's first frame.
constexpr int paintedTimeoutMs = 20000;

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

// The break timer on a screen smaller than the one its design was made for: each presentation
// opens within the screen, and its start button is there to be clicked.
class SmallScreenTimer : public UnderWindowManager
{
protected:
    SmallScreenTimer(QSize screen, int scaleFactor)
        : UnderWindowManager(screen)
        , m_screen(QPoint(0, 0), screen)
        , m_scaleFactor(scaleFactor)
    {}

    void opensWithinTheScreenAndStarts(const QString &style);
    // The screen once the timer shows the colour, or the last try when it never does.
    QImage waitForColour(const QColor &colour);

    QRect m_screen;
    int m_scaleFactor;
};

QImage SmallScreenTimer::waitForColour(const QColor &colour)
{
    const QDeadlineTimer deadline(paintedTimeoutMs);
    QImage screen = m_xvfb.grabScreen();
    while (boundsOfColour(screen, m_main.frame, colour).isEmpty() && !deadline.hasExpired()) {
        screen = m_xvfb.grabScreen();
    }
    return screen;
}

void SmallScreenTimer::opensWithinTheScreenAndStarts(const QString &style)
{
    ASSERT_TRUE(m_zentrel.writeDefaults(
        QJsonObject{{QStringLiteral("controls.allowsExternalCommandURLs"), true},
                    {QStringLiteral("breakTimer.presentationStyle"), style}}));
    m_zentrel.setEnvironment(QStringLiteral("QT_SCALE_FACTOR"), QString::number(m_scaleFactor));
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/timer"), timerTitle, Shows::onlyItsCard));
    const QString name = QStringLiteral("timer_%1_%2x%3_at_%4_%5")
                             .arg(style)
                             .arg(m_screen.width())
                             .arg(m_screen.height())
                             .arg(m_scaleFactor)
                             .arg(nameOf(GetParam()));
    RecordProperty("window", m_main.describe());
    EXPECT_TRUE(m_screen.contains(m_main.frame)) << "off the screen: " << m_main.describe();
    if (style == fullScreen) {
        EXPECT_EQ(m_main.frame, m_screen) << m_main.describe();
    }

    QImage screen = waitForColour(startFill);
    keepScreenshot(screen, name + QStringLiteral("_idle.png"));
    const QRect start = boundsOfColour(screen, m_main.frame, startFill);
    ASSERT_FALSE(start.isEmpty()) << "no Start Countdown button on the screen; " << situation();
    // All of the button, not only what the screen shows of it: it keeps clear of the edges.
    EXPECT_TRUE(m_screen.adjusted(1, 1, -1, -1).contains(start))
        << "the start button reaches the screen's edge";
    ASSERT_NO_FATAL_FAILURE(clickOn(m_main, start.center()));

    screen = waitForColour(runningGreen);
    keepScreenshot(screen, name + QStringLiteral("_running.png"));
    EXPECT_FALSE(boundsOfColour(screen, m_main.frame, runningGreen).isEmpty())
        << "Start Countdown started no countdown; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// A 1280 × 720 projector.
class TimerOnProjector : public SmallScreenTimer
{
protected:
    TimerOnProjector()
        : SmallScreenTimer(QSize(1280, 720), 1)
    {}
};

// A 1080p monitor at 200 %: 960 × 540 in logical pixels.
class TimerAtDoubleScale : public SmallScreenTimer
{
protected:
    TimerAtDoubleScale()
        : SmallScreenTimer(QSize(1920, 1080), 2)
    {}
};

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
