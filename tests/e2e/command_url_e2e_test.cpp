#include "e2e/fixtures/desktop_test.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLocalSocket>
#include <QRect>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zentrel {

namespace {

// A second `zentrel URL` only hands its URL over, which takes well under a second.
constexpr int windowTimeoutMs = 10000;
constexpr int listenTimeoutMs = 10000;
const QString drawTitle = QStringLiteral("Draw");
const QString alertTitle = QStringLiteral("Zentrel");
const QString toggleDraw = QStringLiteral("zentrel://toggle/draw");
// How long a second start waits for the running program to take its URLs.
constexpr int handOverWaitMs = 10000;
constexpr int floodTimeoutMs = 20000;
// Twice the descriptors a desktop session usually allows a program.
constexpr int floodSize = 2000;
constexpr rlim_t usualDescriptorLimit = 1024;
constexpr int readableAlertWidth = 400;
constexpr int twoLineAlertHeight = 130;

// An alert is a dialog of a few lines, roughly in the middle of the screen; a window at the
// origin or one as large as the screen is something else.
testing::AssertionResult looksLikeAlert(const TopLevelWindow &window)
{
    const QRect &frame = window.frame;
    const QRect middleThird(XvfbSession::screenWidth / 3,
                            XvfbSession::screenHeight / 3,
                            XvfbSession::screenWidth / 3,
                            XvfbSession::screenHeight / 3);
    const bool dialogSized = frame.width() >= 150 && frame.width() <= 800 && frame.height() >= 50
                             && frame.height() <= 400;
    if (!window.isOverrideRedirect && dialogSized && middleThird.contains(frame.center())) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "not an alert: " << window.describe();
}

bool isSocketFile(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

// The zentrel processes that run in this test's home, whichever start made them.
int zentrelProcessesIn(const QString &runtimeFolder)
{
    const QString executable = QFileInfo(QStringLiteral(ZENTREL_EXECUTABLE)).canonicalFilePath();
    const QByteArray wanted = "XDG_RUNTIME_DIR=" + QFile::encodeName(runtimeFolder);
    int count = 0;
    const QDir processes(QStringLiteral("/proc"));
    for (const QString &pid : processes.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = processes.filePath(pid);
        if (QFileInfo(folder + QStringLiteral("/exe")).canonicalFilePath() != executable) {
            continue;
        }
        QFile environment(folder + QStringLiteral("/environ"));
        if (environment.open(QIODevice::ReadOnly)
            && environment.readAll().split('\0').contains(wanted)) {
            ++count;
        }
    }
    return count;
}

class CommandUrls : public DesktopTest
{
protected:
    void allowCommandUrls()
    {
        ASSERT_TRUE(m_zentrel.writeDefaults(
            QJsonObject{{QStringLiteral("controls.allowsExternalCommandURLs"), true}}));
    }

    void startZentrel()
    {
        ASSERT_TRUE(startAndWaitForDock().has_value())
            << "zentrel docked no tray icon; it " << stopAndDescribe();
        // The icon may dock before the program listens for URLs; a URL sent in between would
        // find nobody to take it.
        ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(listenTimeoutMs)))
            << "zentrel never listened for command URLs; it " << stopAndDescribe();
    }

    std::optional<TopLevelWindow> waitForShown(const QString &title)
    {
        return m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
    }

    bool waitUntilNotShown(const QString &title)
    {
        return m_windows.waitUntilNotShown(title, QDeadlineTimer(windowTimeoutMs));
    }

    // Return presses the alert's only button, as a person would.
    void dismissAlert(const TopLevelWindow &alert)
    {
        ASSERT_TRUE(m_input.focus(alert.id)) << m_input.lastError().toStdString();
        ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Return")}))
            << m_input.lastError().toStdString();
        EXPECT_TRUE(waitUntilNotShown(alertTitle)) << "Return left the alert open; " << situation();
    }
};

TEST_F(CommandUrls, RefusedWhileDisabledShowsAlertAndStartsNothing)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());

    EXPECT_TRUE(handOver(toggleDraw));
    const std::optional<TopLevelWindow> alert = waitForShown(alertTitle);
    keepScreenshot(alert ? grabOncePainted(alert->frame) : m_xvfb.grabScreen(),
                   QStringLiteral("command_url_refused.png"));
    ASSERT_TRUE(alert.has_value()) << "no alert about the refused URL; " << situation();
    EXPECT_TRUE(looksLikeAlert(*alert));
    // Its two sentences read on two lines of a dialog's width, not on five under the heading.
    EXPECT_GE(alert->frame.width(), readableAlertWidth) << alert->describe();
    EXPECT_LE(alert->frame.height(), twoLineAlertHeight) << alert->describe();
    // The refusal and anything started would come from the same URL, so by now both are shown.
    EXPECT_FALSE(m_windows.shown(drawTitle).has_value()) << "a refused URL started Draw";

    ASSERT_NO_FATAL_FAILURE(dismissAlert(*alert));
    EXPECT_FALSE(m_windows.shown(drawTitle).has_value()) << "a refused URL started Draw";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(CommandUrls, ToggleDrawCoversScreenAndStopClosesIt)
{
    ASSERT_NO_FATAL_FAILURE(allowCommandUrls());
    ASSERT_NO_FATAL_FAILURE(startZentrel());

    EXPECT_TRUE(handOver(toggleDraw));
    const std::optional<TopLevelWindow> draw = waitForShown(drawTitle);
    ASSERT_TRUE(draw.has_value()) << "toggle/draw showed no Draw window; " << situation();
    EXPECT_EQ(draw->frame, QRect(0, 0, XvfbSession::screenWidth, XvfbSession::screenHeight))
        << draw->describe();

    EXPECT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(waitUntilNotShown(drawTitle)) << "stop left Draw open; " << situation();
    EXPECT_TRUE(m_zentrel.isRunning()) << "stop ended the program, not the feature";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(CommandUrls, MalformedUrlShowsAlertAndProgramCarriesOn)
{
    ASSERT_NO_FATAL_FAILURE(allowCommandUrls());
    ASSERT_NO_FATAL_FAILURE(startZentrel());

    EXPECT_TRUE(handOver(QStringLiteral("zentrel://nonsense")));
    const std::optional<TopLevelWindow> alert = waitForShown(alertTitle);
    keepScreenshot(alert ? grabOncePainted(alert->frame) : m_xvfb.grabScreen(),
                   QStringLiteral("command_url_malformed.png"));
    ASSERT_TRUE(alert.has_value()) << "no alert about the malformed URL; " << situation();
    EXPECT_TRUE(looksLikeAlert(*alert));
    EXPECT_FALSE(m_windows.shown(drawTitle).has_value()) << "a malformed URL started Draw";

    // One bad URL must not leave the program deaf to the next good one.
    ASSERT_NO_FATAL_FAILURE(dismissAlert(*alert));
    EXPECT_TRUE(handOver(toggleDraw));
    EXPECT_TRUE(waitForShown(drawTitle).has_value())
        << "toggle/draw after the alert showed no Draw window; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(CommandUrls, EscapeOrASecondToggleClosesDrawStartedByUrl)
{
    ASSERT_NO_FATAL_FAILURE(allowCommandUrls());
    ASSERT_NO_FATAL_FAILURE(startZentrel());

    EXPECT_TRUE(handOver(toggleDraw));
    const std::optional<TopLevelWindow> draw = waitForShown(drawTitle);
    ASSERT_TRUE(draw.has_value()) << "toggle/draw showed no Draw window; " << situation();
    ASSERT_TRUE(m_input.focus(draw->id)) << m_input.lastError().toStdString();
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Escape")})) << m_input.lastError().toStdString();
    EXPECT_TRUE(waitUntilNotShown(drawTitle)) << "Escape left Draw open; " << situation();

    // Closed by Escape, Draw counts as stopped: the next toggle starts it again, the one after
    // stops it.
    EXPECT_TRUE(handOver(toggleDraw));
    ASSERT_TRUE(waitForShown(drawTitle).has_value())
        << "toggle/draw after Escape showed no Draw window; " << situation();
    EXPECT_TRUE(handOver(toggleDraw));
    EXPECT_TRUE(waitUntilNotShown(drawTitle))
        << "the second toggle left Draw open; " << situation();
    EXPECT_TRUE(m_zentrel.isRunning());
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(CommandUrls, AFloodOfIdleConnectionsLeavesTheOneInstanceReachable)
{
    ASSERT_NO_FATAL_FAILURE(allowCommandUrls());
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    const rlimit usual{usualDescriptorLimit, usualDescriptorLimit};
    ASSERT_EQ(::prlimit(pid_t(m_zentrel.processId()), RLIMIT_NOFILE, &usual, nullptr), 0)
        << std::strerror(errno);
    // This test holds the idle ends itself.
    rlimit own = {};
    ::getrlimit(RLIMIT_NOFILE, &own);
    own.rlim_cur = std::max<rlim_t>(own.rlim_cur, std::min<rlim_t>(own.rlim_max, 4 * floodSize));
    ::setrlimit(RLIMIT_NOFILE, &own);

    const QString socketPath = m_zentrel.runtimeFolder() + QStringLiteral("/zentrel-commands");
    // Connections that say nothing, as stuck or hostile clients hold them.
    std::vector<std::unique_ptr<QLocalSocket>> flood;
    const QDeadlineTimer floodDeadline(floodTimeoutMs);
    while (int(flood.size()) < floodSize) {
        flood.push_back(std::make_unique<QLocalSocket>());
        flood.back()->connectToServer(socketPath);
        ASSERT_TRUE(flood.back()->waitForConnected(int(floodDeadline.remainingTime())))
            << "connection " << flood.size() << ": " << flood.back()->errorString().toStdString();
    }
    EXPECT_TRUE(handOver(toggleDraw));
    EXPECT_TRUE(waitForShown(drawTitle).has_value())
        << "toggle/draw after the flood showed no Draw window; " << situation();
    EXPECT_TRUE(isSocketFile(socketPath)) << "the command socket is gone";
    EXPECT_EQ(zentrelProcessesIn(m_zentrel.runtimeFolder()), 1);
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// A script hears that the command failed, so it must not run when the program resumes: the
// script would retry it, and a toggle would then toggle twice.
TEST_F(CommandUrls, AStoppedInstanceIsReportedAndNoSecondOneStarts)
{
    ASSERT_NO_FATAL_FAILURE(allowCommandUrls());
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    const pid_t first = pid_t(m_zentrel.processId());
    ASSERT_EQ(::kill(first, SIGSTOP), 0);

    QElapsedTimer waited;
    waited.start();
    const ProcessExit second = m_zentrel.runAgain({toggleDraw}, QDeadlineTimer(2 * handOverWaitMs));
    const qint64 waitedMs = waited.elapsed();
    const int running = zentrelProcessesIn(m_zentrel.runtimeFolder());
    // Nor with its lock files gone: the stopped program cannot make them again, but it still
    // holds its data folder.
    EXPECT_TRUE(QFile::remove(m_zentrel.runtimeFolder() + QStringLiteral("/zentrel.lock")));
    EXPECT_TRUE(QFile::remove(m_zentrel.dataHome() + QStringLiteral("/Zentrel/zentrel.lock")));
    const ProcessExit third = m_zentrel.runAgain({toggleDraw}, QDeadlineTimer(2 * handOverWaitMs));
    const int runningWithoutLockFiles = zentrelProcessesIn(m_zentrel.runtimeFolder());
    ::kill(first, SIGCONT);

    EXPECT_EQ(running, 1) << "a second instance runs beside the stopped one";
    EXPECT_EQ(second.kind, ProcessExit::Kind::exited) << second.describe().toStdString();
    EXPECT_NE(second.exitCode, 0);
    EXPECT_TRUE(second.output.contains(QStringLiteral("Zentrel is not responding.")))
        << second.describe().toStdString();
    EXPECT_GE(waitedMs, handOverWaitMs - 1000) << "it gave up before the program had its time";
    EXPECT_EQ(runningWithoutLockFiles, 1) << "a second instance runs beside the stopped one";
    EXPECT_EQ(third.kind, ProcessExit::Kind::exited) << third.describe().toStdString();
    EXPECT_NE(third.exitCode, 0);
    EXPECT_TRUE(third.output.contains(
        QStringLiteral("Zentrel is already running for this user in another session.")))
        << third.describe().toStdString();

    // The resumed program reads the failed start's message and drops it.
    EXPECT_FALSE(m_windows.waitForShown(drawTitle, QDeadlineTimer(2000)).has_value())
        << "the command reported as failed ran after all; " << situation();
    EXPECT_TRUE(handOver(toggleDraw));
    EXPECT_TRUE(waitForShown(drawTitle).has_value())
        << "the resumed program takes no new command; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace

} // namespace zentrel
