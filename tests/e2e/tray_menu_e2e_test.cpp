#include "e2e/fixtures/desktop_test.h"
#include "e2e/fixtures/under_window_manager.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace zentrel {

namespace {

constexpr int windowTimeoutMs = 10000;
constexpr int quitTimeoutMs = 10000;
// Fourteen rows: twelve items and two separators, each at least a line of text high. Item
// texts with their shortcuts make it about as wide as it is high, never a wide strip.
constexpr int minMenuHeight = 200;
constexpr int minMenuWidth = 100;
constexpr double maxMenuAspect = 1.5;
const QString drawTitle = QStringLiteral("Draw");
constexpr int secondStartTimeoutMs = 3000;
// How far from the icon's lower edge the menu a start of `zentrel` opens may begin.
constexpr int menuBesideIcon = 8;
// Modifier bits as the settings store them: Control 262144 plus Shift 131072.
constexpr int ctrlShiftLeader = 262144 | 131072;

class TrayMenu : public DesktopTest
{
protected:
    std::optional<TopLevelWindow> openMenu(const QString &screenshotName)
    {
        return openTrayMenu(m_icon, screenshotName);
    }

    // Keys go to the open menu, which grabbed the keyboard.
    void choose(const TopLevelWindow &menu, const QStringList &keys)
    {
        ASSERT_TRUE(m_input.pressKeys(keys)) << m_input.lastError().toStdString();
        EXPECT_TRUE(m_windows.waitUntilNotShown(menu.id, QDeadlineTimer(windowTimeoutMs)))
            << "the menu stayed open after " << keys.join(' ').toStdString();
    }
};

// Hot keys while the tray menu holds the keyboard, on a bare X server and under each window
// manager: the menu keeps the server from firing any hot key then. The leader is Ctrl+Shift, not
// the usual Ctrl+Alt: xfwm4 holds Ctrl+Alt+D itself, and Alt closes the menu before D comes.
class TrayMenuHotKeys : public TrayMenu, public testing::WithParamInterface<WindowManager>
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(TrayMenu::SetUp());
        ASSERT_NO_FATAL_FAILURE(startWindowManager(GetParam()));
        ASSERT_TRUE(m_zentrel.writeDefaults(
            QJsonObject{{QStringLiteral("controls.leaderKey"), ctrlShiftLeader}}));
        ASSERT_NO_FATAL_FAILURE(startZentrel());
    }

    void expectDraw(const char *what)
    {
        EXPECT_TRUE(m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs)).has_value())
            << what << " showed no Draw; " << situation();
        EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
    }

    const QStringList m_leader{QStringLiteral("ctrl"), QStringLiteral("shift")};
};

TEST_P(TrayMenuHotKeys, HotKeysWorkWhileTheMenuIsOpen)
{
    ASSERT_TRUE(openMenu(QStringLiteral("tray_menu_before_hot_key.png")).has_value());
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+shift+d")));
    expectDraw("Ctrl+Shift+D over the open menu");
}

// A presenter quick on the keys: the leader is already down when the menu takes the keyboard.
TEST_P(TrayMenuHotKeys, HotKeyWorksWhenTheMenuOpensInTheMiddleOfIt)
{
    // The display is this test's own: a failure that leaves them down troubles no other test.
    ASSERT_TRUE(m_input.holdKeys(m_leader)) << m_input.lastError().toStdString();
    ASSERT_TRUE(openMenu(QStringLiteral("tray_menu_during_hot_key.png")).has_value());
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("d")));
    ASSERT_TRUE(m_input.releaseKeys(m_leader)) << m_input.lastError().toStdString();
    expectDraw("D over the menu opened while Ctrl+Shift were down");
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         TrayMenuHotKeys,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

TEST_F(TrayMenu, ChoosingDrawStartsItAndQuitEndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());

    // A start of `zentrel` opens the menu right below the icon.
    const std::set<std::uint32_t> before = m_windows.shownIds();
    EXPECT_TRUE(exitedCleanly(m_zentrel.runAgain({}, QDeadlineTimer(secondStartTimeoutMs))));
    const auto revealed = m_windows.waitForNewPopup(before, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(revealed.has_value()) << "`zentrel` opened no menu; " << situation();
    const std::optional<QRect> icon = m_xvfb.windowRect(m_icon);
    ASSERT_TRUE(icon.has_value()) << "the docked icon window is gone";
    EXPECT_LE(std::abs(revealed->frame.top() - icon->bottom()), menuBesideIcon)
        << revealed->describe() << " is not at the icon " << icon->x() << "," << icon->y();
    ASSERT_TRUE(m_windows.waitForKeyboardGrab(QDeadlineTimer(windowTimeoutMs)));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    ASSERT_TRUE(m_windows.waitUntilNotShown(revealed->id, QDeadlineTimer(windowTimeoutMs)));

    const std::optional<TopLevelWindow> menu = openMenu(QStringLiteral("tray_menu_open.png"));
    ASSERT_TRUE(menu.has_value());
    EXPECT_GE(menu->frame.height(), minMenuHeight) << menu->describe();
    EXPECT_GE(menu->frame.width(), minMenuWidth) << menu->describe();
    EXPECT_LE(menu->frame.width(), maxMenuAspect * menu->frame.height()) << menu->describe();

    // Down to the first item, "Enable Zentrel", then past the separator to "Draw".
    ASSERT_NO_FATAL_FAILURE(
        choose(*menu, {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    const std::optional<TopLevelWindow> draw =
        m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(draw.has_value()) << "choosing Draw showed no Draw window; " << situation();

    // Draw stays on top of everything here, the tray included, where a desktop would keep its
    // panel within reach; raising the tray host stands in for that.
    const std::optional<std::uint32_t> host = m_windows.parentOf(m_icon);
    ASSERT_TRUE(host.has_value()) << "the docked icon window is gone";
    ASSERT_TRUE(m_input.raise(*host)) << m_input.lastError().toStdString();

    const std::optional<TopLevelWindow> again =
        openMenu(QStringLiteral("tray_menu_open_over_draw.png"));
    ASSERT_TRUE(again.has_value());
    // Up from no selection wraps to the last item, "Quit Zentrel".
    ASSERT_NO_FATAL_FAILURE(choose(*again, {QStringLiteral("Up"), QStringLiteral("Return")}));
    EXPECT_TRUE(exitedCleanly(m_zentrel.waitForExit(QDeadlineTimer(quitTimeoutMs))));
    EXPECT_TRUE(m_windows.waitUntilNotShown(drawTitle, QDeadlineTimer(windowTimeoutMs)))
        << "Draw outlived the program; " << m_windows.describeShown();
}

// The shortcut column follows the keyboard layout, as the grabs do: Zoom Loupe's Ctrl+Alt+Z is
// typed Ctrl+Alt+Y on a German keyboard, where Z and Y trade places, and stays Ctrl+Alt+Z on a
// Russian one.
class TrayMenuLayouts : public TrayMenu
{
protected:
    void setLayout(const QString &layout)
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DISPLAY"), m_xvfb.display());
        QProcess setxkbmap;
        setxkbmap.setProcessEnvironment(environment);
        setxkbmap.start(QStringLiteral("setxkbmap"), {layout});
        ASSERT_TRUE(setxkbmap.waitForFinished(layoutTimeoutMs) && setxkbmap.exitCode() == 0)
            << "setxkbmap " << layout.toStdString() << ": "
            << setxkbmap.readAllStandardError().toStdString();
    }

    // The open menu as it shows, closed again afterwards.
    QImage menuPicture(const QString &screenshotName)
    {
        const std::optional<TopLevelWindow> menu = openMenu(screenshotName);
        if (!menu) {
            return {};
        }
        const QImage picture = grabOncePainted(menu->frame).copy(menu->frame);
        choose(*menu, {QStringLiteral("Escape")});
        return picture;
    }

    // The menu's picture once `holds` says it is as expected, or the last one when it never is:
    // the program hears of the new layout a moment after the server has it.
    QImage menuPictureOnce(const std::function<bool(const QImage &)> &holds, const char *layout)
    {
        const QDeadlineTimer deadline(windowTimeoutMs);
        const QString name = QStringLiteral("tray_menu_%1.png").arg(QLatin1String(layout));
        QImage picture = menuPicture(name);
        while (!picture.isNull() && !holds(picture) && !deadline.hasExpired()) {
            QThread::msleep(layoutPollMs);
            picture = menuPicture(name);
        }
        return picture;
    }

    static constexpr int layoutTimeoutMs = 5000;
    static constexpr unsigned long layoutPollMs = 200;
};

// The rows of two pictures of one size that differ, as the first and last such row.
std::optional<std::pair<int, int>> differingRows(const QImage &one, const QImage &other)
{
    std::optional<std::pair<int, int>> rows;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x) {
            if (one.pixel(x, y) != other.pixel(x, y)) {
                rows = std::pair(rows ? rows->first : y, y);
                break;
            }
        }
    }
    return rows;
}

TEST_F(TrayMenuLayouts, HotKeysShowAsTheCurrentLayoutTypesThem)
{
    // About the height of one menu entry.
    constexpr int rowHeight = 22;
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    const QImage us = menuPicture(QStringLiteral("tray_menu_us.png"));
    ASSERT_FALSE(us.isNull());

    ASSERT_NO_FATAL_FAILURE(setLayout(QStringLiteral("de")));
    const QImage german = menuPictureOnce([&](const QImage &shown) { return shown != us; }, "de");
    ASSERT_EQ(german.size(), us.size());
    const auto changed = differingRows(us, german);
    ASSERT_TRUE(changed.has_value()) << "the menu still shows the US layout's keys";
    // One line of text changes, below "Enable Zentrel" and "Draw": Zoom Loupe's.
    EXPECT_LT(changed->second - changed->first, rowHeight);
    EXPECT_GT(changed->first, 2 * rowHeight);
    EXPECT_LT(changed->second, 4 * rowHeight);

    // A layout of another script names keys by a Latin one: the keymap's own where it has one,
    // else a US keyboard's. Each comes after German, so the US picture shows it was heard.
    const auto shows = [](const QImage &expected) {
        return [&expected](const QImage &shown) {
            return shown == expected;
        };
    };
    for (const char *otherScript : {"ru", "ru,us"}) {
        ASSERT_NO_FATAL_FAILURE(setLayout(QLatin1String(otherScript)));
        EXPECT_EQ(menuPictureOnce(shows(us), otherScript), us)
            << "under " << otherScript << " the menu shows other keys than D, Z, S";
        ASSERT_NO_FATAL_FAILURE(setLayout(QStringLiteral("de")));
        ASSERT_EQ(menuPictureOnce(shows(german), "de_again"), german);
    }

    ASSERT_NO_FATAL_FAILURE(setLayout(QStringLiteral("us")));
    EXPECT_EQ(menuPictureOnce([&](const QImage &shown) { return shown == us; }, "us_again"), us)
        << "the menu kept the German layout's keys";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// A desktop without a tray host: Zentrel's own small "Zentrel" window offers the menu. Once the
// menu has started a feature that window stands back until the run ends, so it cannot keep the
// keyboard (openbox and mutter used to leave it there); Escape must end the run, while Escape
// typed into the settings window stays that window's.
class LauncherMenu : public UnderWindowManager
{
protected:
    LauncherMenu() { m_hasTray = false; }

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(UnderWindowManager::SetUp());
        ASSERT_TRUE(m_zentrel.start(m_xvfb.display()));
        ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
            << "zentrel never listened for command URLs; it " << stopAndDescribe();
        auto launcher = m_windows.waitForShown(toolbarTitle, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(launcher.has_value()) << "no window in place of the tray; " << situation();
        ASSERT_TRUE(settle(*launcher));
        m_launcher = *launcher;
    }

    // Opens the launcher's menu with a click and picks an entry with the keys.
    void choose(const QStringList &keys, const QString &screenshotName)
    {
        const auto menu = openTrayMenu(m_launcher.id, screenshotName);
        ASSERT_TRUE(menu.has_value());
        ASSERT_TRUE(m_input.pressKeys(keys)) << m_input.lastError().toStdString();
        ASSERT_TRUE(m_windows.waitUntilNotShown(menu->id, QDeadlineTimer(windowTimeoutMs)))
            << "the menu stayed open; " << situation();
    }

    std::optional<TopLevelWindow> chooseFeature(const QStringList &keys, const QString &title)
    {
        choose(keys, QStringLiteral("launcher_menu_%1.png").arg(nameOf(GetParam())));
        auto feature = m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
        EXPECT_TRUE(feature.has_value())
            << "choosing it showed no " << title.toStdString() << "; " << situation();
        return feature;
    }

    void expectLauncherStandsBack()
    {
        ASSERT_TRUE(m_windows.waitUntilNotShown(m_launcher.id, QDeadlineTimer(windowTimeoutMs)))
            << "the launcher stayed over the run; " << situation();
        // A person's next key comes far later than the program hears where the keyboard is.
        QThread::msleep(personsPauseMs);
    }

    // Then the launcher is back, for the next choice.
    void expectEscapeCloses(const TopLevelWindow &feature)
    {
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
        EXPECT_TRUE(m_windows.waitUntilNotShown(feature.id, QDeadlineTimer(windowTimeoutMs)))
            << "Escape after the launcher's menu started it left " << feature.describe() << "; "
            << situation();
        auto launcher = waitForWindow(
            [this](const TopLevelWindow &window) { return window.id == m_launcher.id; });
        ASSERT_TRUE(launcher && settle(*launcher))
            << "the launcher stayed away after the run; " << situation();
        m_launcher = *launcher;
    }

    static constexpr unsigned long personsPauseMs = 300;
    // Far longer than Escape takes to close a run.
    static constexpr int escapeEffectMs = 1500;
    TopLevelWindow m_launcher;
};

TEST_P(LauncherMenu, EscapeClosesTheAidItStartedAndStaysInTheSettingsWindow)
{
    // Down from no selection: "Enable Zentrel", "Draw", "Zoom Loupe", "Spotlight".
    const QStringList spotlightKeys{QStringLiteral("Down"),
                                    QStringLiteral("Down"),
                                    QStringLiteral("Down"),
                                    QStringLiteral("Down"),
                                    QStringLiteral("Return")};
    auto spotlight = chooseFeature(spotlightKeys, QStringLiteral("Spotlight"));
    ASSERT_TRUE(spotlight.has_value());
    ASSERT_NO_FATAL_FAILURE(expectLauncherStandsBack());
    ASSERT_NO_FATAL_FAILURE(expectEscapeCloses(*spotlight));

    // Up from no selection wraps to "Quit Zentrel"; four more reach "Cursor Halo".
    const auto halo = chooseFeature({QStringLiteral("Up"),
                                     QStringLiteral("Up"),
                                     QStringLiteral("Up"),
                                     QStringLiteral("Up"),
                                     QStringLiteral("Up"),
                                     QStringLiteral("Return")},
                                    QStringLiteral("Cursor Halo"));
    ASSERT_TRUE(halo.has_value());
    ASSERT_NO_FATAL_FAILURE(expectLauncherStandsBack());
    ASSERT_NO_FATAL_FAILURE(expectEscapeCloses(*halo));

    // Settings first: without a compositor the spotlight shows a still of the screen, over the
    // launcher too; and the settings window may cover the launcher, so a command starts it.
    ASSERT_NO_FATAL_FAILURE(
        choose({QStringLiteral("Up"), QStringLiteral("Up"), QStringLiteral("Return")},
               QStringLiteral("launcher_settings_menu.png")));
    const auto settings =
        m_windows.waitForShown(QStringLiteral("Zentrel Settings"), QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(settings.has_value()) << "choosing Settings showed none; " << situation();
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/spotlight")));
    spotlight =
        m_windows.waitForShown(QStringLiteral("Spotlight"), QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(spotlight.has_value()) << situation();
    ASSERT_TRUE(m_input.focus(settings->id)) << m_input.lastError().toStdString();
    ASSERT_TRUE(m_windows.waitForKeyboard(settings->id, QDeadlineTimer(windowTimeoutMs)));
    QThread::msleep(personsPauseMs);
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    EXPECT_FALSE(m_windows.waitUntilNotShown(spotlight->id, QDeadlineTimer(escapeEffectMs)))
        << "Escape typed into the settings window closed the spotlight";
    EXPECT_TRUE(m_windows.window(settings->id).has_value());

    ASSERT_NO_FATAL_FAILURE(expectLauncherStandsBack());
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(m_windows.waitUntilNotShown(spotlight->id, QDeadlineTimer(windowTimeoutMs)));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         LauncherMenu,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace

} // namespace zentrel
