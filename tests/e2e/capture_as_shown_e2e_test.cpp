#include "e2e/fixtures/capture_desk.h"
#include "e2e/fixtures/screen_comparison.h"
#include "e2e/fixtures/screen_pixels.h"
#include "e2e/x11/x_desktop.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>

namespace zentrel {
namespace {

// Inside the loupe's rim, which lies 118 px from its centre.
constexpr int loupeReach = 60;
constexpr int loupeRim = 118;
// The rim is not quite opaque.
constexpr int rimTolerance = 40;
const QColor rootPictureFirst(0xd2, 0xb4, 0x8c);
const QColor rootPictureSecond(0x46, 0x82, 0xb4);

// Pixels of `picture` in `area` that are not as the picture on the root shows them.
int offRootPicture(const QImage &picture, const QRect &area)
{
    int off = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool first = (x / XDesktop::checkerSquare + y / XDesktop::checkerSquare) % 2 == 0;
            const QColor expected = first ? rootPictureFirst : rootPictureSecond;
            off += isCloseTo(picture.pixelColor(x, y), expected) ? 0 : 1;
        }
    }
    return off;
}

TEST_P(CaptureAsShown, PicturesShowTheDesktopAndWhatLiesBehindOurWindows)
{
    // Its corners show the desktop, in every picture as on the screen.
    ASSERT_NO_FATAL_FAILURE(showShapedWindow());
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    const QImage bare = bareScreen();
    ASSERT_FALSE(bare.isNull());
    const QRect whole = bare.rect();

    // Our settings window stays open beside every run; pictures show what lies behind it.
    const auto settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    ASSERT_NO_FATAL_FAILURE(giveKeyboardToFramed());
    const QImage screen = screenBehind(*settings, bare, "screen");
    ASSERT_FALSE(screen.isNull());

    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/freeze"), QStringLiteral("Zevizu & Vozurir")));
    keepScreenshot(m_xvfb.grabScreen(), artifact("frozen"));
    const QImage frozen = copyWhen([](const QImage &) { return true; }, "frozen_copy");
    EXPECT_TRUE(showsAsScreen(frozen, screen, whole)) << "Zevizu & Vozurir's copy";
    expectFramedAsShown(frozen, screen, "Zevizu & Vozurir's copy");
    expectShapedAsShown(frozen, screen, "Zevizu & Vozurir's copy");
    ASSERT_NO_FATAL_FAILURE(endRun(QStringLiteral("Zevizu & Vozurir")));

    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/draw"), drawTitle));
    m_draw = m_main;
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    const QImage drawCopy =
        copyWhen([this](const QImage &copied) { return showsStroke(copied); }, "draw_copy");
    expectDrawing(drawCopy, screen, "draw_copy");
    expectShapedAsShown(drawCopy, tintedImage(screen, overlayTint), "draw_copy");
    ASSERT_NO_FATAL_FAILURE(expectFreezeAfterDraw(screen, "frozen_after_draw"));
    ASSERT_NO_FATAL_FAILURE(endRun(QStringLiteral("Zevizu & Vozurir")));

    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/zoom"),
                                        QStringLiteral("Zoom Loupe"),
                                        Shows::clickThroughOverlayAndToolbar));
    ASSERT_TRUE(m_input.moveTo(bareDesktop)) << m_input.lastError().toStdString();
    const QRect magnified(bareDesktop - QPoint(loupeReach, loupeReach),
                          bareDesktop + QPoint(loupeReach, loupeReach));
    const QPoint rimPoint = bareDesktop + QPoint(loupeRim, 0);
    const QDeadlineTimer magnifying(stillTimeoutMs);
    const auto showsLoupe = [&] {
        const QImage shown = m_pixels.area(whole);
        return isCloseTo(shown.pixelColor(rimPoint), Qt::white, rimTolerance)
               && showsAsScreen(shown, screen, magnified);
    };
    while (!showsLoupe() && !magnifying.hasExpired()) {
        QThread::msleep(stillPollMs);
    }
    const QImage loupe = m_xvfb.grabScreen();
    keepScreenshot(loupe, artifact("loupe"));
    const QColor rim = loupe.pixelColor(rimPoint);
    ASSERT_TRUE(isCloseTo(rim, Qt::white, rimTolerance))
        << "no loupe around the pointer, but " << rim.name().toStdString() << "; " << situation();
    EXPECT_TRUE(showsAsScreen(loupe, screen, magnified)) << "the loupe over bare desktop";

    // The loupe once it has followed the pointer to `point` and settled there.
    const auto loupeAt = [&](QPoint point) {
        EXPECT_TRUE(m_input.moveTo(point)) << m_input.lastError().toStdString();
        QThread::msleep(stillPollMs * stillReads);
        return stillScreen([&](const QImage &shown) {
            return isCloseTo(
                shown.pixelColor(point + QPoint(loupeRim, 0)), Qt::white, rimTolerance);
        });
    };

    // Over the framed window's edge, where a compositing manager draws its border and shadow.
    const auto framed = m_windows.shown(framedTitle);
    ASSERT_TRUE(framed.has_value());
    const QPoint edge(framed->frame.left(), framed->frame.top() + loupeReach);
    const QImage overEdge = loupeAt(edge);
    keepScreenshot(overEdge, artifact("loupe_edge"));
    EXPECT_LE(blackInLoupe(overEdge, screen, edge, loupeReach), allowedBlack)
        << "black in the loupe over the framed window's edge";

    // Over the shaped window's corner, outside its disc.
    const auto shaped = m_windows.shown(shapedTitle);
    ASSERT_TRUE(shaped.has_value());
    const QPoint corner = shaped->frame.topLeft();
    const QImage overShaped = loupeAt(corner);
    keepScreenshot(overShaped, artifact("loupe_shaped"));
    EXPECT_LE(blackInLoupe(overShaped, screen, corner, loupeReach), allowedBlack)
        << "black in the loupe over the shaped window's corner";
    // The loupe magnifies twice: this far from its centre it shows the corner's desktop.
    const QPoint outsideDisc(12, 12);
    EXPECT_TRUE(isCloseTo(overShaped.pixelColor(corner + 2 * outsideDisc),
                          screen.pixelColor(corner + outsideDisc)))
        << "the loupe over the shaped window's corner shows "
        << overShaped.pixelColor(corner + 2 * outsideDisc).name().toStdString();

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// Draw's session frames and the frozen screen show what lies behind the window Zentrel shows in
// place of a tray icon.
TEST_P(CaptureWithoutTray, FallbackWindowLeavesNoTraceInSessionFramesOrFrozenScreen)
{
    const QImage bare = bareScreen();
    ASSERT_FALSE(bare.isNull());
    ASSERT_TRUE(m_zentrel.start(m_xvfb.display()));
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
        << "zentrel never listened for command URLs; it " << stopAndDescribe();
    const auto fallback = m_windows.waitForShown(toolbarTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(fallback.has_value()) << "no window in place of the tray icon; " << situation();
    ASSERT_NO_FATAL_FAILURE(giveKeyboardToFramed());
    const QImage screen = screenBehind(*fallback, bare, "screen_with_fallback");
    ASSERT_FALSE(screen.isNull());

    // The fallback window bears the toolbar's title: Draw's toolbar is the one that is new.
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/draw")));
    const auto draw = m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs));
    auto toolbar = waitForNew(before, toolbarTitle);
    ASSERT_TRUE(draw.has_value() && toolbar.has_value()) << "Draw did not open; " << situation();
    ASSERT_TRUE(settle(*toolbar));
    m_draw = *draw;
    m_toolbar = *toolbar;
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    const QImage drawn = grabUntil([this](const QImage &shown) {
        return showsStroke(shown) && saveToSessionButton(shown, m_toolbar.frame).has_value();
    });
    keepScreenshot(drawn, artifact("drawn_with_fallback"));
    ASSERT_TRUE(showsStroke(drawn)) << "the drag drew nothing; " << situation();
    const std::optional<QPoint> save = saveToSessionButton(drawn, m_toolbar.frame);
    ASSERT_TRUE(save.has_value()) << "no Save to Session button in " << m_toolbar.describe();
    ASSERT_TRUE(m_input.click(*save)) << m_input.lastError().toStdString();
    const QImage frame = m_zentrel.firstSessionFrame(QDeadlineTimer(copyTimeoutMs));
    keepScreenshot(frame, artifact("session_frame"));
    expectDrawing(frame, screen, "session_frame");
    ASSERT_NO_FATAL_FAILURE(expectFreezeAfterDraw(screen, "frozen_with_fallback"));
    ASSERT_NO_FATAL_FAILURE(endRun(QStringLiteral("Zevizu & Vozurir")));

    // With no compositing manager and a picture on the root, the frozen screen shows that
    // picture where the fallback window and its frame are. Metacity composites by itself once
    // the compositing manager has gone.
    if (!composites(GetParam()) && GetParam() != WindowManager::metacity) {
        m_compositor.stop(QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(m_desktop.waitUntilNoCompositor(QDeadlineTimer(windowTimeoutMs)));
        ASSERT_TRUE(m_desktop.setRootPicture(rootPictureFirst, rootPictureSecond));
        ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/freeze"),
                                            QStringLiteral("Zevizu & Vozurir")));
        keepScreenshot(m_xvfb.grabScreen(), artifact("frozen_over_root_picture"));
        const QImage frozen =
            copyWhen([](const QImage &) { return true; }, "frozen_over_root_picture_copy");
        const QRect behind = decorationAround(fallback->frame);
        EXPECT_LE(offRootPicture(frozen, behind), behind.width() * behind.height() / 100)
            << "the frozen screen's copy where the fallback window is";
    }

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// Every CaptureAsShown scenario, those of capture_changed_during_run_e2e_test.cpp too.
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         CaptureAsShown,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         CaptureWithoutTray,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
