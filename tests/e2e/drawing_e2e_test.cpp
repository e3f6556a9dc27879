#include "e2e/fixtures/drawing_test.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QImage>
#include <QLine>
#include <QRect>
#include <QSize>

#include <gtest/gtest.h>

#include <optional>

namespace zentrel {

namespace {

const QColor blue(0x00, 0x7a, 0xff);
const QColor otherWindowColor(0xc0, 0x80, 0x40);
const QRect otherWindowFrame(900, 560, 200, 120);
// Behind where the toolbar comes, away from the tray host at the top right and every stroke.
const QColor behindToolbarColor(0xb0, 0x40, 0x60);
const QRect behindToolbarFrame(150, 0, 980, 220);
const QRect behindToolbarSample(170, 160, 40, 40);
const QLine stroke(QPoint(300, 400), QPoint(500, 440));
const QLine secondStroke(QPoint(300, 560), QPoint(500, 600));
// The blue swatch of the current colour is a few hundred pixels; other changes are far fewer.
constexpr int swatchPixels = 50;
// Far less than one tool button, far more than rounding.
constexpr double buttonStep = 10;

// Room around a stroke for its width and round caps.
QRect around(const QLine &line)
{
    return QRect(line.p1(), line.p2()).normalized().adjusted(-12, -12, 12, 12);
}

// The selected tool's button is filled with a blue accent. The tools come first, in the left
// half, before the colour swatches, where the blue swatch would count too.
std::optional<double> highlightedToolX(const QImage &screen, const QRect &toolbar)
{
    if (screen.isNull() || !screen.rect().contains(toolbar)) {
        return std::nullopt;
    }
    double sum = 0;
    int count = 0;
    for (int y = toolbar.top(); y <= toolbar.bottom(); ++y) {
        for (int x = toolbar.left(); x < toolbar.center().x(); ++x) {
            const QColor pixel = screen.pixelColor(x, y);
            if (pixel.blue() > pixel.red() + 80 && pixel.blue() > pixel.green() + 30) {
                sum += x;
                ++count;
            }
        }
    }
    return count > 0 ? std::optional<double>(sum / count) : std::nullopt;
}

int countOf(const QImage &screen, const QRect &area, const QColor &color)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += isCloseTo(screen.pixelColor(x, y), color) ? 1 : 0;
        }
    }
    return count;
}

class LiveDrawing : public DrawingTest
{
protected:
    // Starts drawing over a window of one colour where the toolbar comes, so a picture that
    // leaves the toolbar out shows that window there.
    void startDrawingOverWindowBehindToolbar()
    {
        ASSERT_TRUE(m_desktop.showWindowAtBottom(behindToolbarFrame, behindToolbarColor));
        ASSERT_NO_FATAL_FAILURE(startDrawing());
        ASSERT_TRUE(behindToolbarFrame.contains(m_toolbar.frame))
            << "the window meant to be behind the toolbar is not; " << m_toolbar.describe();
        const QImage screen = grabUntil(
            [&](const QImage &shown) { return showsOnly(shown, behindToolbarSample, seenBehind); });
        ASSERT_TRUE(showsOnly(screen, behindToolbarSample, seenBehind))
            << "the window behind does not show under the tint; " << situation();
    }

    // The picture shows the desktop as the screen does, once, where the toolbar was too.
    testing::AssertionResult leavesOutToolbar(const QImage &copied) const
    {
        if (!showsOnly(copied, behindToolbarSample, seenBehind)) {
            return testing::AssertionFailure()
                   << "the window beside the toolbar is not in the picture as on screen";
        }
        if (!showsOnly(copied, m_toolbar.frame, seenBehind)) {
            return testing::AssertionFailure()
                   << "where the toolbar was, the picture does not show the window behind it";
        }
        if (!showsTinted(copied, quietCorner)) {
            return testing::AssertionFailure()
                   << "the wallpaper is not in the picture, tinted as on screen";
        }
        return testing::AssertionSuccess();
    }

    const QColor seenBehind = tinted(behindToolbarColor, overlayTint);
};

TEST_F(LiveDrawing, DragDrawsStrokeThatUndoRemovesAndRedoBringsBack)
{
    ASSERT_NO_FATAL_FAILURE(startDrawing());

    QImage screen = drawLine(stroke, green);
    keepScreenshot(screen, QStringLiteral("drawing_stroke.png"));
    ASSERT_TRUE(showsColorAlong(screen, stroke, green)) << situation();

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/undo")));
    screen = grabUntil([](const QImage &shown) { return showsTinted(shown, around(stroke)); });
    keepScreenshot(screen, QStringLiteral("drawing_undone.png"));
    EXPECT_TRUE(showsTinted(screen, around(stroke))) << "undo left the stroke";

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/redo")));
    screen = grabUntil([](const QImage &shown) { return showsColorAlong(shown, stroke, green); });
    keepScreenshot(screen, QStringLiteral("drawing_redone.png"));
    EXPECT_TRUE(showsColorAlong(screen, stroke, green)) << "redo did not bring the stroke back";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(LiveDrawing, DigitKeyPicksToolAndToolbarHighlightsIt)
{
    ASSERT_NO_FATAL_FAILURE(startDrawing());
    const QRect &bar = m_toolbar.frame;
    EXPECT_EQ(bar.top(), 40) << m_toolbar.describe();
    EXPECT_NEAR(bar.center().x(), XvfbSession::screenWidth / 2, 2) << m_toolbar.describe();

    const std::optional<double> pen = highlightedToolX(m_xvfb.grabScreen(), bar);
    ASSERT_TRUE(pen.has_value()) << "no tool is highlighted at start";
    // The tools sit in key order, so each digit moves the highlight one button to the right.
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("2")));
    QImage screen = grabUntil([&](const QImage &shown) {
        return highlightedToolX(shown, bar).value_or(*pen) > *pen + buttonStep;
    });
    const double arrow = highlightedToolX(screen, bar).value_or(*pen);
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    screen = grabUntil([&](const QImage &shown) {
        return highlightedToolX(shown, bar).value_or(*pen) > arrow + buttonStep;
    });
    keepScreenshot(screen.copy(bar), QStringLiteral("drawing_toolbar_rectangle.png"));
    const double rectangle = highlightedToolX(screen, bar).value_or(*pen);
    EXPECT_GT(arrow, *pen + buttonStep) << "2 did not move the highlight";
    EXPECT_GT(rectangle, arrow + buttonStep) << "3 did not move the highlight";
    EXPECT_NEAR(rectangle - arrow, arrow - *pen, 3) << "the highlight is not one button on";

    const QRect box(QPoint(400, 300), QPoint(600, 500));
    const QLine left(box.topLeft(), box.bottomLeft());
    const QLine right(box.topRight(), box.bottomRight());
    ASSERT_TRUE(m_input.drag(box.topLeft(), box.bottomRight()))
        << m_input.lastError().toStdString();
    screen = grabUntil([&](const QImage &shown) {
        return showsColorAlong(shown, left, green) && showsColorAlong(shown, right, green);
    });
    keepScreenshot(screen, QStringLiteral("drawing_rectangle.png"));
    EXPECT_TRUE(showsColorAlong(screen, left, green)) << "no left edge";
    EXPECT_TRUE(showsColorAlong(screen, right, green)) << "no right edge";
    // Neither filled nor a line along the drag, as the pen would draw.
    EXPECT_TRUE(showsTinted(screen, box.adjusted(12, 12, -12, -12))) << "the inside is drawn on";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(LiveDrawing, EscapeClosesBothWindowsAndLeavesDesktopUntinted)
{
    ASSERT_NO_FATAL_FAILURE(startDrawing());
    const QImage drawn = drawLine(stroke, green);
    ASSERT_TRUE(showsColorAlong(drawn, stroke, green)) << situation();

    // With nothing compositing, the overlay shows a still of the screen from the start, so a
    // window opening behind it stays out of sight. The server has mapped it when this returns.
    ASSERT_TRUE(m_desktop.showWindowAtBottom(otherWindowFrame, otherWindowColor));
    const QImage still = m_xvfb.grabScreen();
    EXPECT_TRUE(showsTinted(still, otherWindowFrame)) << "the overlay is not a still picture";

    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("Escape")));
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_draw.id, QDeadlineTimer(windowTimeoutMs)))
        << "Escape left Draw open; " << situation();
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_toolbar.id, QDeadlineTimer(windowTimeoutMs)))
        << "Escape left the toolbar open; " << situation();
    const QImage screen = grabUntil([](const QImage &shown) {
        return showsBare(shown, quietCorner) && showsBare(shown, around(stroke));
    });
    keepScreenshot(screen, QStringLiteral("drawing_closed.png"));
    EXPECT_TRUE(showsBare(screen, quietCorner)) << "a tint is left on the desktop";
    EXPECT_TRUE(showsBare(screen, around(stroke))) << "the drawing is left on the desktop";
    EXPECT_TRUE(showsOnly(screen, otherWindowFrame, otherWindowColor))
        << "the window behind is still hidden";
    EXPECT_TRUE(m_zentrel.isRunning());
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(LiveDrawing, CopyPutsDrawingButNotToolbarOnClipboard)
{
    ASSERT_NO_FATAL_FAILURE(startDrawingOverWindowBehindToolbar());
    const QImage drawn = drawLine(stroke, green);
    ASSERT_TRUE(showsColorAlong(drawn, stroke, green)) << situation();

    const QImage copied = copy(QStringLiteral("drawing_clipboard.png"));
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), QSize(XvfbSession::screenWidth, XvfbSession::screenHeight));
    EXPECT_TRUE(showsColorAlong(copied, stroke, green)) << "the stroke is not in the picture";
    EXPECT_TRUE(leavesOutToolbar(copied));

    // The panels hidden for the picture come back.
    const auto toolbar = m_windows.waitForShown(toolbarTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(toolbar.has_value()) << "the toolbar did not come back; " << situation();
    const QImage screen = grabOncePainted(toolbar->frame);
    keepScreenshot(screen, QStringLiteral("drawing_after_copy.png"));
    EXPECT_TRUE(isPainted(screen, toolbar->frame)) << "the toolbar came back unpainted";
    EXPECT_TRUE(showsColorAlong(screen, stroke, green)) << "the stroke is gone after copying";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(LiveDrawing, CopyLeavesOutOurOtherWindows)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    const std::optional<TopLevelWindow> settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    ASSERT_NO_FATAL_FAILURE(startDrawing());

    const QImage copied = copy(QStringLiteral("drawing_clipboard_without_settings.png"));
    ASSERT_FALSE(copied.isNull());
    EXPECT_TRUE(showsTinted(copied, settings->frame.adjusted(8, 8, -8, -8)))
        << "the settings window left open is in the picture";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(LiveDrawing, WithCompositorLiveDesktopShowsThroughTintAndInCopy)
{
    ASSERT_NO_FATAL_FAILURE(startCompositor());
    ASSERT_NO_FATAL_FAILURE(startDrawingOverWindowBehindToolbar());
    const QImage drawn = drawLine(stroke, green);
    keepScreenshot(drawn, QStringLiteral("drawing_composited_stroke.png"));
    EXPECT_TRUE(showsColorAlong(drawn, stroke, green)) << situation();

    // Translucent, the overlay shows a window that opens behind it as it is, only tinted.
    ASSERT_TRUE(m_desktop.showWindowAtBottom(otherWindowFrame, otherWindowColor));
    const QColor seenThrough = tinted(otherWindowColor, overlayTint);
    const QImage screen = grabUntil(
        [&](const QImage &shown) { return showsOnly(shown, otherWindowFrame, seenThrough); });
    keepScreenshot(screen, QStringLiteral("drawing_composited.png"));
    EXPECT_TRUE(showsOnly(screen, otherWindowFrame, seenThrough))
        << "the window behind does not show through the tint";
    EXPECT_TRUE(showsColorAlong(screen, stroke, green)) << "the stroke is gone";

    // The picture comes from the composited screen, with the panels taken out of it first.
    const QImage copied = copy(QStringLiteral("drawing_composited_clipboard.png"));
    ASSERT_FALSE(copied.isNull());
    EXPECT_TRUE(showsColorAlong(copied, stroke, green)) << "the stroke is not in the picture";
    EXPECT_TRUE(showsOnly(copied, otherWindowFrame, seenThrough))
        << "the picture does not show the window behind as the screen does";
    EXPECT_TRUE(leavesOutToolbar(copied));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(LiveDrawing, ColorUrlMakesNextStrokeBlue)
{
    ASSERT_NO_FATAL_FAILURE(startDrawing());
    const QImage drawn = drawLine(stroke, green);
    ASSERT_TRUE(showsColorAlong(drawn, stroke, green)) << situation();

    // The URL comes by another way than the mouse and could overtake the next drag; the
    // toolbar's swatch of the current colour turning blue says the program has taken it.
    const int bluesBefore = countOf(drawn, m_toolbar.frame, blue);
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/color/blue")));
    const QImage picked = grabUntil([&](const QImage &shown) {
        return countOf(shown, m_toolbar.frame, blue) > bluesBefore + swatchPixels;
    });
    keepScreenshot(picked.copy(m_toolbar.frame), QStringLiteral("drawing_toolbar_blue.png"));
    ASSERT_GT(countOf(picked, m_toolbar.frame, blue), bluesBefore + swatchPixels)
        << "the toolbar does not show blue as the colour";

    const QImage screen = drawLine(secondStroke, blue);
    keepScreenshot(screen, QStringLiteral("drawing_blue_stroke.png"));
    EXPECT_TRUE(showsColorAlong(screen, secondStroke, blue)) << "the next stroke is not blue";
    EXPECT_TRUE(showsColorAlong(screen, stroke, green)) << "the earlier stroke changed colour";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace

} // namespace zentrel
