#include "e2e/fixtures/drawing_test.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QLine>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace zentrel {

namespace {

constexpr int storeTimeoutMs = 10000;
const QLine stroke(QPoint(300, 400), QPoint(500, 440));
const QString sessionsTitle = QStringLiteral("Sessions");
const QString pdfDialogTitle = QStringLiteral("Export Session PDF");
// A thumbnail is 144 by 90; most of it shows the tinted desktop the frame was taken of.
constexpr int thumbnailPixels = 144 * 90 * 7 / 10;

class SessionsEndToEnd : public DrawingTest
{
protected:
    QString sessionsRoot() const
    {
        return m_zentrel.dataHome() + QStringLiteral("/Zentrel/Sessions");
    }

    // Frames listed in every session manifest on disk.
    int storedFrames() const { return int(m_zentrel.savedSessionFrames().size()); }

    bool waitForStoredFrames(int count) const
    {
        const QDeadlineTimer deadline(storeTimeoutMs);
        while (storedFrames() < count && !deadline.hasExpired()) {
            QThread::msleep(50);
        }
        return storedFrames() == count;
    }

    static int countOf(const QImage &screen, const QRect &area, const QColor &color)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                count += isCloseTo(screen.pixelColor(x, y), color) ? 1 : 0;
            }
        }
        return count;
    }
};

TEST_F(SessionsEndToEnd, SavedFramesListWithThumbnailsAndExportAsOnePdfPagePerFrame)
{
    ASSERT_NO_FATAL_FAILURE(startDrawing());
    const QImage drawn = drawLine(stroke, green);
    ASSERT_TRUE(showsColorAlong(drawn, stroke, green)) << situation();
    const std::optional<QPoint> save = saveToSessionButton(drawn, m_toolbar.frame);
    keepScreenshot(drawn.copy(m_toolbar.frame), QStringLiteral("sessions_toolbar.png"));
    ASSERT_TRUE(save.has_value()) << "no Save to Session button in " << m_toolbar.describe();

    for (int frames = 1; frames <= 2; ++frames) {
        ASSERT_TRUE(m_input.click(*save)) << m_input.lastError().toStdString();
        ASSERT_TRUE(waitForStoredFrames(frames))
            << storedFrames() << " frames stored after " << frames << " presses; " << situation();
    }
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("Escape")));
    ASSERT_TRUE(m_windows.waitUntilNotShown(m_draw.id, QDeadlineTimer(windowTimeoutMs)));

    const std::optional<TopLevelWindow> menu =
        openTrayMenu(m_trayIcon, QStringLiteral("sessions_tray_menu.png"));
    ASSERT_TRUE(menu.has_value());
    // Up wraps to "Quit Zentrel"; three more pass the settings and the update check.
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Up"),
                                   QStringLiteral("Up"),
                                   QStringLiteral("Up"),
                                   QStringLiteral("Up"),
                                   QStringLiteral("Return")}));
    const auto window = m_windows.waitForShown(sessionsTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(window.has_value()) << "no Sessions window; " << situation();
    const QColor frameDesktop = tinted(wallpaper, overlayTint);
    const QImage listed = grabUntil([&](const QImage &screen) {
        return countOf(screen, window->frame, frameDesktop) >= 2 * thumbnailPixels;
    });
    keepScreenshot(listed, QStringLiteral("sessions_window.png"));
    EXPECT_GE(countOf(listed, window->frame, frameDesktop), 2 * thumbnailPixels)
        << "the two frames' thumbnails do not show";
    EXPECT_LT(countOf(listed, window->frame, frameDesktop), 3 * 144 * 90)
        << "more than two thumbnails show";

    ASSERT_TRUE(m_input.focus(window->id)) << m_input.lastError().toStdString();
    const std::set<std::uint32_t> beforeMenu = m_windows.shownIds();
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("alt+e")}));
    const auto exportMenu = m_windows.waitForNewPopup(beforeMenu, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(exportMenu.has_value()) << "Alt+E opened no Export menu; " << situation();
    keepScreenshot(grabOncePainted(exportMenu->frame), QStringLiteral("sessions_export_menu.png"));
    // The menu's last entry, whether or not the first is highlighted yet.
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Up"), QStringLiteral("Return")}));
    const auto dialog = m_windows.waitForShown(pdfDialogTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(dialog.has_value()) << "no export dialog; " << situation();
    keepScreenshot(grabOncePainted(dialog->frame), QStringLiteral("sessions_pdf_dialog.png"));
    const QString pdf = m_zentrel.dataHome() + QStringLiteral("/exported.pdf");
    ASSERT_TRUE(m_input.focus(dialog->id));
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("ctrl+a")}));
    ASSERT_TRUE(m_input.typeText(pdf)) << m_input.lastError().toStdString();
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Return")}));
    const QDeadlineTimer written(storeTimeoutMs);
    while (!QFile::exists(pdf) && !written.hasExpired()) {
        QThread::msleep(50);
    }
    ASSERT_TRUE(QFile::exists(pdf)) << "no PDF at " << pdf.toStdString() << "; " << situation();

    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"),
                  {QStringLiteral("-f"),
                   QStringLiteral("1"),
                   QStringLiteral("-l"),
                   QStringLiteral("9"),
                   pdf});
    ASSERT_TRUE(pdfinfo.waitForFinished(10000));
    const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +2\\n"))))
        << info.toStdString();
    const QString screenSize =
        QStringLiteral("%1 x %2 pts").arg(XvfbSession::screenWidth).arg(XvfbSession::screenHeight);
    EXPECT_EQ(info.count(screenSize), 2) << info.toStdString();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace

} // namespace zentrel
