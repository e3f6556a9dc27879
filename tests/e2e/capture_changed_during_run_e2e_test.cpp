#include "e2e/fixtures/capture_desk.h"
#include "e2e/fixtures/screen_comparison.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace zentrel {
namespace {

// Where the framed window moves while Draw runs: clear of the window that opens meanwhile, of the
// dialog, of the toolbar and of the shape.
const QPoint movedPlace(1100, 150);

// Draw's picture, where `parts` show windows that moved or opened during the run: there the screen
// as it shows them after or as it showed before the run, the rest as it shows after.
void expectAsShownOrBefore(const QImage &picture,
                           const QImage &before,
                           const QImage &after,
                           const std::vector<QRect> &parts,
                           const QRect &skipped,
                           const char *what)
{
    const QImage screen = asAfterOrBefore(picture, before, after, parts);
    for (const QRect &part : parts) {
        EXPECT_TRUE(showsAsScreen(picture, screen, part, {}, allowedFrameShare))
            << what << ", where a window moved or opened at " << part.x() << ',' << part.y();
    }
    EXPECT_TRUE(showsAsScreen(picture, screen, screen.rect(), skipped)) << what;
}

// Instantiated for every window manager beside the other CaptureAsShown scenarios.
// Windows that move or open while Draw runs show in its pictures as the screen shows them, title
// bar and all, or as the screen showed them when Draw opened: never black, never in two places.
TEST_P(CaptureAsShown, WindowsThatMoveOrOpenDuringARunShowAsShownOrAsBefore)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    const QImage bare = bareScreen();
    ASSERT_FALSE(bare.isNull());
    const auto framed = m_windows.shown(framedTitle);
    ASSERT_TRUE(framed.has_value());

    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/draw"), drawTitle));
    m_draw = m_main;
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    ASSERT_NO_FATAL_FAILURE(moveTo(framedTitle, movedPlace));
    ASSERT_NO_FATAL_FAILURE(showNewcomer());
    // Back to Draw, so that the newcomer shows without the keyboard, as after the run.
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    const auto moved = m_windows.shown(framedTitle);
    const auto newcomer = m_windows.shown(newcomerTitle);
    ASSERT_TRUE(moved.has_value() && newcomer.has_value()) << situation();
    const QImage drawn = stillScreen([this](const QImage &shown) {
        return showsStroke(shown) && saveToSessionButton(shown, m_toolbar.frame).has_value();
    });
    keepScreenshot(drawn, artifact("changed_during_draw"));
    const QImage copied =
        copyWhen([this](const QImage &copy) { return showsStroke(copy); }, "changed_copy");
    const std::optional<QPoint> save = saveToSessionButton(drawn, m_toolbar.frame);
    ASSERT_TRUE(save.has_value()) << "no Save to Session button in " << m_toolbar.describe();
    ASSERT_TRUE(m_input.click(*save)) << m_input.lastError().toStdString();
    const QImage saved = m_zentrel.firstSessionFrame(QDeadlineTimer(copyTimeoutMs));
    keepScreenshot(saved, artifact("changed_session_frame"));

    // The screen as Draw's pictures should show it: without Draw, under its tint, with the
    // keyboard where it was when the run began, so that the newcomer is drawn without it.
    ASSERT_NO_FATAL_FAILURE(endRun(drawTitle));
    const QImage after = stillScreen([&](const QImage &shown) {
        return isCloseTo(shown.pixelColor(moved->frame.center()), framedColor)
               && isCloseTo(shown.pixelColor(newcomer->frame.center()), newcomerColor);
    });
    keepScreenshot(after, artifact("changed_after"));
    const QImage before = tintedImage(bare, overlayTint);
    const QImage now = tintedImage(after, overlayTint);
    const std::vector<QRect> parts{decorationAround(framed->frame | moved->frame),
                                   decorationAround(newcomer->frame)};
    const QRect stroke = shapeDrag.adjusted(-20, -20, 20, 20);
    expectAsShownOrBefore(copied, before, now, parts, stroke, "changed_copy");
    expectAsShownOrBefore(saved, before, now, parts, stroke, "changed_session_frame");
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace
} // namespace zentrel
