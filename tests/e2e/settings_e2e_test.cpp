#include "e2e/fixtures/desktop_test.h"
#include "e2e/fixtures/under_window_manager.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRect>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zentrel {

namespace {

constexpr int windowTimeoutMs = 10000;
constexpr int writeTimeoutMs = 5000;
constexpr int pollMs = 20;
// A window that opens in answer to a key shows well within this.
constexpr int momentMs = 500;
const QString welcomeTitle = QStringLiteral("Welcome to Zentrel");
const QString drawTitle = QStringLiteral("Draw");
// The recorder's warnings, like every alert of the program, carry its name.
const QString warningTitle = QStringLiteral("Zentrel");
// Ctrl+Shift+D as stored: key D (2) with Control (4096) and Shift (512).
const QString ctrlShiftDStored = QStringLiteral(R"({"carbonKeyCode":2,"carbonModifiers":4608})");
// Ctrl+Alt+Q as stored: key Q (12) with Control (4096) and Option, which is Alt (2048).
const QString ctrlAltQStored = QStringLiteral(R"({"carbonKeyCode":12,"carbonModifiers":6144})");

class Settings : public DesktopTest
{
protected:
    QJsonObject writtenDefaults()
    {
        QFile file(m_zentrel.configHome() + QStringLiteral("/Zentrel/defaults.json"));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    // The first setting written differently from `before`, or nothing.
    QJsonValue differingValue(const QJsonObject &before)
    {
        const QJsonObject now = writtenDefaults();
        for (auto entry = now.begin(); entry != now.end(); ++entry) {
            if (before.value(entry.key()) != entry.value()) {
                return entry.value();
            }
        }
        return QJsonValue::Undefined;
    }

    bool autostartEntryExists() const
    {
        return QFile::exists(m_zentrel.configHome() + QStringLiteral("/autostart/zentrel.desktop"));
    }

    static bool waitFor(const std::function<bool()> &condition, int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!condition()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::msleep(pollMs);
        }
        return true;
    }

    QString drawStored()
    {
        return writtenDefaults().value(QStringLiteral("Hotkeys_toggleDraw")).toString();
    }

    // The menu shows `chord` beside Draw (the screenshot is kept to look at), and the chord
    // starts Draw and a second one closes it.
    void expectChordTogglesDraw(const QString &chord, const QString &menuScreenshot)
    {
        ASSERT_TRUE(openTrayMenu(m_icon, menuScreenshot));
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
        ASSERT_NO_FATAL_FAILURE(press(chord));
        ASSERT_TRUE(m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs)))
            << chord.toStdString() << " showed no Draw; " << situation();
        ASSERT_NO_FATAL_FAILURE(press(chord));
        EXPECT_TRUE(m_windows.waitUntilNotShown(drawTitle, QDeadlineTimer(windowTimeoutMs)))
            << "a second " << chord.toStdString() << " left Draw open; " << situation();
    }

    // Moves the focus control by control and presses `keys` on each until `done` holds. Focus
    // order is the toolkit's business, so the outcome, not an assumed order, tells which control
    // was hit; `undo` repairs what a wrong control did to the settings written `before` and says
    // whether it could.
    bool pressOnEachUntil(const QString &keys,
                          const std::function<bool()> &done,
                          const std::function<bool(const QJsonObject &before)> &undo)
    {
        constexpr int controlsToTry = 10;
        for (int attempt = 0; attempt < controlsToTry; ++attempt) {
            const QJsonObject before = writtenDefaults();
            if (!m_input.pressKeys({QStringLiteral("Tab")}) || !m_input.pressKeys({keys})) {
                return false;
            }
            if (waitFor(done, momentMs)) {
                return true;
            }
            if (!undo(before)) {
                return false;
            }
        }
        return false;
    }
};

TEST_F(Settings, FirstStartWelcomesOnceAndContinuingRecordsIt)
{
    m_zentrel.startAsFirstStart();
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    const std::optional<TopLevelWindow> welcome =
        m_windows.waitForShown(welcomeTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(welcome.has_value()) << "no welcome window at the first start; " << situation();
    EXPECT_EQ(welcome->frame.size(), QSize(520, 430)) << welcome->describe();
    keepScreenshot(grabOncePainted(welcome->frame), QStringLiteral("settings_welcome.png"));
    EXPECT_FALSE(writtenDefaults().contains(QStringLiteral("onboarding.completed")));

    // Xvfb has XInput 2 and XKB, so both permissions count as granted and Continue finishes.
    ASSERT_TRUE(m_input.focus(welcome->id)) << m_input.lastError().toStdString();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Return")));
    EXPECT_TRUE(m_windows.waitUntilNotShown(welcome->id, QDeadlineTimer(windowTimeoutMs)))
        << "Continue left the welcome window open; " << situation();
    EXPECT_TRUE(waitFor(
        [this] { return writtenDefaults().value(QStringLiteral("onboarding.completed")) == true; },
        writeTimeoutMs))
        << "onboarding.completed was not written";
    ASSERT_TRUE(m_zentrel.isRunning()) << "zentrel ended; it " << stopAndDescribe();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Settings, TabsShowAndLaunchAtLoginWritesAndRemovesTheAutostartEntry)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    EXPECT_FALSE(m_windows.waitForShown(welcomeTitle, QDeadlineTimer(momentMs)).has_value())
        << "a welcome window although onboarding was done";
    const std::optional<TopLevelWindow> settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->frame.size(), QSize(540, 430)) << settings->describe();
    keepScreenshot(grabOncePainted(settings->frame), QStringLiteral("settings_general_tab.png"));

    // A wrong box writes a setting, which a second space takes back; "Check for Updates…"
    // answers in a window that Escape closes.
    const QJsonObject atStart = writtenDefaults();
    ASSERT_TRUE(pressOnEachUntil(
        QStringLiteral("space"),
        [this] { return autostartEntryExists(); },
        [this](const QJsonObject &before) {
            if (m_windows.waitForShown(QStringLiteral("Zentrel"), QDeadlineTimer(pollMs))) {
                return m_input.pressKeys({QStringLiteral("Escape")});
            }
            if (writtenDefaults() == before) {
                return true;
            }
            const QJsonValue changed = differingValue(before);
            return m_input.pressKeys({QStringLiteral("space")})
                   && waitFor([&] { return differingValue(before) != changed; }, writeTimeoutMs);
        }))
        << "no control wrote the autostart entry; " << situation();
    for (const QString &key : atStart.keys()) {
        EXPECT_EQ(writtenDefaults().value(key), atStart.value(key))
            << key.toStdString() << " changed on the way";
    }

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("space")));
    EXPECT_TRUE(waitFor([this] { return !autostartEntryExists(); }, writeTimeoutMs))
        << "turning Launch at login off left the autostart entry";

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+Tab")));
    keepScreenshot(grabOncePainted(settings->frame), QStringLiteral("settings_hotkeys_tab.png"));
    EXPECT_TRUE(m_windows.close(settings->id, QDeadlineTimer(windowTimeoutMs)));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Settings, RecordingANewDrawChordStoresItAndTheChordTogglesDrawing)
{
    // Another program holds Ctrl+Alt+G, which the recorder must find out by itself.
    ChildProcess holder;
    ASSERT_NO_FATAL_FAILURE(holdElsewhere(holder, QStringLiteral("g")));

    ASSERT_NO_FATAL_FAILURE(startZentrel());
    const std::optional<TopLevelWindow> settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+Tab")));

    // The leader boxes come first and ignore the chord; the first recorder is Draw's, and it
    // warns of the held combination.
    const QString before = drawStored();
    const auto warningShown = [this] {
        return m_windows.shown(warningTitle).has_value();
    };
    ASSERT_TRUE(pressOnEachUntil(
        QStringLiteral("ctrl+alt+g"), warningShown, [](const QJsonObject &) { return true; }))
        << "no recorder warned of Ctrl+Alt+G; " << situation();
    keepScreenshot(m_xvfb.grabScreen(), QStringLiteral("settings_clash_warning.png"));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Return")));
    ASSERT_TRUE(m_windows.waitUntilNotShown(warningTitle, QDeadlineTimer(windowTimeoutMs)));
    EXPECT_EQ(drawStored(), before) << "the held combination was stored";

    // Once the warning is answered the settings window is active again (a window manager would
    // see to that; here the test does) and the recorder records again.
    ASSERT_TRUE(m_input.focus(settings->id)) << m_input.lastError().toStdString();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+shift+d")));
    ASSERT_TRUE(waitFor([&] { return drawStored() == ctrlShiftDStored; }, writeTimeoutMs))
        << "Draw's combination is " << drawStored().toStdString() << "; " << situation();
    keepScreenshot(grabOncePainted(settings->frame), QStringLiteral("settings_recorded.png"));
    EXPECT_TRUE(waitFor([this] { return m_windows.isKeyTaken(QStringLiteral("ctrl+shift+d")); },
                        writeTimeoutMs));
    EXPECT_FALSE(m_windows.isKeyTaken(QStringLiteral("ctrl+alt+d")))
        << "the old combination is still held";

    ASSERT_TRUE(m_windows.close(settings->id, QDeadlineTimer(windowTimeoutMs)));
    ASSERT_NO_FATAL_FAILURE(expectChordTogglesDraw(
        QStringLiteral("ctrl+shift+d"), QStringLiteral("settings_menu_after_recording.png")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Settings, ARecordedDrawChordSurvivesARestart)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    const std::optional<TopLevelWindow> settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+Tab")));
    // The leader boxes come first and ignore the chord; the first recorder is Draw's.
    ASSERT_TRUE(pressOnEachUntil(
        QStringLiteral("ctrl+alt+q"),
        [&] { return drawStored() == ctrlAltQStored; },
        [this](const QJsonObject &before) { return writtenDefaults() == before; }))
        << "Draw's combination is " << drawStored().toStdString() << "; " << situation();
    ASSERT_TRUE(m_windows.close(settings->id, QDeadlineTimer(windowTimeoutMs)));
    ASSERT_TRUE(exitedCleanly(m_zentrel.stop()));

    ASSERT_NO_FATAL_FAILURE(startZentrel());
    EXPECT_EQ(drawStored(), ctrlAltQStored) << "the start bound Draw to the leader again";
    EXPECT_TRUE(m_windows.isKeyTaken(QStringLiteral("ctrl+alt+q")));
    EXPECT_FALSE(m_windows.isKeyTaken(QStringLiteral("ctrl+alt+d")))
        << "the leader's Draw combination is held again";
    ASSERT_NO_FATAL_FAILURE(expectChordTogglesDraw(
        QStringLiteral("ctrl+alt+q"), QStringLiteral("settings_menu_after_restart.png")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// The recorder box on a bare X server and under each window manager, with a compositing manager
// where the window manager composites nothing itself: what it shows must be painted whole.
class RecorderBox : public UnderWindowManager
{
protected:
    // "D needs a modifier", shown beneath the box, is about a hundred pixels wide; a reason cut
    // to a part of itself, or painted only in part, is narrower.
    static constexpr int wholeRequestWidth = 70;
    static constexpr int settleMs = 500;

    // The bounds of what differs between two screens.
    static QRect difference(const QImage &before, const QImage &after)
    {
        QRect changed;
        for (int y = 0; y < before.height(); ++y) {
            for (int x = 0; x < before.width(); ++x) {
                if (before.pixel(x, y) != after.pixel(x, y)) {
                    changed |= QRect(x, y, 1, 1);
                }
            }
        }
        return changed;
    }
};

TEST_P(RecorderBox, ALetterAloneShowsWhyInWholeWords)
{
    if (!composites(GetParam())) {
        ASSERT_NO_FATAL_FAILURE(startCompositor());
    }
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    std::optional<TopLevelWindow> settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    // Fitted again once framed: moving, it would change more than itself.
    ASSERT_TRUE(settle(*settings));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+Tab")));

    // Tab by Tab until a control answers D: Draw's box, after the leader boxes, which ignore it.
    QRect changed;
    QImage asked;
    for (int control = 0; control < 8 && changed.isEmpty(); ++control) {
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Tab")));
        QThread::msleep(settleMs);
        const QImage recording = m_xvfb.grabScreen();
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("d")));
        QThread::msleep(settleMs);
        asked = m_xvfb.grabScreen();
        changed = difference(recording, asked);
    }
    keepScreenshot(asked.copy(changed.adjusted(-40, -12, 40, 12)),
                   QStringLiteral("recorder_box_%1.png").arg(nameOf(GetParam())));
    EXPECT_GE(changed.width(), wholeRequestWidth)
        << "the reason shows over only " << changed.width() << " px; " << situation();
    const std::optional<TopLevelWindow> shown = m_windows.window(settings->id);
    ASSERT_TRUE(shown.has_value()) << "the settings window went; " << situation();
    // The window manager may draw the title bar anew as it hands the window the keyboard.
    EXPECT_TRUE(m_windows.framed(*shown).contains(changed))
        << "more than the settings window changed; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         RecorderBox,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace

} // namespace zentrel
