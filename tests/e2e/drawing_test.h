#pragma once

#include "e2e/desktop_test.h"
#include "e2e/screen_pixels.h"
#include "e2e/x_clipboard.h"
#include "e2e/x_desktop.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QImage>
#include <QLine>
#include <QRect>
#include <QSize>
#include <QString>

#include <gtest/gtest.h>

namespace zentrel {

// A desktop with a flat wallpaper and zentrel set to draw plain strokes in a colour found
// nowhere else on it, with drawing opened by command URL.
class DrawingTest : public DesktopTest
{
protected:
    // Mid grey: far from every stroke colour, and its tinted shade plain to tell apart.
    static inline const QColor wallpaper{0x80, 0x80, 0x80};
    static constexpr double overlayTint = 0.1;
    static inline const QColor green{0x34, 0xc7, 0x59};
    // Away from the toolbar at the top, the tray host at the top right and every stroke.
    static inline const QRect quietCorner{40, 640, 80, 80};
    static inline const QString drawTitle = QStringLiteral("Draw");
    static inline const QString toolbarTitle = QStringLiteral("Zentrel");
    static constexpr int windowTimeoutMs = 10000;

    explicit DrawingTest(QSize screen = QSize(XvfbSession::screenWidth, XvfbSession::screenHeight));

    void SetUp() override;

    // A compositing manager on the display, for translucent windows; start it before zentrel.
    void startCompositor();
    // Returns once the tinted overlay and the painted toolbar are on screen, so input and
    // command URLs from here on reach a drawing that is ready for them. Starts zentrel unless
    // it runs.
    void startDrawing();
    // Drags along line and returns the screen once the stroke shows in color, or the last try.
    QImage drawLine(const QLine &line, const QColor &color);
    // What action/copy puts on the clipboard, kept under artifactName; a null image, with the
    // failure reported, when nothing came.
    QImage copy(const QString &artifactName);
    void pressInDraw(const QString &key);

    // Picks an item near the end of the whiteboard toolbar's "…" menu, counted upwards from the
    // last.
    void chooseFromToolbarMenu(int stepsUp);
    // Answers the file dialog titled `title` with `path`.
    void answerFileDialog(const QString &title, const QString &path);
    // Whether the file is there, once it is or after a while.
    static bool waitForFile(const QString &path);

    // The screen once shows(screen) holds, or the last try when it never does.
    template <typename Shows>
    QImage grabUntil(Shows shows)
    {
        const QDeadlineTimer deadline(paintTimeoutMs);
        QImage screen = m_xvfb.grabScreen();
        while (!shows(screen) && !deadline.hasExpired()) {
            screen = m_xvfb.grabScreen();
        }
        return screen;
    }

    static testing::AssertionResult showsBare(const QImage &screen, const QRect &area)
    {
        return showsOnly(screen, area, wallpaper);
    }

    static testing::AssertionResult showsTinted(const QImage &screen, const QRect &area)
    {
        return showsOnly(screen, area, tinted(wallpaper, overlayTint));
    }

    XDesktop m_desktop;
    XClipboard m_clipboard;
    ChildProcess m_compositor;
    TopLevelWindow m_draw;
    TopLevelWindow m_toolbar;
    // The tray icon zentrel docked in startDrawing.
    std::uint32_t m_trayIcon = 0;

private:
    static constexpr int paintTimeoutMs = 5000;
};

} // namespace zentrel
