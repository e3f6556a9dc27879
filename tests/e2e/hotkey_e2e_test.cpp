#include "e2e/fixtures/desktop_test.h"
#include "e2e/fixtures/screen_pixels.h"
#include "e2e/fixtures/text_ink_measure.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zentrel {

namespace {

constexpr int windowTimeoutMs = 10000;
constexpr int outputTimeoutMs = 10000;
// A hot key that works shows its window well within this; nothing by then means nothing came.
constexpr int momentMs = 300;
// Past the server's auto-repeat delay of 660 ms, so a held key repeats several times.
constexpr int holdMs = 1000;
constexpr int lockTimeoutMs = 5000;
constexpr int lockPollMs = 20;
const QString drawTitle = QStringLiteral("Draw");
const QString zoomTitle = QStringLiteral("Zoom Loupe");
const QString spotlightTitle = QStringLiteral("Spotlight");
const QStringList featureTitles{drawTitle,
                                zoomTitle,
                                spotlightTitle,
                                QStringLiteral("Cursor Halo"),
                                QStringLiteral("Break Timer")};
// Modifier bits as the settings store them: Control 262144 plus Shift 131072.
constexpr int ctrlShiftLeader = 262144 | 131072;

class GlobalHotkeys : public DesktopTest
{
protected:
    void startZentrel(const QJsonObject &defaults = {})
    {
        if (!defaults.isEmpty()) {
            ASSERT_TRUE(m_zentrel.writeDefaults(defaults));
        }
        // The hot keys are grabbed before the tray icon is made, so docked means grabbed.
        ASSERT_TRUE(startAndWaitForDock().has_value())
            << "zentrel docked no tray icon; it " << stopAndDescribe();
    }

    void press(const QString &keys)
    {
        ASSERT_TRUE(m_input.pressKeys({keys})) << m_input.lastError().toStdString();
    }

    void hold(const QString &keys)
    {
        ASSERT_TRUE(m_input.holdKeys({keys})) << m_input.lastError().toStdString();
    }

    void release(const QString &keys)
    {
        ASSERT_TRUE(m_input.releaseKeys({keys})) << m_input.lastError().toStdString();
    }

    bool waitForShown(const QString &title)
    {
        return m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs)).has_value();
    }

    bool waitUntilNotShown(const QString &title)
    {
        return m_windows.waitUntilNotShown(title, QDeadlineTimer(windowTimeoutMs));
    }

    bool showsWithinAMoment(const QString &title)
    {
        return m_windows.waitForShown(title, QDeadlineTimer(momentMs)).has_value();
    }

    bool staysShownFor(const QString &title, int milliseconds)
    {
        return !m_windows.waitUntilNotShown(title, QDeadlineTimer(milliseconds));
    }

    QStringList shownFeatureWindows()
    {
        QStringList titles;
        for (const TopLevelWindow &window : m_windows.topLevel()) {
            if (window.isShown && featureTitles.contains(window.name)) {
                titles.append(window.name);
            }
        }
        return titles;
    }

    void pressCapsLock(bool turnsOn)
    {
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Caps_Lock")));
        const QDeadlineTimer deadline(lockTimeoutMs);
        while (m_windows.isCapsLockOn() != turnsOn && !deadline.hasExpired()) {
            QThread::msleep(lockPollMs);
        }
        ASSERT_EQ(m_windows.isCapsLockOn(), turnsOn) << "Caps_Lock did not change the lock";
    }
};

std::string joined(const QStringList &titles)
{
    return titles.join(QStringLiteral(", ")).toStdString();
}

TEST_F(GlobalHotkeys, ToggleKeyActsOnReleaseAndASecondStrokeCloses)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());

    ASSERT_NO_FATAL_FAILURE(hold(QStringLiteral("ctrl+alt+d")));
    EXPECT_FALSE(showsWithinAMoment(drawTitle)) << "pressing alone started Draw; " << situation();
    ASSERT_NO_FATAL_FAILURE(release(QStringLiteral("ctrl+alt+d")));
    const std::optional<TopLevelWindow> draw =
        m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(draw.has_value()) << "releasing Ctrl+Alt+D showed no Draw window; " << situation();
    EXPECT_EQ(draw->frame, QRect(0, 0, XvfbSession::screenWidth, XvfbSession::screenHeight))
        << draw->describe();

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+d")));
    EXPECT_TRUE(waitUntilNotShown(drawTitle)) << "a second stroke left Draw open; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(GlobalHotkeys, HeldKeyKeepsOneDrawUntilTheKeyItselfComesUp)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel(
        QJsonObject{{QStringLiteral("controls.activationStyles"),
                     QJsonObject{{QStringLiteral("drawing"), QStringLiteral("hold")}}}}));

    ASSERT_NO_FATAL_FAILURE(hold(QStringLiteral("ctrl+alt+d")));
    ASSERT_TRUE(waitForShown(drawTitle)) << "holding Ctrl+Alt+D showed no Draw; " << situation();
    // Auto-repeat sends more presses while the key is down; none may start Draw again.
    EXPECT_TRUE(staysShownFor(drawTitle, holdMs)) << "Draw closed while held; " << situation();
    EXPECT_EQ(shownFeatureWindows(), QStringList{drawTitle}) << joined(shownFeatureWindows());

    // People often let go of the modifiers first; the hot key lasts until its key comes up.
    ASSERT_NO_FATAL_FAILURE(release(QStringLiteral("ctrl+alt")));
    EXPECT_TRUE(staysShownFor(drawTitle, momentMs))
        << "letting go of Ctrl+Alt closed Draw while D was down; " << situation();
    ASSERT_NO_FATAL_FAILURE(release(QStringLiteral("d")));
    EXPECT_TRUE(waitUntilNotShown(drawTitle)) << "releasing D left Draw open; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(GlobalHotkeys, CapsLockDoesNotGetInTheWay)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());

    // Turned on after start, so the keys were grabbed with Caps Lock off.
    ASSERT_NO_FATAL_FAILURE(pressCapsLock(true));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+d")));
    EXPECT_TRUE(waitForShown(drawTitle))
        << "Ctrl+Alt+D under Caps Lock showed no Draw; " << situation();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+d")));
    EXPECT_TRUE(waitUntilNotShown(drawTitle))
        << "a second stroke under Caps Lock left Draw open; " << situation();

    ASSERT_NO_FATAL_FAILURE(pressCapsLock(false));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(GlobalHotkeys, CombinationHeldElsewhereIsReportedAndTheRestStillWork)
{
    ChildProcess holder;
    ASSERT_NO_FATAL_FAILURE(holdElsewhere(holder, QStringLiteral("d")));

    ASSERT_NO_FATAL_FAILURE(startZentrel());
    static const QRegularExpression refused(
        QLatin1Char('^')
        + QRegularExpression::escape(QStringLiteral("Error registering hotkey ⌃⌥D: 10"))
        + QLatin1Char('$'));
    EXPECT_TRUE(m_zentrel.waitForLine(refused, QDeadlineTimer(outputTimeoutMs)))
        << "no report of the refused grab; zentrel output:\n"
        << m_zentrel.output().toStdString();
    ASSERT_TRUE(m_zentrel.isRunning()) << "zentrel " << stopAndDescribe();

    // The other program says when the stroke reached it, so by then zentrel has had its chance.
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+d")));
    static const QRegularExpression pressed(QStringLiteral("^pressed$"));
    EXPECT_TRUE(holder.waitForLine(pressed, QDeadlineTimer(outputTimeoutMs)))
        << "Ctrl+Alt+D never reached the program holding it:\n"
        << holder.output().toStdString();
    EXPECT_FALSE(m_windows.shown(drawTitle).has_value()) << "Ctrl+Alt+D started Draw anyway";

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+z")));
    EXPECT_TRUE(waitForShown(zoomTitle)) << "Ctrl+Alt+Z showed no Zoom Loupe; " << situation();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+z")));
    EXPECT_TRUE(waitUntilNotShown(zoomTitle))
        << "a second Ctrl+Alt+Z left the loupe open; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(GlobalHotkeys, LeaderChosenAtStartReplacesCtrlAlt)
{
    ASSERT_NO_FATAL_FAILURE(
        startZentrel(QJsonObject{{QStringLiteral("controls.leaderKey"), ctrlShiftLeader}}));

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+d")));
    EXPECT_FALSE(showsWithinAMoment(drawTitle))
        << "Ctrl+Alt+D started Draw under the Ctrl+Shift leader; " << situation();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+shift+d")));
    EXPECT_TRUE(waitForShown(drawTitle)) << "Ctrl+Shift+D showed no Draw; " << situation();

    // Nor may the old leader stop what the new one started.
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+d")));
    EXPECT_TRUE(staysShownFor(drawTitle, momentMs))
        << "Ctrl+Alt+D closed Draw under the Ctrl+Shift leader; " << situation();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+shift+d")));
    EXPECT_TRUE(waitUntilNotShown(drawTitle))
        << "a second Ctrl+Shift+D left Draw open; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(GlobalHotkeys, AnotherFeatureKeyReplacesTheOpenFeature)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+d")));
    ASSERT_TRUE(waitForShown(drawTitle)) << "Ctrl+Alt+D showed no Draw; " << situation();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+s")));
    EXPECT_TRUE(waitForShown(spotlightTitle)) << "Ctrl+Alt+S showed no Spotlight; " << situation();
    EXPECT_TRUE(waitUntilNotShown(drawTitle)) << "Draw stayed beside Spotlight; " << situation();
    EXPECT_EQ(shownFeatureWindows(), QStringList{spotlightTitle}) << joined(shownFeatureWindows());

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+s")));
    EXPECT_TRUE(waitUntilNotShown(spotlightTitle))
        << "a second Ctrl+Alt+S left Spotlight open; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// What the user sees of a combination another program holds, and a function key alone, on a bare
// X server and under each window manager.
class HotkeysUnderWindowManager : public GlobalHotkeys,
                                  public testing::WithParamInterface<WindowManager>
{
protected:
    static constexpr int redLevel = 200;
    static constexpr int otherLevel = 80;
    // A line of the settings window's red text has more red pixels than this.
    static constexpr int redPixelsOfAMark = 30;
    // Far more than a blinking caret changes.
    static constexpr int tabChangePixels = 2000;

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(GlobalHotkeys::SetUp());
        ASSERT_NO_FATAL_FAILURE(startWindowManager(GetParam()));
    }

    // Starts with nothing told yet of combinations other programs hold.
    void startUntold()
    {
        ASSERT_TRUE(m_zentrel.writeDefaults(
            QJsonObject{{QStringLiteral("hotkeys.toldHeldElsewhere"), QJsonArray{}}}));
        ASSERT_NO_FATAL_FAILURE(DesktopTest::startZentrel());
    }

    QStringList toldHeldElsewhere()
    {
        QStringList told;
        const QJsonArray entries =
            m_zentrel.savedDefaults().value(QStringLiteral("hotkeys.toldHeldElsewhere")).toArray();
        for (const QJsonValue &entry : entries) {
            told.append(entry.toString());
        }
        return told;
    }

    // The entries of the open tray menu that show a combination: the rows with text in its
    // shortcut column, right of every title. Escape closes the menu again.
    int entriesWithACombination(const QString &screenshotName)
    {
        const std::optional<TopLevelWindow> menu = openTrayMenu(m_icon, screenshotName);
        if (!menu) {
            return -1;
        }
        const QRect frame = menu->frame;
        const QRect column(frame.left() + frame.width() * 3 / 5,
                           frame.top() + 2,
                           frame.width() * 2 / 5 - 6,
                           frame.height() - 4);
        const int rows = int(inkRowsIn(grabOncePainted(frame), column).size());
        EXPECT_TRUE(m_input.pressKeys({QStringLiteral("Escape")}));
        EXPECT_TRUE(m_windows.waitUntilNotShown(menu->id, QDeadlineTimer(windowTimeoutMs)));
        return rows;
    }

    // Opens the Hotkeys tab and presses `key` on control after control until Draw's box stores
    // `stored` (the leader boxes before it ignore the key), then closes the settings window.
    void pressOnDrawsBoxUntilItStores(const QString &key, const QJsonValue &stored)
    {
        const std::optional<TopLevelWindow> settings = openSettings();
        ASSERT_TRUE(settings.has_value());
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+Tab")));
        const auto drawStored = [this] {
            return m_zentrel.savedDefaults().value(QStringLiteral("Hotkeys_toggleDraw"));
        };
        for (int control = 0; control < 8 && drawStored() != stored; ++control) {
            ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Tab")));
            ASSERT_NO_FATAL_FAILURE(press(key));
            QThread::msleep(momentMs);
        }
        ASSERT_EQ(drawStored(), stored) << situation();
        ASSERT_TRUE(m_windows.close(settings->id, QDeadlineTimer(windowTimeoutMs)));
    }

    // The red pixels on the screen with the settings window's Hotkeys tab: the marks of held
    // combinations. The tab is judged shown once much of the window has changed since the first
    // tab, wherever the window manager has put the window by then.
    int redPixelsOnTheHotkeysTab(const QString &screenshotName)
    {
        const std::optional<TopLevelWindow> settings = openSettings();
        if (!settings) {
            return -1;
        }
        const auto windowIn = [&](const QImage &screen) {
            return screen.copy(m_windows.window(settings->id).value_or(*settings).frame);
        };
        const QImage firstTab = windowIn(grabOncePainted(settings->frame));
        EXPECT_TRUE(m_input.pressKeys({QStringLiteral("ctrl+Tab")}));
        const QImage screen = grabUntil([&](const QImage &shown) {
            return pixelsChanged(firstTab, windowIn(shown)) > tabChangePixels;
        });
        keepScreenshot(screen, screenshotName);
        // The whole screen: a window manager may place the window after it was first shown.
        int red = 0;
        for (int y = 0; y < screen.height(); ++y) {
            for (int x = 0; x < screen.width(); ++x) {
                const QColor pixel = screen.pixelColor(x, y);
                red += pixel.red() > redLevel && pixel.green() < otherLevel
                       && pixel.blue() < otherLevel;
            }
        }
        EXPECT_TRUE(m_windows.close(settings->id, QDeadlineTimer(windowTimeoutMs)));
        return red;
    }
};

TEST_P(HotkeysUnderWindowManager, AHeldCombinationIsToldOnceAndMarkedUntilItIsFree)
{
    ChildProcess holder;
    ASSERT_NO_FATAL_FAILURE(holdElsewhere(holder, QStringLiteral("z")));
    const QString zoomHeld =
        QStringLiteral(R"(toggleZoom {"carbonKeyCode":6,"carbonModifiers":6144})");

    ASSERT_NO_FATAL_FAILURE(startUntold());
    const std::optional<TopLevelWindow> alert =
        m_windows.waitForShown(QStringLiteral("Zentrel"), QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(alert.has_value()) << "no alert of the held Ctrl+Alt+Z; " << situation();
    keepScreenshot(grabOncePainted(alert->frame),
                   QStringLiteral("held_hotkey_alert_%1.png").arg(nameOf(GetParam())));
    // Remembered as told once the alert is on screen, not before.
    const QDeadlineTimer toldDeadline(windowTimeoutMs);
    QStringList told = toldHeldElsewhere();
    while (!told.contains(zoomHeld) && !toldDeadline.hasExpired()) {
        QThread::msleep(50);
        told = toldHeldElsewhere();
    }
    EXPECT_TRUE(told.contains(zoomHeld)) << told.join(QStringLiteral(", ")).toStdString();
    ASSERT_TRUE(m_input.focus(alert->id)) << m_input.lastError().toStdString();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Return")));
    ASSERT_TRUE(waitUntilNotShown(QStringLiteral("Zentrel"))) << situation();
    ASSERT_TRUE(exitedCleanly(m_zentrel.stop()));

    // The next start tells nothing new.
    ASSERT_NO_FATAL_FAILURE(DesktopTest::startZentrel());
    EXPECT_FALSE(m_windows.waitForShown(QStringLiteral("Zentrel"), QDeadlineTimer(momentMs * 3)))
        << "the held combination was told again; " << situation();
    const int whileHeld =
        entriesWithACombination(QStringLiteral("held_hotkey_menu_%1.png").arg(nameOf(GetParam())));
    const int marksWhileHeld = redPixelsOnTheHotkeysTab(
        QStringLiteral("held_hotkey_settings_%1.png").arg(nameOf(GetParam())));
    EXPECT_GE(marksWhileHeld, redPixelsOfAMark)
        << "the Hotkeys tab does not mark the held combination";

    // The other program lets go: opening the menu takes the combination, and it shows again.
    holder.stop(QDeadlineTimer(windowTimeoutMs));
    const int whenFree =
        entriesWithACombination(QStringLiteral("freed_hotkey_menu_%1.png").arg(nameOf(GetParam())));
    EXPECT_EQ(whenFree, whileHeld + 1) << "the menu showed no combination for Zoom Loupe";
    const int marksWhenFree = redPixelsOnTheHotkeysTab(
        QStringLiteral("freed_hotkey_settings_%1.png").arg(nameOf(GetParam())));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+z")));
    EXPECT_TRUE(waitForShown(zoomTitle)) << "the freed Ctrl+Alt+Z showed no loupe; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
    // xfwm4 holds Ctrl+Alt+D itself: Draw stays marked there, Zoom's mark goes.
    EXPECT_LT(marksWhenFree,
              GetParam() == WindowManager::xfwm4 ? marksWhileHeld - redPixelsOfAMark
                                                 : redPixelsOfAMark);
}

TEST_P(HotkeysUnderWindowManager, AFunctionKeyAloneRecordedForDrawTogglesIt)
{
    ASSERT_NO_FATAL_FAILURE(DesktopTest::startZentrel());
    const QJsonValue bareF6(QStringLiteral(R"({"carbonKeyCode":97,"carbonModifiers":0})"));
    ASSERT_NO_FATAL_FAILURE(pressOnDrawsBoxUntilItStores(QStringLiteral("F6"), bareF6));
    // Taken again once the settings window is gone, which KWin takes its time to tell.
    const QDeadlineTimer taken(windowTimeoutMs);
    while (!m_windows.isKeyTaken(QStringLiteral("F6")) && !taken.hasExpired()) {
        QThread::msleep(momentMs);
    }

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("F6")));
    EXPECT_TRUE(waitForShown(drawTitle)) << "F6 showed no Draw; " << situation();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("F6")));
    EXPECT_TRUE(waitUntilNotShown(drawTitle)) << "a second F6 left Draw open; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_P(HotkeysUnderWindowManager, AClearedDrawKeyStaysClearedAfterARestart)
{
    ASSERT_NO_FATAL_FAILURE(DesktopTest::startZentrel());
    ASSERT_NO_FATAL_FAILURE(pressOnDrawsBoxUntilItStores(QStringLiteral("Delete"), false));
    ASSERT_TRUE(exitedCleanly(m_zentrel.stop()));

    ASSERT_NO_FATAL_FAILURE(DesktopTest::startZentrel());
    EXPECT_EQ(m_zentrel.savedDefaults().value(QStringLiteral("Hotkeys_toggleDraw")), false)
        << "the start bound Draw to the leader again";
    EXPECT_TRUE(m_windows.isKeyTaken(QStringLiteral("ctrl+alt+z")));
    // xfwm4 holds Ctrl+Alt+D itself.
    if (GetParam() != WindowManager::xfwm4) {
        EXPECT_FALSE(m_windows.isKeyTaken(QStringLiteral("ctrl+alt+d")))
            << "the cleared combination is held again";
    }
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         HotkeysUnderWindowManager,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace

} // namespace zentrel
