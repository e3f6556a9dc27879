// What a presenter must be able to trust under every window manager: Escape on an open menu
// closes only the menu, and drawing that never pauses still reaches the library before a crash.
#include "e2e/fixtures/under_window_manager.h"

#include <QJsonArray>
#include <QThread>

#include <gtest/gtest.h>
#include <signal.h>

#include <set>
#include <vector>

namespace zentrel {
namespace {

const QString whiteboardTitle = QStringLiteral("Whiteboard");
const QString freezeTitle = QStringLiteral("Zevizu & Vozurir");
// Long enough for a run that Escape closes to be gone, and for a late echo of the key.
constexpr unsigned long closingTimeMs = 1000;
// Rectangles drawn one after the other, a hand's pace apart, far faster than the save's pause.
constexpr int unpausedDrawingMs = 3000;

class PresenterTrust : public UnderWindowManager
{
protected:
    // Opens the pop-up menu under `at` in `window` (and, with `submenuKeys`, the submenu those
    // keys reach), then presses Escape once per open menu, and expects the menus, and only the
    // menus, to close.
    void escapeFromMenu(const TopLevelWindow &window,
                        QPoint at,
                        const char *menu,
                        const QStringList &submenuKeys = {})
    {
        std::set<std::uint32_t> before = m_windows.shownIds();
        ASSERT_NO_FATAL_FAILURE(clickOn(window, at));
        std::vector<TopLevelWindow> popups;
        const auto popup = m_windows.waitForNewPopup(before, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(popup.has_value()) << menu << " did not open; " << situation();
        popups.push_back(*popup);
        if (!submenuKeys.isEmpty()) {
            before = m_windows.shownIds();
            ASSERT_TRUE(m_input.pressKeys(submenuKeys)) << m_input.lastError().toStdString();
            const auto submenu = m_windows.waitForNewPopup(before, QDeadlineTimer(windowTimeoutMs));
            ASSERT_TRUE(submenu.has_value()) << menu << " did not open; " << situation();
            popups.push_back(*submenu);
        }
        // The innermost menu first; the one below it stays open meanwhile.
        for (auto open = popups.rbegin(); open != popups.rend(); ++open) {
            ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
            EXPECT_TRUE(m_windows.waitUntilNotShown(open->id, QDeadlineTimer(windowTimeoutMs)))
                << "Escape left " << menu << " open; " << situation();
        }
        QThread::msleep(closingTimeMs);
        const auto run = m_windows.window(m_main.id);
        ASSERT_TRUE(run && run->isShown) << "Escape on " << menu << " closed the run";
    }

    // The "…" button sits just left of the close button at the toolbar's right end.
    QPoint toolbarMenuButton() const
    {
        return {m_toolbar.frame.right() - 61, m_toolbar.frame.center().y()};
    }

    // "More properties", the last row of the property panel.
    static QPoint moreProperties(const TopLevelWindow &panel)
    {
        return {panel.frame.left() + panel.frame.width() / 2, panel.frame.bottom() - 30};
    }

    // "More properties" and its first submenu, "Stroke style".
    void escapeFromThePropertyMenus()
    {
        const auto properties = propertyPanel();
        ASSERT_TRUE(properties.has_value()) << "no property panel; " << situation();
        ASSERT_NO_FATAL_FAILURE(
            escapeFromMenu(*properties, moreProperties(*properties), "\"More properties\""));
        ASSERT_NO_FATAL_FAILURE(escapeFromMenu(*properties,
                                               moreProperties(*properties),
                                               "\"Stroke style\"",
                                               {QStringLiteral("Down"), QStringLiteral("Right")}));
    }

    void escapeClosesTheRun()
    {
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
        EXPECT_TRUE(m_windows.waitUntilNotShown(m_main.id, QDeadlineTimer(windowTimeoutMs)))
            << "with no menu open Escape did not close the run; " << situation();
    }
};

TEST_P(PresenterTrust, EscapeOnAWhiteboardMenuClosesOnlyTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(
        drawWithToolbarRectangle(QStringLiteral("zentrel://toggle/whiteboard"), whiteboardTitle));
    ASSERT_EQ(waitForElements(1).size(), 1) << "the drag saved no rectangle; " << situation();
    ASSERT_NO_FATAL_FAILURE(escapeFromMenu(m_toolbar, toolbarMenuButton(), "the \"…\" menu"));
    ASSERT_NO_FATAL_FAILURE(escapeFromMenu(m_toolbar,
                                           toolbarMenuButton(),
                                           "\"Boards\"",
                                           {QStringLiteral("Down"), QStringLiteral("Right")}));
    ASSERT_NO_FATAL_FAILURE(escapeFromThePropertyMenus());
    ASSERT_NO_FATAL_FAILURE(escapeClosesTheRun());
    EXPECT_EQ(waitForElements(1).size(), 1);
}

// Closing Zevizu & Vozurir throws its annotations away for good.
TEST_P(PresenterTrust, EscapeOnAFreezeMenuKeepsTheRunAndItsAnnotations)
{
    ASSERT_NO_FATAL_FAILURE(
        drawWithToolbarRectangle(QStringLiteral("zentrel://toggle/freeze"), freezeTitle));
    ASSERT_TRUE(showsTopEdge(
        screenWithEdge(shapeDrag, green, QStringLiteral("freeze_menus")), shapeDrag, green));
    // Its toolbar has no "…" menu: the property panel's are all.
    ASSERT_NO_FATAL_FAILURE(escapeFromThePropertyMenus());
    EXPECT_TRUE(showsTopEdge(m_xvfb.grabScreen(), shapeDrag, green))
        << "the rectangle is gone after Escape on a menu; " << situation();
    ASSERT_NO_FATAL_FAILURE(escapeClosesTheRun());
}

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
