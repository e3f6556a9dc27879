#include "e2e/fixtures/under_window_manager.h"

#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace zentrel {
namespace {

const QString freezeTitle = QStringLiteral("Zevizu & Vozurir");
const QString terminalTitle = QStringLiteral("Another Program");
const QColor terminalColor(0xc8, 0x8c, 0x3c);
const QColor paper(0xd0, 0xd0, 0xd0);
// Light enough that no shadow over it turns black.
const QColor rule(0x60, 0x60, 0x60);
// Rules this far apart: a picture scaled by a hair blends some of them into their neighbours.
constexpr int ruleSpacing = 5;
// The fake tray host's strip at the top right: the frozen screen leaves our tray icon out.
constexpr int trayHostWidth = 200;
constexpr int trayHostHeight = 40;
// Where a window manager may draw a shadow around a window, which pictures of the screen lack.
constexpr int shadowReach = 48;
// A title bar's height, at most, above a window.
constexpr int titleBarReach = 48;
// How far a shadow reaches out of a window's frame (KWin's Breeze: further below than above).
constexpr int decorationShadowReach = 72;
// Darker than any shade a desktop, a frame or a shadow here has.
constexpr int blackLevel = 16;
// The pointer may leave a trace where it rests.
constexpr int allowedStrays = 16;
// "Save to Session" lies this far left of the toolbar's right edge at scale 1.
constexpr double saveToSessionFromRight = 61;
constexpr int frameTimeoutMs = 10000;

// Zevizu & Vozurir on a monitor at a scale that may not divide its pixels, on a presenter's desk:
// a compositing manager, and a terminal that has the keyboard as the run begins. What it shows,
// its copy and its session frame all hold the screen as it was, pixel for pixel.
class FrozenAtScale : public UnderWindowManager
{
protected:
    FrozenAtScale(QSize screen, double scale)
        : UnderWindowManager(screen)
        , m_screen(QPoint(0, 0), screen)
        , m_scale(scale)
    {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(UnderWindowManager::SetUp());
        if (!composites(GetParam())) {
            ASSERT_NO_FATAL_FAILURE(startCompositor());
        }
        ASSERT_TRUE(m_desktop.showRuledDesktopWindow(paper, rule, ruleSpacing));
        ASSERT_NO_FATAL_FAILURE(showTerminalWithTheKeyboard());
    }

    void showTerminalWithTheKeyboard()
    {
        const auto terminal =
            UnderWindowManager::showTerminalWithTheKeyboard(m_terminal,
                                                            terminalTitle,
                                                            {QStringLiteral("-bg"),
                                                             terminalColor.name(),
                                                             QStringLiteral("-geometry"),
                                                             QStringLiteral("40x10+60+300"),
                                                             QStringLiteral("-e"),
                                                             QStringLiteral("sleep"),
                                                             QStringLiteral("infinity")});
        ASSERT_TRUE(terminal.has_value());
        m_terminalFrame = terminal->frame;
    }

    void showsTheScreenPixelForPixel();

    // Pixels of `picture` that differ from `screen`, outside `skipped`.
    static int
    differing(const QImage &picture, const QImage &screen, const std::vector<QRect> &skipped);

    // Pixels of `picture` in `area` that are black where `screen` is not.
    static int newlyBlack(const QImage &picture, const QImage &screen, const QRect &area);

    // The terminal with its title bar, borders and shadow: as the screen showed them when the
    // run began, with the keyboard or (KWin, openbox) already without it.
    QRect terminalDecoration() const
    {
        return m_terminalFrame.adjusted(-decorationShadowReach,
                                        -titleBarReach - decorationShadowReach,
                                        decorationShadowReach,
                                        decorationShadowReach);
    }

    // Every pixel but the tray host's and the terminal's decoration is as the screen had it; no
    // pixel of that decoration is black where the screen's is not.
    void expectAsTheScreen(const QImage &picture,
                           const QImage &screen,
                           std::vector<QRect> skipped,
                           const char *what);

    QString artifact(const char *what) const
    {
        return QStringLiteral("frozen_%1x%2_at_%3_%4_%5.png")
            .arg(m_screen.width())
            .arg(m_screen.height())
            .arg(m_scale)
            .arg(QLatin1String(what), nameOf(GetParam()));
    }

    QRect m_screen;
    double m_scale;
    ChildProcess m_terminal;
    QRect m_terminalFrame;
};

int FrozenAtScale::differing(const QImage &picture,
                             const QImage &screen,
                             const std::vector<QRect> &skipped)
{
    if (picture.size() != screen.size()) {
        return picture.width() * picture.height();
    }
    int count = 0;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const bool isSkipped = std::any_of(
                skipped.begin(), skipped.end(), [&](const QRect &r) { return r.contains(x, y); });
            // Alpha aside: a copy's PNG may carry it where the screen has none.
            if (!isSkipped
                && (picture.pixel(x, y) & 0xffffffU) != (screen.pixel(x, y) & 0xffffffU)) {
                ++count;
            }
        }
    }
    return count;
}

int FrozenAtScale::newlyBlack(const QImage &picture, const QImage &screen, const QRect &area)
{
    const auto isBlack = [](QRgb pixel) {
        return qRed(pixel) < blackLevel && qGreen(pixel) < blackLevel && qBlue(pixel) < blackLevel;
    };
    int count = 0;
    const QRect inside = area & picture.rect() & screen.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += isBlack(picture.pixel(x, y)) && !isBlack(screen.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

void FrozenAtScale::expectAsTheScreen(const QImage &picture,
                                      const QImage &screen,
                                      std::vector<QRect> skipped,
                                      const char *what)
{
    skipped.push_back(terminalDecoration());
    std::string property(what);
    std::replace(property.begin(), property.end(), ' ', '_');
    const int differs = differing(picture, screen, skipped);
    RecordProperty(property + "Differing", differs);
    EXPECT_LE(differs, allowedStrays) << "pixels of the " << what << " differ from the screen";
    const int black = newlyBlack(picture, screen, terminalDecoration());
    RecordProperty(property + "Black", black);
    EXPECT_LE(black, allowedStrays) << "the " << what << " is black round the terminal";
}

void FrozenAtScale::showsTheScreenPixelForPixel()
{
    m_zentrel.setEnvironment(QStringLiteral("QT_SCALE_FACTOR"), QString::number(m_scale));
    ASSERT_TRUE(startAndWaitForDock().has_value())
        << "zentrel docked no tray icon; it " << stopAndDescribe();
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    const QRect trayHost = QRect(m_screen.width() - trayHostWidth, 0, trayHostWidth, trayHostHeight)
                               .adjusted(-shadowReach, 0, 0, shadowReach);
    const QPoint ruled(m_screen.width() / 2, m_screen.height() - ruleSpacing * 4);
    // Mutter fades a new window in.
    const QPoint inTerminal = m_terminalFrame.bottomRight() - QPoint(ruleSpacing, ruleSpacing);
    const QImage screen = grabUntil([&](const QImage &shown) {
        return (shown.pixelColor(ruled) == paper || shown.pixelColor(ruled) == rule)
               && shown.pixelColor(inTerminal) == terminalColor;
    });
    keepScreenshot(screen, artifact("screen"));

    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/freeze"), freezeTitle));
    // Only the frozen screen shows the rules from here on, not a window yet to be painted.
    ASSERT_TRUE(m_desktop.clearRuledDesktopWindow(paper));
    const std::vector<QRect> shownSkips{
        trayHost,
        m_toolbar.frame.adjusted(-shadowReach, -shadowReach, shadowReach, shadowReach),
        terminalDecoration()};
    // Mutter may show a stale frame of the desktop for a moment; the run's frames have the
    // toolbar over the rules.
    const QRect toolbar = m_toolbar.frame;
    const auto showsToolbar = [&](const QImage &now) {
        return differing(now.copy(toolbar), screen.copy(toolbar), {})
               > toolbar.width() * toolbar.height() / 2;
    };
    const QImage shown = grabUntil([&](const QImage &now) {
        return showsToolbar(now) && differing(now, screen, shownSkips) <= allowedStrays;
    });
    keepScreenshot(shown, artifact("shown"));
    EXPECT_TRUE(showsToolbar(shown)) << "the screen never showed the run; " << situation();
    expectAsTheScreen(shown, screen, shownSkips, "shown");

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/copy")));
    const QImage copied = m_clipboard.waitForPng(QDeadlineTimer(windowTimeoutMs));
    keepScreenshot(copied, artifact("copy"));
    ASSERT_FALSE(copied.isNull()) << m_clipboard.lastError().toStdString();
    expectAsTheScreen(copied, screen, {trayHost}, "copy");

    const QPoint saveToSession(m_toolbar.frame.right()
                                   - int(std::lround(saveToSessionFromRight * m_scale)),
                               m_toolbar.frame.center().y());
    ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, saveToSession));
    const QImage frame = m_zentrel.firstSessionFrame(QDeadlineTimer(frameTimeoutMs));
    keepScreenshot(frame, artifact("session_frame"));
    ASSERT_FALSE(frame.isNull()) << "Save to Session stored no frame; " << situation();
    expectAsTheScreen(frame, screen, {trayHost}, "session frame");
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// A 1280 × 720 projector at 150 %: 853⅓ × 480 points, which Qt gives as 853 × 480; and unscaled.
using FrozenOnProjectorAtOneAndAHalf = OnMonitor<FrozenAtScale, 1280, 720, 150>;
using FrozenOnProjector = OnMonitor<FrozenAtScale, 1280, 720, 100>;
// Scales that divide a 1080p monitor's pixels: 1280 × 720 and 960 × 540 points.
using FrozenOnFullHdAtOneAndAHalf = OnMonitor<FrozenAtScale, 1920, 1080, 150>;
using FrozenOnFullHdAtDouble = OnMonitor<FrozenAtScale, 1920, 1080, 200>;
// Sizes in points that Qt rounds up past the monitor: 1706⅔ × 960 given as 1707 × 960 (2560.5
// pixels), and 1097 × 685⅘ given as 1097 × 686 (1200.5 pixels).
using FrozenOnQhdAtOneAndAHalf = OnMonitor<FrozenAtScale, 2560, 1440, 150>;
using FrozenOnWuxgaAtSevenFourths = OnMonitor<FrozenAtScale, 1920, 1200, 175>;

TEST_P(FrozenOnProjectorAtOneAndAHalf, ShowsCopiesAndSavesTheScreenPixelForPixel)
{
    showsTheScreenPixelForPixel();
}

TEST_P(FrozenOnProjector, ShowsCopiesAndSavesTheScreenPixelForPixel)
{
    showsTheScreenPixelForPixel();
}

TEST_P(FrozenOnFullHdAtOneAndAHalf, ShowsCopiesAndSavesTheScreenPixelForPixel)
{
    showsTheScreenPixelForPixel();
}

TEST_P(FrozenOnFullHdAtDouble, ShowsCopiesAndSavesTheScreenPixelForPixel)
{
    showsTheScreenPixelForPixel();
}

TEST_P(FrozenOnQhdAtOneAndAHalf, ShowsCopiesAndSavesTheScreenPixelForPixel)
{
    showsTheScreenPixelForPixel();
}

TEST_P(FrozenOnWuxgaAtSevenFourths, ShowsCopiesAndSavesTheScreenPixelForPixel)
{
    showsTheScreenPixelForPixel();
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         FrozenOnProjectorAtOneAndAHalf,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         FrozenOnProjector,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         FrozenOnFullHdAtOneAndAHalf,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         FrozenOnFullHdAtDouble,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         FrozenOnQhdAtOneAndAHalf,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         FrozenOnWuxgaAtSevenFourths,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
