#include "app/child_widgets.h"
#include "capture/break_timer/break_timer_controls.h"
#include "capture/break_timer/break_timer_ring.h"
#include "capture/break_timer/break_timer_session.h"
#include "capture/break_timer/break_timer_view.h"
#include "capture/break_timer_model.h"
#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_sound_player.h"
#include "panels/overlay_panel.h"
#include "shell/app_preferences.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

using Style = BreakTimerPresentationStyle;

QScreen *screenNamed(const QString &name)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->name() == name) {
            return screen;
        }
    }
    return nullptr;
}

// The widget is seen whole: every widget it lies in, up to its window, holds all of it.
testing::AssertionResult isWhollyShown(const QWidget *widget, const QString &what)
{
    if (!widget || !widget->isVisible()) {
        return testing::AssertionFailure() << what.toStdString() << " is not shown";
    }
    QRect area = widget->rect();
    for (const QWidget *inner = widget; !inner->isWindow(); inner = inner->parentWidget()) {
        area.translate(inner->pos());
        const QWidget *outer = inner->parentWidget();
        if (!outer->rect().contains(area)) {
            return testing::AssertionFailure()
                   << what.toStdString() << " reaches out of " << outer->metaObject()->className()
                   << ": " << area.x() << ',' << area.y() << ' ' << area.width() << 'x'
                   << area.height() << " in " << outer->width() << 'x' << outer->height();
        }
    }
    return testing::AssertionSuccess();
}

// The break timer's session on one of the test's screens, in one presentation.
class BreakTimerOnScreen : public testing::TestWithParam<std::tuple<Style, QString>>
{
protected:
    void SetUp() override
    {
        screen = screenNamed(std::get<1>(GetParam()));
        ASSERT_NE(screen, nullptr) << "the offscreen platform has no such screen";
        preferences.setBreakTimerPresentationStyle(std::get<0>(GetParam()));
        session = std::make_unique<BreakTimerSession>(screen->geometry(),
                                                      preferences,
                                                      std::make_unique<FakeSoundPlayer>(),
                                                      std::make_unique<FakeClock>(Timestamp{} + 1h),
                                                      [] {});
        session->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(session->panel()));
        if (isFullScreen()) {
            // The offscreen platform shows every full-screen window on its first screen; the
            // page gets its own screen's geometry here, as an X window manager gives it.
            panel().setWindowState(Qt::WindowNoState);
            QCoreApplication::processEvents();
            panel().setGeometry(screen->geometry());
        }
    }

    bool isFullScreen() const { return std::get<0>(GetParam()) == Style::fullScreen; }

    OverlayPanel &panel() const { return *session->panel(); }

    const BreakTimerView &view() const { return *panel().findChild<BreakTimerView *>(); }

    void expectWholeOnScreen()
    {
        QCoreApplication::processEvents();
        const QRect window = panel().frameGeometry();
        if (isFullScreen()) {
            EXPECT_EQ(window, screen->geometry());
        } else {
            EXPECT_TRUE(screen->geometry().contains(window));
        }
    }

    // Each control of the idle page, then each of the running one, is seen whole.
    void expectEveryControlShown(const QStringList &texts)
    {
        for (const QString &text : texts) {
            EXPECT_TRUE(isWhollyShown(childWithText(panel(), text), text));
        }
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    QScreen *screen = nullptr;
    std::unique_ptr<BreakTimerSession> session;
};

TEST_P(BreakTimerOnScreen, EveryControlIsOnTheScreenBeforeAndWhileItRuns)
{
    expectWholeOnScreen();
    const QWidget &page = panel();
    for (const QString &name : {QStringLiteral("Break timer settings"),
                                QStringLiteral("Close break timer"),
                                QStringLiteral("Decrease duration by 30 seconds"),
                                QStringLiteral("Increase duration by 30 seconds")}) {
        EXPECT_TRUE(isWhollyShown(childNamed(page, name), name));
    }
    expectEveryControlShown({QStringLiteral("Start Countdown"),
                             QStringLiteral("3m"),
                             QStringLiteral("5m"),
                             QStringLiteral("10m"),
                             QStringLiteral("15m")});
    EXPECT_TRUE(isWhollyShown(page.findChild<BreakTimerBadge *>(), QStringLiteral("badge")));
    EXPECT_TRUE(isWhollyShown(page.findChild<BreakTimerRing *>(), QStringLiteral("ring")));
    EXPECT_TRUE(
        isWhollyShown(page.findChild<BreakTimerMessageLabel *>(), QStringLiteral("message")));
    EXPECT_TRUE(isWhollyShown(childWithText<QLabel>(page, QStringLiteral("Custom")),
                              QStringLiteral("custom duration")));

    QTest::mouseClick(childWithText(page, QStringLiteral("Start Countdown")), Qt::LeftButton);
    ASSERT_EQ(session->model()->state(), BreakTimerState::running);
    expectEveryControlShown({QStringLiteral("Pause"), QStringLiteral("+1 min")});
    session->model()->pause();
    expectEveryControlShown({QStringLiteral("Resume"), QStringLiteral("+1 min")});
    expectWholeOnScreen();
}

TEST_P(BreakTimerOnScreen, AMessageOfTwoLinesStillLeavesRoomForTheChooser)
{
    preferences.setBreakTimerMessage(
        "Back in a few minutes: fetch a coffee, stretch your legs and look away from the screen");
    QCoreApplication::processEvents();
    ASSERT_EQ(view().findChild<BreakTimerMessageLabel *>()->lines().size(), 2);
    expectWholeOnScreen();
    expectEveryControlShown({QStringLiteral("Start Countdown"), QStringLiteral("15m")});
    EXPECT_TRUE(isWhollyShown(childNamed(panel(), QStringLiteral("Close break timer")),
                              QStringLiteral("close")));
}

// Beside a floating card, never over its title, time or buttons, and back in its place once
// they close.
TEST_P(BreakTimerOnScreen, TheSettingsOpenOnTheScreenBesideTheCard)
{
    const QRect home = panel().geometry();
    const QRect column = view().columnFrame();
    QAbstractButton *button = childNamed(panel(), QStringLiteral("Break timer settings"));
    ASSERT_NE(button, nullptr);
    button->click();
    OverlayPanel *settings = session->settingsPanel();
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen->geometry().contains(settings->frameGeometry()));
    expectWholeOnScreen();
    if (!isFullScreen()) {
        EXPECT_FALSE(settings->frameGeometry().intersects(panel().frameGeometry()));
    } else {
        // Beside the page's column, which holds its title, time and buttons, all still shown.
        const QRect moved = view().columnFrame().translated(panel().pos());
        EXPECT_FALSE(settings->frameGeometry().intersects(moved));
        EXPECT_TRUE(panel().geometry().contains(moved));
        expectEveryControlShown({QStringLiteral("Start Countdown"), QStringLiteral("15m")});
        EXPECT_TRUE(isWhollyShown(childNamed(panel(), QStringLiteral("Close break timer")),
                                  QStringLiteral("close")));
    }

    button->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(session->settingsPanel(), nullptr);
    EXPECT_EQ(panel().geometry(), home);
    EXPECT_EQ(view().columnFrame(), column);
}

std::string nameOf(const testing::TestParamInfo<std::tuple<Style, QString>> &info)
{
    const bool full = std::get<0>(info.param) == Style::fullScreen;
    return (full ? "FullScreenOn_" : "FloatingOn_") + std::get<1>(info.param).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Screens,
                         BreakTimerOnScreen,
                         testing::Combine(testing::Values(Style::floating, Style::fullScreen),
                                          testing::Values(QStringLiteral("monitor"),
                                                          QStringLiteral("projector"),
                                                          QStringLiteral("doubled"))),
                         nameOf);

TEST(BreakTimerOnLargeScreen, KeepsTheDesignSizes)
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    const QRect monitor = screenNamed(QStringLiteral("monitor"))->geometry();
    for (const Style style : {Style::floating, Style::fullScreen}) {
        preferences.setBreakTimerPresentationStyle(style);
        BreakTimerSession session(monitor,
                                  preferences,
                                  std::make_unique<FakeSoundPlayer>(),
                                  std::make_unique<FakeClock>(Timestamp{} + 1h),
                                  [] {});
        session.start();
        EXPECT_EQ(session.panel()->findChild<BreakTimerView *>()->metrics().scale, 1);
        if (style == Style::floating) {
            EXPECT_EQ(session.panel()->geometry(), QRect(710, 270, 500, 540));
        }
    }
}

} // namespace
