#include "e2e/fixtures/drawing_test.h"

#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace zentrel {

namespace {

constexpr int windowTimeoutMs = 10000;
constexpr int chimeTimeoutMs = 10000;
// Past the ring's 0.2 s ease to a new length, with room for a slow machine.
constexpr unsigned long ringAnimationMs = 600;
const QString timerTitle = QStringLiteral("Break Timer");
const QString settingsTitle = QStringLiteral("Break timer settings");
const QColor cardColor(0x1c, 0x1c, 0x1e);
// The card in the middle of the 1280 × 800 screen.
const QRect cardFrame(390, 130, 500, 540);
// The card centres its content, which is shorter while the countdown runs or pauses, so the
// header is found by its badge: the dot in the state's colour, 40 from the card's left edge.
const QRect badgeStrip(cardFrame.left() + 37, cardFrame.top() + 20, 7, 260);
// From the badge's dot: the settings button at the header's right end, the top of the ring.
const QPoint settingsButton(376, 0);
const QPoint ringTop(210, 75);
// From the card's top-left corner, in the idle card.
const QPoint startButton(250, 369);
const QColor cyan(50, 173, 230);
const QColor green(52, 199, 89);
const QColor yellow(255, 204, 0);
const QColor orange(255, 149, 0);
constexpr int accentTolerance = 40;

// The first pixel of the colour in area, row by row.
std::optional<QPoint> findColour(const QImage &screen, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (screen.rect().contains(x, y)
                && isCloseTo(screen.pixelColor(x, y), colour, accentTolerance)) {
                return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

bool showsColourNear(const QImage &screen, QPoint at, const QColor &colour)
{
    return findColour(screen, QRect(at - QPoint(6, 6), QSize(13, 13)), colour).has_value();
}

// The break timer opened by command URL on the flat desktop, a minute long.
class BreakTimer : public DrawingTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DrawingTest::SetUp());
        ASSERT_TRUE(m_zentrel.writeDefaults(
            QJsonObject{{QStringLiteral("controls.allowsExternalCommandURLs"), true},
                        {QStringLiteral("breakTimer.duration"), 1}}));
    }

    // Opens the card and returns once it shows its idle state.
    void openCard()
    {
        ASSERT_TRUE(startAndWaitForDock().has_value()) << "no tray icon; " << stopAndDescribe();
        ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
            << "zentrel never listened; " << stopAndDescribe();
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/timer")));
        const auto card = m_windows.waitForShown(timerTitle, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(card.has_value()) << "toggle/timer showed no card; " << situation();
        EXPECT_EQ(card->frame, cardFrame) << card->describe();
        m_card = *card;
        ASSERT_TRUE(showsBadge(cyan, QStringLiteral("break_timer_card.png")))
            << "no idle card; " << situation();
    }

    // The card's badge turns to the state's colour; the screen is kept under name.
    testing::AssertionResult showsBadge(const QColor &accent, const QString &name)
    {
        const auto shows = [&](const QImage &shown) {
            return findColour(shown, badgeStrip, accent).has_value();
        };
        const QImage screen = grabUntil(shows);
        keepScreenshot(screen, name);
        const auto dot = findColour(screen, badgeStrip, accent);
        if (!dot) {
            return testing::AssertionFailure() << "no badge of " << accent.name().toStdString();
        }
        // The dot is 8 across; its middle row stands for the header.
        m_badge = *dot + QPoint(0, 4);
        if (!isCloseTo(screen.pixelColor(cardFrame.topLeft() + QPoint(10, 270)), cardColor)
            || !showsBare(screen, quietCorner)) {
            return testing::AssertionFailure() << "no card on the bare desktop";
        }
        return testing::AssertionSuccess();
    }

    // Opens the settings on the full-screen page shown on `page`: above the page, beside all
    // that is drawn on it (title, time and buttons), which moves aside for it.
    void settingsLieBesideThePage(const QImage &page)
    {
        const QRect before = boundsOfDrawing(page, page.rect(), cardColor);
        // The header's buttons end its row, which runs through the badge's dot, the first
        // pixels of the accent from the top.
        const auto dot = findColour(page, page.rect(), yellow);
        ASSERT_TRUE(dot.has_value()) << "no badge on the page; " << situation();
        const int row = dot->y() + 4;
        const std::vector<std::pair<int, int>> drawn = drawnRuns(page, row, cardColor);
        ASSERT_GE(drawn.size(), 2u) << "no settings and close buttons in row " << row;
        const auto &[left, right] = drawn[drawn.size() - 2];
        ASSERT_TRUE(m_input.click(QPoint((left + right) / 2, row)))
            << m_input.lastError().toStdString();
        const auto settings =
            m_windows.waitForShown(settingsTitle, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(settings.has_value()) << "no settings panel on the page; " << situation();
        const QImage shown = grabUntil([&](const QImage &now) {
            return leavesTheDrawingInSight(now, now.rect(), cardColor, before, settings->frame);
        });
        keepScreenshot(shown, QStringLiteral("break_timer_full_screen_settings.png"));
        EXPECT_TRUE(
            leavesTheDrawingInSight(shown, shown.rect(), cardColor, before, settings->frame))
            << situation();
        ASSERT_TRUE(m_input.moveTo(settings->frame.center())) << m_input.lastError().toStdString();
        EXPECT_EQ(m_windows.topLevelUnderPointer(), m_windows.topLevelHolding(settings->id))
            << "the settings panel is not above the page; " << situation();
    }

    void clickOnCard(QPoint offset)
    {
        ASSERT_TRUE(m_input.click(cardFrame.topLeft() + offset))
            << m_input.lastError().toStdString();
    }

    TopLevelWindow m_card;
    QPoint m_badge;
};

TEST_F(BreakTimer, CountdownPausesGainsAMinuteAndGoesFullScreen)
{
    ASSERT_NO_FATAL_FAILURE(openCard());
    ASSERT_NO_FATAL_FAILURE(clickOnCard(startButton));
    ASSERT_TRUE(showsBadge(green, QStringLiteral("break_timer_running.png"))) << situation();

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/timer-pause")));
    ASSERT_TRUE(showsBadge(yellow, QStringLiteral("break_timer_paused.png"))) << situation();
    // The ring shows the few seconds that passed as a short arc from the top…
    const QPoint arc = m_badge + ringTop;
    EXPECT_TRUE(showsColourNear(m_xvfb.grabScreen(), arc, yellow)) << situation();

    // …and still does once a minute more is left than the break was set to: the ring measures
    // the lengthened countdown.
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/timer-add-minute")));
    QThread::msleep(ringAnimationMs);
    QImage screen = m_xvfb.grabScreen();
    keepScreenshot(screen, QStringLiteral("break_timer_minute_added.png"));
    EXPECT_TRUE(showsColourNear(screen, arc, yellow))
        << "the arc went with +1 min; " << situation();
    EXPECT_TRUE(showsBadge(yellow, QStringLiteral("break_timer_still_paused.png")));

    ASSERT_TRUE(m_input.click(m_badge + settingsButton)) << m_input.lastError().toStdString();
    const auto settings = m_windows.waitForShown(settingsTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(settings.has_value()) << "no settings panel; " << situation();
    // "Full screen" is the right half of the segmented row under "Presentation".
    screen = grabOncePainted(settings->frame);
    keepScreenshot(screen, QStringLiteral("break_timer_settings.png"));
    const QPoint fullScreen =
        settings->frame.topLeft() + QPoint(settings->frame.width() * 3 / 4, 141);
    ASSERT_TRUE(m_input.click(fullScreen)) << m_input.lastError().toStdString();

    EXPECT_TRUE(m_windows.waitUntilNotShown(settings->id, QDeadlineTimer(windowTimeoutMs)))
        << "the settings panel stayed; " << situation();
    screen = grabUntil([](const QImage &shown) {
        return showsOnly(shown, quietCorner, cardColor, shadeTolerance);
    });
    keepScreenshot(screen, QStringLiteral("break_timer_full_screen.png"));
    EXPECT_TRUE(showsOnly(screen, quietCorner, cardColor, shadeTolerance))
        << "not full screen; " << situation();
    ASSERT_NO_FATAL_FAILURE(settingsLieBesideThePage(screen));

    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Escape")}));
    const auto isGone = [](const QImage &shown) {
        return showsBare(shown, quietCorner);
    };
    EXPECT_TRUE(isGone(grabUntil(isGone))) << "Escape left the timer; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(BreakTimer, EndChimesUntilAMinuteIsAdded)
{
    // A minute passes in a second, and every sound request is printed.
    m_zentrel.setEnvironment(QStringLiteral("ZENTREL_TEST_CLOCK_SPEED"), QStringLiteral("60"));
    m_zentrel.setEnvironment(QStringLiteral("ZENTREL_TEST_TRACE_SOUNDS"), QStringLiteral("1"));
    ASSERT_NO_FATAL_FAILURE(openCard());
    ASSERT_NO_FATAL_FAILURE(clickOnCard(startButton));

    // With no sound card, as on a build machine, the chime is a beep every second.
    const auto chime = m_zentrel.waitForLine(
        QRegularExpression(QStringLiteral("^sound: (loop complete started|beep)$")),
        QDeadlineTimer(chimeTimeoutMs));
    ASSERT_TRUE(chime.has_value()) << "no chime; " << m_zentrel.output().toStdString();
    ASSERT_TRUE(showsBadge(orange, QStringLiteral("break_timer_finished.png"))) << situation();

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/timer-add-minute")));
    ASSERT_TRUE(showsBadge(yellow, QStringLiteral("break_timer_finished_plus_minute.png")));
    if (chime->captured(1) == QStringLiteral("beep")) {
        const qsizetype beeps = m_zentrel.output().count(QStringLiteral("sound: beep"));
        QThread::msleep(1500);
        EXPECT_EQ(m_zentrel.output().count(QStringLiteral("sound: beep")), beeps)
            << "still beeping";
    } else {
        EXPECT_TRUE(
            m_zentrel.waitForLine(QRegularExpression(QStringLiteral("^sound: loop stopped$")),
                                  QDeadlineTimer(windowTimeoutMs)))
            << "the chime went on; " << m_zentrel.output().toStdString();
    }
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace

} // namespace zentrel
