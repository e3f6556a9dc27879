#include "e2e/fixtures/under_window_manager.h"

#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zentrel {
namespace {

const QString freezeTitle = QStringLiteral("Zevizu & Vozurir");
const QColor paper(0xd0, 0xd0, 0xd0);
const QColor rule(0x20, 0x20, 0x20);
// Rules this far apart: a picture scaled by a hair blends some of them into their neighbours.
constexpr int ruleSpacing = 5;
// The fake tray host's strip at the top right: the frozen screen leaves our tray icon out.
constexpr int trayHostWidth = 200;
constexpr int trayHostHeight = 40;
// Where a window manager may draw a shadow around a window, which pictures of the screen lack.
constexpr int shadowReach = 48;
// The pointer may leave a trace where it rests.
constexpr int allowedStrays = 16;
// "Save to Session" lies this far left of the toolbar's right edge at scale 1.
constexpr double saveToSessionFromRight = 61;
constexpr int frameTimeoutMs = 10000;

// Zevizu & Vozurir on a monitor at a scale that may not divide its pixels: what it shows, its
// copy and its session frame all hold the screen as it was, pixel for pixel.
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
        ASSERT_TRUE(m_desktop.showRuledDesktopWindow(paper, rule, ruleSpacing));
    }

    void showsTheScreenPixelForPixel();

    // Pixels of `picture` that differ from `screen`, outside `skipped`.
    static int
    differing(const QImage &picture, const QImage &screen, const std::vector<QRect> &skipped);

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

void FrozenAtScale::showsTheScreenPixelForPixel()
{
    m_zentrel.setEnvironment(QStringLiteral("QT_SCALE_FACTOR"), QString::number(m_scale));
    ASSERT_TRUE(startAndWaitForDock().has_value())
        << "zentrel docked no tray icon; it " << stopAndDescribe();
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    const QRect trayHost = QRect(m_screen.width() - trayHostWidth, 0, trayHostWidth, trayHostHeight)
                               .adjusted(-shadowReach, 0, 0, shadowReach);
    const QPoint ruled(m_screen.width() / 2, m_screen.height() - ruleSpacing * 4);
    const QImage screen = grabUntil([&](const QImage &shown) {
        return shown.pixelColor(ruled) == paper || shown.pixelColor(ruled) == rule;
    });
    keepScreenshot(screen, artifact("screen"));

    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/freeze"), freezeTitle));
    // Only the frozen screen shows the rules from here on, not a window yet to be painted.
    ASSERT_TRUE(m_desktop.clearRuledDesktopWindow(paper));
    const std::vector<QRect> shownSkips{
        trayHost, m_toolbar.frame.adjusted(-shadowReach, -shadowReach, shadowReach, shadowReach)};
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
    const int shownDiffering = differing(shown, screen, shownSkips);
    RecordProperty("shownDiffering", shownDiffering);
    EXPECT_LE(shownDiffering, allowedStrays)
        << "pixels of the frozen screen differ from the screen";

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/copy")));
    const QImage copied = m_clipboard.waitForPng(QDeadlineTimer(windowTimeoutMs));
    keepScreenshot(copied, artifact("copy"));
    ASSERT_FALSE(copied.isNull()) << m_clipboard.lastError().toStdString();
    const int copyDiffering = differing(copied, screen, {trayHost});
    RecordProperty("copyDiffering", copyDiffering);
    EXPECT_LE(copyDiffering, allowedStrays) << "pixels of the copy differ from the screen";

    const QPoint saveToSession(m_toolbar.frame.right()
                                   - int(std::lround(saveToSessionFromRight * m_scale)),
                               m_toolbar.frame.center().y());
    ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, saveToSession));
    const QImage frame = m_zentrel.firstSessionFrame(QDeadlineTimer(frameTimeoutMs));
    keepScreenshot(frame, artifact("session_frame"));
    ASSERT_FALSE(frame.isNull()) << "Save to Session stored no frame; " << situation();
    const int frameDiffering = differing(frame, screen, {trayHost});
    RecordProperty("frameDiffering", frameDiffering);
    EXPECT_LE(frameDiffering, allowedStrays)
        << "pixels of the session frame differ from the screen";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// A 1280 × 720 projector at 150 %: 853⅓ × 480 points, which Qt gives as 853 × 480; and unscaled.
using FrozenOnProjectorAtOneAndAHalf = OnMonitor<FrozenAtScale, 1280, 720, 150>;
using FrozenOnProjector = OnMonitor<FrozenAtScale, 1280, 720, 100>;
// Scales that divide a 1080p monitor's pixels: 1280 × 720 and 960 × 540 points.
using FrozenOnFullHdAtOneAndAHalf = OnMonitor<FrozenAtScale, 1920, 1080, 150>;
using FrozenOnFullHdAtDouble = OnMonitor<FrozenAtScale, 1920, 1080, 200>;

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

} // namespace
} // namespace zentrel
