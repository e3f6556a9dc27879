// What a presenter must be able to trust under every window manager: Escape on an open menu
// closes only the menu, an alert is read before the canvas takes the keys, and drawing that
// never pauses still reaches the library before a crash.
#include "e2e/fixtures/under_window_manager.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

const QString whiteboardTitle = QStringLiteral("Whiteboard");
const QString freezeTitle = QStringLiteral("Zevizu & Vozurir");
const QColor drawBlue(0x00, 0x7a, 0xff);
// From the Draw toolbar's top-left corner.
const QPoint drawBlueSwatch(491, 27);
// Where drags draw shapes while an alert is up: below it, clear of every toolbar and panel.
const QRect belowAlertDrag(QPoint(420, 540), QPoint(720, 700));
const QRect secondBelowAlertDrag(QPoint(780, 540), QPoint(1000, 700));
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

    // An older single-document whiteboard with an annotation type no version knows: the
    // program can neither migrate it nor replace it.
    void writeUnreadableLibrary()
    {
        const QString folder = m_zentrel.dataHome() + QStringLiteral("/Zentrel");
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/Whiteboard.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray document = R"({"version": 1, "background": "white",
            "annotations": [{"type": "hologram"}], "showsGrid": true})";
        ASSERT_EQ(file.write(document), document.size());
    }

    // Draw's rectangle key, then a drag over `area`: the rectangle shows once the keys reach
    // the canvas. The window manager hands them over in its own time, late on a busy machine.
    testing::AssertionResult drawsRectangle(const QRect &area, const QString &name)
    {
        if (!m_windows.waitForKeyboard(m_main.id, QDeadlineTimer(windowTimeoutMs))) {
            return testing::AssertionFailure() << "the canvas never got the keys; " << situation();
        }
        press(QStringLiteral("3"));
        dragOver(area);
        if (HasFatalFailure()) {
            return testing::AssertionFailure() << "the key or the drag failed";
        }
        const testing::AssertionResult shown =
            showsTopEdge(screenWithEdge(area, drawBlue, name), area, drawBlue);
        return shown ? shown
                     : testing::AssertionFailure() << shown.message() << "; " << situation();
    }

    // The alert once it is above the run: the program may open it afresh over a run that opens.
    void settleAlert(TopLevelWindow &alert,
                     const std::function<bool(const TopLevelWindow &)> &isTheAlert = isAlert)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto shown = waitForWindow(isTheAlert);
            ASSERT_TRUE(shown.has_value()) << "no alert; " << situation();
            alert = *shown;
            if (settle(alert)) {
                return;
            }
        }
        ADD_FAILURE() << "the alert is not above the run; " << situation();
    }

    // A dialog-sized window in the middle of the screen: not the toolbar at its top.
    static bool isAlert(const TopLevelWindow &window)
    {
        return window.name == toolbarTitle && !window.isOverrideRedirect
               && window.frame.width() < XvfbSession::screenWidth / 2 && window.frame.top() > 100;
    }

    std::optional<TopLevelWindow> waitForAlert() { return waitForWindow(isAlert); }

    // The run's toolbar: the alert, titled as the toolbar is, opens afresh over the new run too.
    std::optional<TopLevelWindow> waitForNewToolbar(const std::set<std::uint32_t> &before)
    {
        return waitForWindow([&before](const TopLevelWindow &window) {
            return window.name == toolbarTitle && !before.contains(window.id) && !isAlert(window);
        });
    }

    // Waits for the alert about the library, opened afresh over the run, and expects it above
    // every window of the run, with the keyboard: an alert left from before gives way to it.
    void expectAlertOnTopWithTheKeys(TopLevelWindow &alert)
    {
        const auto overTheRun = [this](const TopLevelWindow &window) {
            return isAlert(window) && m_windows.transientFor(window.id) == m_main.id;
        };
        ASSERT_NO_FATAL_FAILURE(settleAlert(alert, overTheRun));
        const QImage screen = grabOncePainted(alert.frame);
        keepScreenshot(screen, QStringLiteral("unreadable_library_%1.png").arg(nameOf(GetParam())));
        EXPECT_TRUE(isPainted(screen, alert.frame)) << "the alert was never painted";
        ASSERT_TRUE(m_windows.waitForKeyboard(alert.id, QDeadlineTimer(windowTimeoutMs)))
            << "the canvas took the keys before the alert was read; " << situation();
    }

    void openWhiteboardUnderItsAlert()
    {
        // Not openFeature: the alert, titled as the toolbar is, may come up before it and covers
        // the canvas's middle.
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/whiteboard")));
        const auto main = m_windows.waitForShown(whiteboardTitle, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(main.has_value()) << "no whiteboard; " << situation();
        m_main = *main;
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

// A library the program cannot read is kept as it is, and nothing drawn in that run is saved:
// the presenter must read why before drawing, in every run.
TEST_P(PresenterTrust, AnUnreadableLibraryIsToldAboveTheCanvasBeforeItTakesTheKeys)
{
    ASSERT_NO_FATAL_FAILURE(writeUnreadableLibrary());
    ASSERT_TRUE(startAndWaitForDock().has_value())
        << "zentrel docked no tray icon; it " << stopAndDescribe();
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    ASSERT_NO_FATAL_FAILURE(openWhiteboardUnderItsAlert());
    TopLevelWindow alert;
    ASSERT_NO_FATAL_FAILURE(expectAlertOnTopWithTheKeys(alert));

    // A click in the canvas gives the run its keys; the alert stays above, unanswered, also
    // once the run is closed and the next one opens.
    ASSERT_NO_FATAL_FAILURE(clickOn(m_main, quietCorner.center()));
    ASSERT_TRUE(m_windows.waitForKeyboard(m_main.id, QDeadlineTimer(windowTimeoutMs)))
        << "a click did not give the canvas the keys; " << situation();
    EXPECT_TRUE(settle(alert)) << "a click in the canvas covered the alert";
    ASSERT_NO_FATAL_FAILURE(escapeClosesTheRun());
    ASSERT_NO_FATAL_FAILURE(openWhiteboardUnderItsAlert());
    ASSERT_NO_FATAL_FAILURE(expectAlertOnTopWithTheKeys(alert));

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Return")));
    ASSERT_TRUE(m_windows.waitUntilNotShown(alert.id, QDeadlineTimer(windowTimeoutMs)))
        << "Return did not answer the alert; " << situation();
    ASSERT_TRUE(m_windows.waitForKeyboard(m_main.id, QDeadlineTimer(windowTimeoutMs)))
        << "the keyboard did not come back to the canvas; " << situation();
    ASSERT_NO_FATAL_FAILURE(escapeClosesTheRun());
}

// The alert at start about a combination another program holds stays above a Draw run until it
// is answered, yet a click in the run's toolbar or canvas gives the run its keys.
TEST_P(PresenterTrust, AStartAlertStaysAboveDrawAndAClickGivesTheRunItsKeys)
{
    ChildProcess holder;
    ASSERT_NO_FATAL_FAILURE(holdElsewhere(holder, QStringLiteral("z")));
    ASSERT_TRUE(m_zentrel.writeDefaults(
        QJsonObject{{QStringLiteral("controls.allowsExternalCommandURLs"), true},
                    {QStringLiteral("drawing.highContrast"), false},
                    {QStringLiteral("drawing.highContrastOutline"), false},
                    {QStringLiteral("hotkeys.toldHeldElsewhere"), QJsonArray{}}}));
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    const auto alert = waitForAlert();
    ASSERT_TRUE(alert.has_value()) << "no alert of the held Ctrl+Alt+Z; " << situation();
    // Not openFeature: the alert covers the middle of the run.
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/draw")));
    const auto main = m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(main.has_value()) << "no Draw; " << situation();
    m_main = *main;
    const auto toolbar = waitForNewToolbar(before);
    ASSERT_TRUE(toolbar.has_value()) << "no Draw toolbar; " << situation();
    m_toolbar = *toolbar;
    ASSERT_TRUE(settle(m_toolbar));
    TopLevelWindow shown;
    ASSERT_NO_FATAL_FAILURE(settleAlert(shown));
    // Opened afresh over the run, it takes the keyboard once shown, late on a busy machine: a
    // click before then would see the keys taken back from the run.
    ASSERT_TRUE(m_windows.waitForKeyboard(shown.id, QDeadlineTimer(windowTimeoutMs)))
        << "the alert never took the keyboard over the run; " << situation();

    ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, m_toolbar.frame.topLeft() + drawBlueSwatch));
    EXPECT_TRUE(drawsRectangle(belowAlertDrag, QStringLiteral("alert_toolbar")))
        << "after a click in the toolbar the keys did not reach the canvas";

    ASSERT_NO_FATAL_FAILURE(clickOn(shown, shown.frame.center()));
    ASSERT_TRUE(m_windows.waitForKeyboard(shown.id, QDeadlineTimer(windowTimeoutMs)));
    ASSERT_NO_FATAL_FAILURE(clickOn(m_main, secondBelowAlertDrag.center()));
    EXPECT_TRUE(drawsRectangle(secondBelowAlertDrag, QStringLiteral("alert_canvas")))
        << "after a click in the canvas the keys did not reach it";
    EXPECT_TRUE(settle(shown)) << "the alert went below the run or away before it was answered";
}

// The program writes nothing on standard error but the hot-key error line; no run may add Qt's
// complaints about windows it asked to activate.
TEST_P(PresenterTrust, RunsOfEveryFeatureLeaveStandardErrorQuiet)
{
    ASSERT_TRUE(startAndWaitForDock().has_value())
        << "zentrel docked no tray icon; it " << stopAndDescribe();
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    const std::pair<const char *, const char *> features[] = {{"draw", "Draw"},
                                                              {"halo", "Cursor Halo"},
                                                              {"spotlight", "Spotlight"},
                                                              {"whiteboard", "Whiteboard"},
                                                              {"zoom", "Zoom Loupe"}};
    for (const auto &[name, title] : features) {
        const QString url = QStringLiteral("zentrel://toggle/%1").arg(QLatin1String(name));
        ASSERT_TRUE(handOver(url));
        ASSERT_TRUE(m_windows.waitForShown(QLatin1String(title), QDeadlineTimer(windowTimeoutMs)))
            << url.toStdString() << " showed nothing; " << situation();
        ASSERT_TRUE(handOver(url));
        ASSERT_TRUE(
            m_windows.waitUntilNotShown(QLatin1String(title), QDeadlineTimer(windowTimeoutMs)))
            << url.toStdString() << " again left it open; " << situation();
    }
    EXPECT_FALSE(m_zentrel.output().contains(QStringLiteral("requestActivate")))
        << m_zentrel.output().toStdString();
}

// Centred within a title bar's height, whatever the window manager adds around it.
testing::AssertionResult isInTheMiddleOfTheScreen(const TopLevelWindow &window)
{
    const QPoint offset =
        window.frame.center() - QPoint(XvfbSession::screenWidth / 2, XvfbSession::screenHeight / 2);
    if (std::abs(offset.x()) <= 40 && std::abs(offset.y()) <= 40) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "not in the middle: " << window.describe();
}

// Left to the window manager, they opened in a corner (openbox, mutter), over the presenter's own
// windows.
TEST_P(PresenterTrust, TheWelcomeAndSessionsWindowsOpenInTheMiddleOfTheScreen)
{
    m_zentrel.startAsFirstStart();
    ASSERT_TRUE(m_zentrel.writeDefaults({}));
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    auto welcome = m_windows.waitForShown(QStringLiteral("Welcome to Zentrel"),
                                          QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(welcome.has_value()) << "no welcome window; " << situation();
    ASSERT_TRUE(settle(*welcome));
    EXPECT_TRUE(isInTheMiddleOfTheScreen(*welcome));
    ASSERT_TRUE(m_windows.close(welcome->id, QDeadlineTimer(windowTimeoutMs)));

    ASSERT_TRUE(openTrayMenu(m_icon, QStringLiteral("sessions_menu_%1.png").arg(nameOf(GetParam())))
                    .has_value());
    // Up wraps to "Quit Zentrel"; three more pass the settings and the update check.
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Up"),
                                   QStringLiteral("Up"),
                                   QStringLiteral("Up"),
                                   QStringLiteral("Up"),
                                   QStringLiteral("Return")}));
    auto sessions =
        m_windows.waitForShown(QStringLiteral("Sessions"), QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(sessions.has_value()) << "no Sessions window; " << situation();
    ASSERT_TRUE(settle(*sessions));
    EXPECT_TRUE(isInTheMiddleOfTheScreen(*sessions));
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
