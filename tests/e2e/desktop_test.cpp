#include "e2e/desktop_test.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace zentrel {

namespace {

constexpr int dockTimeoutMs = 15000;
constexpr qint64 dockPollMs = 200;
constexpr int paintTimeoutMs = 5000;
constexpr int menuTimeoutMs = 10000;
// A second `zentrel URL` only hands its URL over, which takes well under a second.
constexpr int handOverTimeoutMs = 3000;
constexpr int holderTimeoutMs = 10000;
const QString settingsWindowTitle = QStringLiteral("Zentrel Settings");

} // namespace

testing::AssertionResult exitedCleanly(const ProcessExit &exit)
{
    if (exit.kind == ProcessExit::Kind::exited && exit.exitCode == 0) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "zentrel " << exit.describe().toStdString();
}

void keepScreenshot(const QImage &screen, const QString &name)
{
    const QString folder = qEnvironmentVariable("ZENTREL_E2E_ARTIFACT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder)) {
        screen.save(folder + QLatin1Char('/') + name);
    }
}

bool isPainted(const QImage &screen, const QRect &area)
{
    if (screen.isNull() || !screen.rect().contains(area)) {
        return false;
    }
    const QColor first = screen.pixelColor(area.topLeft());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (screen.pixelColor(x, y) != first) {
                return true;
            }
        }
    }
    return false;
}

DesktopTest::DesktopTest(QSize screen)
    : m_xvfb(screen)
    , m_windows(m_xvfb.display())
    , m_input(m_xvfb.display())
{}

void DesktopTest::SetUp()
{
    ASSERT_TRUE(m_xvfb.isRunning()) << "Xvfb did not start:\n" << m_xvfb.output().toStdString();
    ASSERT_TRUE(m_windows.isConnected())
        << "cannot watch windows on " << m_xvfb.display().toStdString();
    m_host = std::make_unique<TrayHostProcess>(m_xvfb.display());
    ASSERT_TRUE(m_host->isReady()) << "the tray host did not take the tray selection:\n"
                                   << m_host->output().toStdString();
    ASSERT_TRUE(m_zentrel.hasHome());
}

void DesktopTest::TearDown()
{
    if (HasFailure()) {
        const auto *test = testing::UnitTest::GetInstance()->current_test_info();
        // Parameterised tests carry slashes in their names.
        const QString name = QStringLiteral("%1_%2_failure.png")
                                 .arg(QString::fromLatin1(test->test_suite_name()),
                                      QString::fromLatin1(test->name()))
                                 .replace(QLatin1Char('/'), QLatin1Char('_'));
        keepScreenshot(m_xvfb.grabScreen(), name);
    }
}

void DesktopTest::startWindowManager(WindowManager manager)
{
    if (manager == WindowManager::none) {
        return;
    }
    m_windowManager = std::make_unique<WindowManagerProcess>(manager, m_xvfb.display());
    ASSERT_TRUE(m_windowManager->isReady())
        << nameOf(manager).toStdString() << " did not take the display:\n"
        << m_windowManager->output().toStdString();
}

void DesktopTest::startZentrel()
{
    const std::optional<std::uint32_t> icon = startAndWaitForDock();
    ASSERT_TRUE(icon.has_value()) << "zentrel docked no tray icon; it " << stopAndDescribe();
    m_icon = *icon;
}

void DesktopTest::press(const QString &keys)
{
    ASSERT_TRUE(m_input.pressKeys(keys.split(QLatin1Char(' '))))
        << m_input.lastError().toStdString();
}

void DesktopTest::xdotool(const QStringList &arguments, int timeoutMs)
{
    ASSERT_TRUE(m_input.run(arguments, timeoutMs)) << m_input.lastError().toStdString();
}

std::optional<TopLevelWindow> DesktopTest::openSettings()
{
    if (!openTrayMenu(m_icon, QStringLiteral("settings_menu.png"))) {
        return std::nullopt;
    }
    if (!m_input.pressKeys(
            {QStringLiteral("Up"), QStringLiteral("Up"), QStringLiteral("Return")})) {
        ADD_FAILURE() << m_input.lastError().toStdString();
        return std::nullopt;
    }
    const std::optional<TopLevelWindow> settings =
        m_windows.waitForShown(settingsWindowTitle, QDeadlineTimer(menuTimeoutMs));
    if (!settings) {
        ADD_FAILURE() << "choosing Settings showed no settings window; " << situation();
    } else if (!m_input.focus(settings->id)) {
        ADD_FAILURE() << m_input.lastError().toStdString();
    }
    return settings;
}

testing::AssertionResult DesktopTest::handOver(const QString &url)
{
    const ProcessExit exit = m_zentrel.runAgain({url}, QDeadlineTimer(handOverTimeoutMs));
    if (exit.kind == ProcessExit::Kind::exited && exit.exitCode == 0) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "`zentrel " << url.toStdString() << "` " << exit.describe().toStdString();
}

void DesktopTest::holdElsewhere(ChildProcess &holder, const QString &letter)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DISPLAY"), m_xvfb.display());
    ASSERT_TRUE(holder.start(QStringLiteral(FAKE_KEY_HOLDER_EXECUTABLE), {letter}, environment));
    static const QRegularExpression ready(QStringLiteral("^ready$"));
    ASSERT_TRUE(holder.waitForLine(ready, QDeadlineTimer(holderTimeoutMs)))
        << "the other program could not grab Ctrl+Alt+" << letter.toUpper().toStdString() << ":\n"
        << holder.output().toStdString();
}

QImage DesktopTest::grabOncePainted(const QRect &area)
{
    const QDeadlineTimer deadline(paintTimeoutMs);
    QImage screen = m_xvfb.grabScreen();
    while (!isPainted(screen, area) && !deadline.hasExpired()) {
        screen = m_xvfb.grabScreen();
    }
    return screen;
}

std::string DesktopTest::situation()
{
    return m_windows.describeShown() + "\nzentrel output:\n" + m_zentrel.output().toStdString();
}

std::optional<TopLevelWindow> DesktopTest::openTrayMenu(std::uint32_t icon,
                                                        const QString &screenshotName)
{
    const std::optional<QRect> slot = m_xvfb.windowRect(icon);
    if (!slot) {
        ADD_FAILURE() << "the docked icon window is gone";
        return std::nullopt;
    }
    const std::set<std::uint32_t> before = m_windows.shownIds();
    if (!m_input.click(slot->center())) {
        ADD_FAILURE() << m_input.lastError().toStdString();
        return std::nullopt;
    }
    const std::optional<TopLevelWindow> menu =
        m_windows.waitForNewPopup(before, QDeadlineTimer(menuTimeoutMs));
    const QImage screen = menu ? grabOncePainted(menu->frame) : m_xvfb.grabScreen();
    keepScreenshot(screen, screenshotName);
    if (!menu) {
        ADD_FAILURE() << "clicking the tray icon popped up no menu; " << situation();
    } else if (!isPainted(screen, menu->frame)) {
        ADD_FAILURE() << "the menu was never painted: " << menu->describe();
        return std::nullopt;
    } else if (!m_windows.waitForKeyboardGrab(QDeadlineTimer(menuTimeoutMs))) {
        // Keys pressed before would miss the menu; a tooltip, also a new popup, never grabs.
        ADD_FAILURE() << "the menu never took the keyboard: " << menu->describe();
        return std::nullopt;
    }
    return menu;
}

std::optional<std::uint32_t> DesktopTest::startAndWaitForDock()
{
    if (!m_zentrel.start(m_xvfb.display())) {
        return std::nullopt;
    }
    const QDeadlineTimer deadline(dockTimeoutMs);
    while (m_zentrel.isRunning() && !deadline.hasExpired()) {
        const qint64 slice = std::min(deadline.remainingTime(), dockPollMs);
        if (const auto icon = m_host->waitForDock(QDeadlineTimer(slice))) {
            return icon;
        }
    }
    return m_host->waitForDock(QDeadlineTimer(0));
}

} // namespace zentrel
