// The small window Zentrel shows where the desktop has no tray: where it opens beside our own
// windows, the alerts it must not draw to its corner, and its size on a monitor of another scale.
#include "e2e/fixtures/screen_pixels.h"
#include "e2e/fixtures/two_monitor_desk.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

const QString welcomeTitle = QStringLiteral("Welcome to Zentrel");
const QString launcherTitle = QStringLiteral("Zentrel");
// How far a window manager's title bar and borders reach out of a window.
constexpr int titleBarReach = 40;
constexpr int borderReach = 8;
// Within a title bar's height of where it was asked to go, whatever the window manager adds.
constexpr int placementSlack = 40;
// Where a launcher keeps from the screen's edges, give or take rounding.
constexpr int cornerMargin = 16;
constexpr int cornerSlack = 2;
// Long past a held key's first repeat, which would answer an alert at once.
constexpr unsigned long repeatTimeMs = 1500;
// The launcher follows the tray within a few seconds.
constexpr int trayFollowMs = 5000;
constexpr int secondStartTimeoutMs = 3000;
// Ctrl+Shift, not the usual Ctrl+Alt, which xfwm4 keeps for itself. Modifier bits as the
// settings store them: Control 262144 plus Shift 131072.
constexpr int ctrlShiftLeader = 262144 | 131072;
const QString terminalTitle = QStringLiteral("Typed Into");
// Away from the launcher's corner, clear of the terminal and of Draw's toolbar.
const QPoint movedLauncherPlace(700, 160);
// A person's next key comes far later than a window manager hands the keyboard on.
constexpr unsigned long personsPauseMs = 300;

QRect decorated(const QRect &frame)
{
    return frame.adjusted(-borderReach, -titleBarReach, borderReach, borderReach);
}

testing::AssertionResult isInTheMiddleOf(const TopLevelWindow &window, const QRect &screen)
{
    const QPoint offset = window.frame.center() - screen.center();
    if (std::abs(offset.x()) <= placementSlack && std::abs(offset.y()) <= placementSlack) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "not in the middle: " << window.describe();
}

// A desktop with no tray host, as GNOME without a tray extension, under each window manager.
class WithoutTray : public UnderWindowManager
{
protected:
    WithoutTray() { m_hasTray = false; }

    // The launcher once in its corner, frame and all a launcher's margin from the screen's
    // edges: the program moves it there once the window manager has framed it, and again if the
    // window manager still moves it then.
    testing::AssertionResult settleLauncher(TopLevelWindow &launcher)
    {
        return settle(launcher, [this](const TopLevelWindow &window) {
            const QRect framed = m_windows.framed(window);
            const QPoint corner(XvfbSession::screenWidth - cornerMargin,
                                XvfbSession::screenHeight - cornerMargin);
            return (framed.bottomRight() + QPoint(1, 1) - corner).manhattanLength() <= cornerSlack;
        });
    }

    // A new alert for a command URL that does not parse, on top where the window manager put it.
    std::optional<TopLevelWindow> alertFor(const QString &url)
    {
        const std::set<std::uint32_t> before = m_windows.shownIds();
        EXPECT_TRUE(handOver(url));
        std::optional<TopLevelWindow> alert = waitForNew(before, launcherTitle);
        if (!alert) {
            ADD_FAILURE() << "no alert for " << url.toStdString() << "; " << situation();
        } else if (!settle(*alert)) {
            ADD_FAILURE() << "the alert is not on top; " << situation();
        }
        return alert;
    }

    ChildProcess m_terminal;
};

TEST_P(WithoutTray, LauncherKeepsClearOfOurWindowsAndEveryAlertShows)
{
    const QRect screen(0, 0, XvfbSession::screenWidth, XvfbSession::screenHeight);
    m_zentrel.startAsFirstStart();
    ASSERT_TRUE(m_zentrel.writeDefaults(
        QJsonObject{{QStringLiteral("controls.allowsExternalCommandURLs"), true}}));
    ASSERT_TRUE(m_input.moveTo(screen.center())) << m_input.lastError().toStdString();
    ASSERT_TRUE(m_zentrel.start(m_xvfb.display()));
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
        << "zentrel never listened for command URLs; it " << stopAndDescribe();
    auto welcome = m_windows.waitForShown(welcomeTitle, QDeadlineTimer(windowTimeoutMs));
    auto launcher = m_windows.waitForShown(launcherTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(welcome && launcher) << "no welcome window or launcher; " << situation();
    ASSERT_TRUE(settle(*welcome));
    ASSERT_TRUE(settleLauncher(*launcher));
    keepScreenshot(m_xvfb.grabScreen(), QStringLiteral("launcher_%1.png").arg(nameOf(GetParam())));
    EXPECT_FALSE(decorated(launcher->frame).intersects(decorated(welcome->frame)))
        << launcher->describe() << " lies over " << welcome->describe();
    // A launcher's place: the bottom-right corner, whole on the screen.
    EXPECT_TRUE(screen.contains(launcher->frame)) << launcher->describe();
    EXPECT_GT(launcher->frame.left(), screen.center().x()) << launcher->describe();
    EXPECT_GT(launcher->frame.top(), screen.center().y()) << launcher->describe();
    ASSERT_TRUE(m_windows.close(welcome->id, QDeadlineTimer(windowTimeoutMs)));

    ASSERT_TRUE(m_input.moveTo(screen.center())) << m_input.lastError().toStdString();
    const auto first = alertFor(QStringLiteral("zentrel://nonsense"));
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(isInTheMiddleOf(*first, screen));
    EXPECT_FALSE(decorated(first->frame).intersects(decorated(launcher->frame)))
        << first->describe() << " lies over " << launcher->describe();
    // Sent to the alert's window, as a script does: the key's release must still find it.
    ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("key"),
                                     QStringLiteral("--window"),
                                     QString::number(first->id),
                                     QStringLiteral("Return")}));
    ASSERT_TRUE(m_windows.waitUntilNotShown(first->id, QDeadlineTimer(windowTimeoutMs)))
        << "Return left the alert open; " << situation();

    const auto second = alertFor(QStringLiteral("zentrel://still-nonsense"));
    ASSERT_TRUE(second.has_value());
    EXPECT_TRUE(isInTheMiddleOf(*second, screen));
    QThread::msleep(repeatTimeMs);
    const auto still = m_windows.window(second->id);
    EXPECT_TRUE(still && still->isShown) << "the second alert closed unanswered; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// Closed through the window manager, as with Alt+F4, the launcher only hides: a start of
// `zentrel` brings it back. A run covers its corner, and a tray that comes and goes takes the
// icon and gives the launcher back, as often as it does.
TEST_P(WithoutTray, LauncherComesBackStandsBackDuringARunAndFollowsTheTray)
{
    ASSERT_TRUE(m_zentrel.writeDefaults(
        QJsonObject{{QStringLiteral("controls.allowsExternalCommandURLs"), true}}));
    ASSERT_TRUE(m_zentrel.start(m_xvfb.display()));
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
        << "zentrel never listened for command URLs; it " << stopAndDescribe();
    auto launcher = m_windows.waitForShown(launcherTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(launcher && settleLauncher(*launcher)) << "no launcher; " << situation();
    const TopLevelWindow atFirst = *launcher;

    // Shown again, it may be a new window: Qt gives up a closed window's own.
    ASSERT_TRUE(m_windows.close(launcher->id, QDeadlineTimer(windowTimeoutMs)))
        << "the launcher did not close; " << situation();
    std::set<std::uint32_t> before = m_windows.shownIds();
    EXPECT_TRUE(exitedCleanly(m_zentrel.runAgain({}, QDeadlineTimer(secondStartTimeoutMs))));
    launcher = waitForNew(before, launcherTitle);
    ASSERT_TRUE(launcher && settle(*launcher))
        << "`zentrel` did not bring the launcher back; " << situation();
    EXPECT_TRUE(m_zentrel.isRunning());
    // Where the first start put it, frame and all on the screen, once the frame is around it.
    const auto whereItWas = [&](const TopLevelWindow &window) {
        return window.id == launcher->id && window.frame == atFirst.frame;
    };
    const std::optional<TopLevelWindow> back = waitForWindow(whereItWas);
    EXPECT_TRUE(back.has_value()) << atFirst.describe() << " came back as "
                                  << m_windows.window(launcher->id).value_or(*launcher).describe();
    EXPECT_TRUE(QRect(0, 0, XvfbSession::screenWidth, XvfbSession::screenHeight)
                    .contains(m_windows.framed(back.value_or(*launcher))))
        << "part of the launcher's frame is off the screen; " << situation();

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://activate/draw")));
    auto draw = m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(draw && settle(*draw)) << "Draw did not open; " << situation();
    EXPECT_TRUE(m_windows.waitUntilNotShown(launcher->id, QDeadlineTimer(windowTimeoutMs)))
        << "the launcher stayed over the run; " << situation();
    const QImage duringRun = m_xvfb.grabScreen();
    keepScreenshot(duringRun, QStringLiteral("launcher_under_draw_%1.png").arg(nameOf(GetParam())));
    // Draw's canvas shows the desktop there as it does beside the launcher's corner (mutter's
    // wallpaper shades slowly).
    const QRect corner = decorated(launcher->frame).intersected(duringRun.rect());
    const QColor beside = duringRun.pixelColor(corner.left() - borderReach, corner.center().y());
    EXPECT_TRUE(showsOnly(duringRun, corner, beside, colorTolerance))
        << "the launcher shows over Draw's canvas; " << situation();
    // Draw's toolbar, which bears the launcher's title, was shown before.
    before = m_windows.shownIds();
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    launcher = waitForNew(before, launcherTitle);
    ASSERT_TRUE(launcher.has_value()) << "the launcher stayed away after the run; " << situation();

    for (int arrival = 0; arrival < 2; ++arrival) {
        m_host = std::make_unique<TrayHostProcess>(m_xvfb.display());
        ASSERT_TRUE(m_host->isReady()) << m_host->output().toStdString();
        EXPECT_TRUE(m_host->waitForDock(QDeadlineTimer(trayFollowMs)).has_value())
            << "no icon docked in the tray that came; " << situation();
        EXPECT_TRUE(m_windows.waitUntilNotShown(launcher->id, QDeadlineTimer(trayFollowMs)))
            << "the launcher stayed beside the tray; " << situation();
        before = m_windows.shownIds();
        m_host.reset();
        launcher = waitForNew(before, launcherTitle, trayFollowMs);
        ASSERT_TRUE(launcher.has_value()) << "no launcher once the tray went; " << situation();
    }
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// A presenter types into another program between runs that hot keys open and Escape closes: each
// key reaches that program, and the launcher comes back where the user put it, never taking the
// keyboard or rising over that program. The pointer rests on the launcher, so no key finds the
// terminal by the pointer.
TEST_P(WithoutTray, LauncherComesBackWhereItWasAndLeavesTheKeyboardToTheProgramInUse)
{
    // Save canvas would take Ctrl+Shift+S too.
    ASSERT_TRUE(m_zentrel.writeDefaults(
        QJsonObject{{QStringLiteral("controls.leaderKey"), ctrlShiftLeader},
                    {QStringLiteral("Hotkeys_saveCurrentCanvasAction"), false}}));
    ASSERT_TRUE(m_zentrel.start(m_xvfb.display()));
    auto launcher = m_windows.waitForShown(launcherTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(launcher && settleLauncher(*launcher)) << "no launcher; " << situation();
    ASSERT_NO_FATAL_FAILURE(moveWindow(*launcher, movedLauncherPlace));
    const QTemporaryDir folder;
    const QString typedPath = folder.filePath(QStringLiteral("typed"));
    const auto terminal = showTerminalTypingInto(m_terminal, terminalTitle, typedPath);
    ASSERT_TRUE(terminal.has_value());
    ASSERT_TRUE(settle(*launcher));
    ASSERT_TRUE(liesAbove(*terminal, *launcher));

    QString typed;
    const auto type = [&](const QString &line) {
        typed += line + QLatin1Char('\n');
        return m_input.typeText(line + QLatin1Char('\n'));
    };
    ASSERT_TRUE(type(QStringLiteral("first"))) << m_input.lastError().toStdString();
    // The spotlight takes no keyboard: Escape reaches it wherever the keyboard is.
    const std::pair<QString, QString> spotlight{QStringLiteral("ctrl+shift+s"),
                                                QStringLiteral("Spotlight")};
    for (const auto &[key, title] :
         {std::pair{QStringLiteral("ctrl+shift+d"), drawTitle},
          spotlight,
          std::pair{QStringLiteral("ctrl+shift+w"), QStringLiteral("Whiteboard")}}) {
        ASSERT_NO_FATAL_FAILURE(press(key));
        const auto run = m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(run.has_value()) << key.toStdString() << " opened nothing; " << situation();
        ASSERT_TRUE(m_windows.waitUntilNotShown(launcher->id, QDeadlineTimer(windowTimeoutMs)))
            << "the launcher stayed over " << title.toStdString() << "; " << situation();
        ASSERT_TRUE(title == spotlight.second
                    || m_windows.waitForKeyboard(run->id, QDeadlineTimer(windowTimeoutMs)))
            << title.toStdString() << " never took the keyboard; " << situation();
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
        ASSERT_TRUE(m_windows.waitUntilNotShown(run->id, QDeadlineTimer(windowTimeoutMs)))
            << "Escape left " << title.toStdString() << " open; " << situation();
        const auto back =
            waitForWindow([&](const TopLevelWindow &window) { return window.id == launcher->id; });
        ASSERT_TRUE(back.has_value())
            << "no launcher after " << title.toStdString() << "; " << situation();
        // On a busy machine a window manager takes a while to hand the keyboard back; a
        // launcher that took it as it mapped would have it by the end of the pause.
        EXPECT_TRUE(m_windows.waitForKeyboard(terminal->id, QDeadlineTimer(windowTimeoutMs)))
            << "the keyboard never came back after " << title.toStdString() << "; " << situation();
        QThread::msleep(personsPauseMs);
        const TopLevelWindow now = m_windows.window(launcher->id).value_or(*back);
        EXPECT_EQ(now.frame, launcher->frame)
            << title.toStdString() << " moved " << launcher->describe() << " to " << now.describe();
        EXPECT_TRUE(liesAbove(*terminal, now)) << "after " << title.toStdString();
        ASSERT_TRUE(type(title.toLower())) << m_input.lastError().toStdString();
    }
    // Every Escape closed a run of ours and none reached the terminal, the spotlight's included.
    const QString arrived = waitForTyped(typedPath, typed);
    EXPECT_EQ(arrived.toStdString(), typed.toStdString())
        << "keys typed into the terminal went elsewhere; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// KWin without compositing too: there a run's full-screen canvas did not cover the launcher.
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         WithoutTray,
                         testing::ValuesIn([] {
                             std::vector<WindowManager> managers = everyWindowManager();
                             managers.push_back(WindowManager::kwinWithoutCompositing);
                             return managers;
                         }()),
                         testNameOf);

// The presenter's desk with no tray host and the projector at twice the scale, where the
// pointer rests as Zentrel starts.
class ProjectorAtDoubleScaleWithoutTray : public TwoMonitorDesk
{
protected:
    ProjectorAtDoubleScaleWithoutTray()
        : TwoMonitorDesk(fullHdProjector, 2, false)
    {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(TwoMonitorDesk::SetUp());
        m_host.reset();
    }

    // The launcher of a Zentrel started with the pointer on the monitor, settled on top.
    std::optional<TopLevelWindow> launcherOn(const QRect &monitor)
    {
        EXPECT_TRUE(m_input.moveTo(restingPlace(monitor))) << m_input.lastError().toStdString();
        EXPECT_TRUE(m_zentrel.start(m_xvfb.display()));
        auto launcher = m_windows.waitForShown(launcherTitle, QDeadlineTimer(windowTimeoutMs));
        if (!launcher || !settle(*launcher)) {
            ADD_FAILURE() << "no launcher on " << nameOf(monitor) << "; " << situation();
            return std::nullopt;
        }
        return launcher;
    }
};

TEST_P(ProjectorAtDoubleScaleWithoutTray, LauncherIsWholeOpensItsMenuAtTwiceTheScaleAndStaysThere)
{
    const auto onMain = launcherOn(mainMonitor);
    ASSERT_TRUE(onMain.has_value());
    // Dragged onto the projector, it takes its size at twice the scale there, whole.
    TopLevelWindow dragged = *onMain;
    ASSERT_NO_FATAL_FAILURE(moveWindow(dragged, restingPlace(fullHdProjector)));
    const auto fitted = waitForWindow([&](const TopLevelWindow &window) {
        return window.id == onMain->id && window.frame.width() >= 2 * onMain->frame.width()
               && isWholeOn(window, fullHdProjector);
    });
    EXPECT_TRUE(fitted.has_value())
        << onMain->describe() << " dragged onto the projector stayed "
        << m_windows.window(onMain->id).value_or(dragged).describe() << "; " << situation();
    ASSERT_TRUE(exitedCleanly(m_zentrel.stop()));

    auto launcher = launcherOn(fullHdProjector);
    ASSERT_TRUE(launcher.has_value());
    keepScreenshot(m_xvfb.grabScreen(), artifact("launcher", fullHdProjector));
    EXPECT_TRUE(isWholeOn(*launcher, fullHdProjector));
    EXPECT_GE(launcher->frame.width(), 2 * onMain->frame.width()) << launcher->describe();
    EXPECT_GE(launcher->frame.height(), 2 * onMain->frame.height()) << launcher->describe();
    EXPECT_TRUE(isPainted(grabOncePainted(launcher->frame), launcher->frame))
        << "the launcher's button was never drawn";

    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_NO_FATAL_FAILURE(clickOn(*launcher, launcher->frame.center()));
    const auto menu = m_windows.waitForNewPopup(before, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(menu.has_value()) << "a click on the launcher opened no menu; " << situation();
    EXPECT_TRUE(isPainted(grabOncePainted(menu->frame), menu->frame));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));

    // A run on the other monitor leaves it where it was.
    const QString draw = QStringLiteral("zentrel://toggle/draw");
    ASSERT_NO_FATAL_FAILURE(openOn(mainMonitor, draw, drawTitle, Shows::overlayAndToolbar));
    ASSERT_NO_FATAL_FAILURE(closeRun(draw));
    auto back =
        waitForWindow([&](const TopLevelWindow &window) { return window.id == launcher->id; });
    ASSERT_TRUE(back && settle(*back)) << "no launcher after the run; " << situation();
    EXPECT_EQ(back->frame, launcher->frame) << "a run on the other monitor moved "
                                            << launcher->describe() << " to " << back->describe();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         ProjectorAtDoubleScaleWithoutTray,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
