#include "e2e/fixtures/desktop_test.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
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
#include <optional>
#include <set>
#include <string>

namespace zentrel {

namespace {

constexpr int windowTimeoutMs = 10000;
constexpr int writeTimeoutMs = 5000;
// The program rebinds 0.2 s after a change; the rest is room for a busy machine.
constexpr int rebindTimeoutMs = 1000;
constexpr int pollMs = 20;
// A hot key that works shows its window well within this; nothing by then means nothing came.
constexpr int momentMs = 300;
const QString drawTitle = QStringLiteral("Draw");
const QString ctrlAlt = QStringLiteral("ctrl+alt+");
const QString ctrlShift = QStringLiteral("ctrl+shift+");
const QString ctrlAltDraw = ctrlAlt + QLatin1Char('d');
const QString ctrlShiftDraw = ctrlShift + QLatin1Char('d');
// Each feature's letter, as the Hotkeys tab lists them.
const QStringList featureLetters{QStringLiteral("d"),
                                 QStringLiteral("z"),
                                 QStringLiteral("s"),
                                 QStringLiteral("f"),
                                 QStringLiteral("w"),
                                 QStringLiteral("t"),
                                 QStringLiteral("h")};
// Modifier bits as the settings store them.
constexpr int controlLeader = 262144;
constexpr int ctrlShiftLeader = controlLeader | 131072;

class LeaderSettings : public DesktopTest
{
protected:
    void toggleDrawOpenAndClosed(const QString &keys)
    {
        ASSERT_NO_FATAL_FAILURE(press(keys));
        ASSERT_TRUE(m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs)))
            << keys.toStdString() << " showed no Draw; " << situation();
        ASSERT_NO_FATAL_FAILURE(press(keys));
        ASSERT_TRUE(m_windows.waitUntilNotShown(drawTitle, QDeadlineTimer(windowTimeoutMs)))
            << "a second " << keys.toStdString() << " left Draw open; " << situation();
    }

    // Through the tray icon's menu, where Up wraps to "Quit Zentrel" and one more reaches
    // "Settings...".

    // Nothing while the file is missing, half written or holds no leader.
    std::optional<int> writtenLeader()
    {
        QFile file(m_zentrel.configHome() + QStringLiteral("/Zentrel/defaults.json"));
        if (!file.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        const QJsonValue leader = QJsonDocument::fromJson(file.readAll())
                                      .object()
                                      .value(QStringLiteral("controls.leaderKey"));
        return leader.isDouble() ? std::optional<int>(leader.toInt()) : std::nullopt;
    }

    std::string describeWrittenLeader()
    {
        const std::optional<int> leader = writtenLeader();
        return leader ? std::to_string(*leader) : std::string("no leader");
    }

    // Waits for the written leader to differ from `before`; returns what was written.
    std::optional<int> waitForLeaderChange(std::optional<int> before)
    {
        const QDeadlineTimer deadline(writeTimeoutMs);
        while (writtenLeader() == before && !deadline.hasExpired()) {
            QThread::msleep(pollMs);
        }
        return writtenLeader();
    }

    // Moves the focus box by box and toggles each until one writes `wanted`; a box that writes
    // something else is toggled back. Focus order is the widget toolkit's business, so the
    // written value, not an assumed order, tells which box was hit.
    bool toggleBoxThatWrites(int wanted)
    {
        constexpr int boxesToTry = 6;
        for (int attempt = 0; attempt < boxesToTry; ++attempt) {
            const std::optional<int> before = writtenLeader();
            if (!m_input.pressKeys({QStringLiteral("Tab"), QStringLiteral("space")})) {
                return false;
            }
            const std::optional<int> written = waitForLeaderChange(before);
            if (written == wanted) {
                return true;
            }
            if (written != before) {
                if (!m_input.pressKeys({QStringLiteral("space")})) {
                    return false;
                }
                waitForLeaderChange(written);
            }
        }
        return false;
    }

    // The feature keys not yet on leader `to` alone, each with where it is. Probed rather than
    // pressed: a stroke landing just after the rebinding would toggle its feature once more and
    // spoil the next one.
    QStringList keysNotMoved(const QString &from, const QString &to)
    {
        QStringList left;
        for (const QString &letter : featureLetters) {
            const bool onFrom = m_windows.isKeyTaken(from + letter);
            const bool onTo = m_windows.isKeyTaken(to + letter);
            if (onFrom || !onTo) {
                left.append(QStringLiteral("%1 (%2%1 %3, %4%1 %5)")
                                .arg(letter,
                                     from,
                                     onFrom ? QStringLiteral("taken") : QStringLiteral("free"),
                                     to,
                                     onTo ? QStringLiteral("taken") : QStringLiteral("free")));
            }
        }
        return left;
    }

    // Returns the keys still left behind at the deadline, none when all moved.
    QStringList waitForKeysMoved(const QString &from, const QString &to, QDeadlineTimer deadline)
    {
        QStringList left = keysNotMoved(from, to);
        while (!left.isEmpty() && !deadline.hasExpired()) {
            QThread::msleep(pollMs);
            left = keysNotMoved(from, to);
        }
        return left;
    }
};

TEST_F(LeaderSettings, SwappingOptionForShiftRebindsTheHotKeysToCtrlShift)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    // The grabs land a few milliseconds after the icon docks. Seeing them also shows that the
    // probe sees what the program holds.
    const QStringList atStart =
        waitForKeysMoved(ctrlShift, ctrlAlt, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(atStart.isEmpty())
        << "not on Ctrl+Alt alone at start: " << atStart.join(QStringLiteral(", ")).toStdString();
    ASSERT_NO_FATAL_FAILURE(toggleDrawOpenAndClosed(ctrlAltDraw));

    const std::optional<TopLevelWindow> settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    ASSERT_TRUE(m_input.focus(settings->id)) << m_input.lastError().toStdString();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+Tab")));
    ASSERT_TRUE(toggleBoxThatWrites(controlLeader))
        << "no box unchecked Option; the leader is " << describeWrittenLeader();
    ASSERT_TRUE(toggleBoxThatWrites(ctrlShiftLeader))
        << "no box checked Shift; the leader is " << describeWrittenLeader();

    // The leader was written as the box changed, so the rebinding is due 0.2 s from now.
    QElapsedTimer sinceWritten;
    sinceWritten.start();
    const QStringList left = waitForKeysMoved(ctrlAlt, ctrlShift, QDeadlineTimer(rebindTimeoutMs));
    const qint64 waitedMs = sinceWritten.elapsed();
    // The tab repaints once the rebinding is stored: its boxes, and the pairs that now share one.
    QThread::msleep(momentMs);
    keepScreenshot(grabOncePainted(settings->frame),
                   QStringLiteral("leader_settings_hotkeys_tab.png"));
    ASSERT_TRUE(left.isEmpty()) << "not on Ctrl+Shift alone " << waitedMs
                                << " ms after the change: "
                                << left.join(QStringLiteral(", ")).toStdString();

    ASSERT_NO_FATAL_FAILURE(toggleDrawOpenAndClosed(ctrlShiftDraw));
    ASSERT_NO_FATAL_FAILURE(press(ctrlAltDraw));
    EXPECT_FALSE(m_windows.waitForShown(drawTitle, QDeadlineTimer(momentMs)).has_value())
        << "Ctrl+Alt+D still started Draw under the Ctrl+Shift leader; " << situation();

    EXPECT_TRUE(m_windows.close(settings->id, QDeadlineTimer(windowTimeoutMs)))
        << "the settings window stayed open; " << situation();
    ASSERT_TRUE(m_zentrel.isRunning())
        << "closing the settings window ended zentrel; it " << stopAndDescribe();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace

} // namespace zentrel
