// What a presenter must be able to trust under every window manager: drawing that never pauses
// still reaches the library before a crash.
#include "e2e/fixtures/under_window_manager.h"

#include <QJsonArray>

#include <gtest/gtest.h>
#include <signal.h>

namespace zentrel {
namespace {

const QString whiteboardTitle = QStringLiteral("Whiteboard");
// Rectangles drawn one after the other, a hand's pace apart, far faster than the save's pause.
constexpr int unpausedDrawingMs = 3000;

class PresenterTrust : public UnderWindowManager
{
};

// Drawing without a pause keeps putting the save off; a crash in the middle must still find
// most of it in the library.
TEST_P(PresenterTrust, RectanglesDrawnWithoutAPauseSurviveAKill)
{
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/whiteboard"), whiteboardTitle));
    // One xdotool run, so nothing waits between the drags: about 150 ms a rectangle, each
    // after 2 picks the rectangle tool again (a drawn shape hands over to selection).
    QStringList drags;
    int drawn = 0;
    for (int elapsed = 0; elapsed < unpausedDrawingMs; elapsed += 150, ++drawn) {
        // Right of the property panel and below the toolbar.
        const QPoint from(360 + (drawn % 8) * 100, 220 + (drawn / 8) * 100);
        const QPoint to = from + QPoint(60, 50);
        drags << QStringLiteral("key") << QStringLiteral("2") << QStringLiteral("mousemove")
              << QString::number(from.x()) << QString::number(from.y())
              << QStringLiteral("mousedown") << QStringLiteral("1");
        for (const QPoint at : {from + QPoint(30, 25), to}) {
            drags << QStringLiteral("sleep") << QStringLiteral("0.03")
                  << QStringLiteral("mousemove") << QString::number(at.x())
                  << QString::number(at.y());
        }
        drags << QStringLiteral("sleep") << QStringLiteral("0.03") << QStringLiteral("mouseup")
              << QStringLiteral("1") << QStringLiteral("sleep") << QStringLiteral("0.06");
    }
    ASSERT_NO_FATAL_FAILURE(xdotool(drags, 2 * unpausedDrawingMs + windowTimeoutMs));
    keepScreenshot(m_xvfb.grabScreen(),
                   QStringLiteral("unpaused_drawing_%1.png").arg(nameOf(GetParam())));
    ASSERT_EQ(::kill(pid_t(m_zentrel.processId()), SIGKILL), 0);
    m_zentrel.waitForExit(QDeadlineTimer(windowTimeoutMs));

    const QJsonArray saved = m_zentrel.savedBoardElements();
    // Saved at least every 2 s: what came before the last 2 s of drawing is all there.
    EXPECT_GE(saved.size(), drawn / 3) << drawn << " rectangles drawn; " << situation();
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         PresenterTrust,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
