#include "capture/break_timer/break_timer_session.h"

#include "app/child_widgets.h"
#include "capture/break_timer/break_timer_controls.h"
#include "capture/break_timer/break_timer_settings_view.h"
#include "capture/break_timer/break_timer_view.h"
#include "capture/break_timer_model.h"
#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_sound_player.h"
#include "panels/overlay_panel.h"
#include "shell/app_preferences.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

const QRect screen(0, 0, 1280, 800);

class BreakTimerSessionTest : public testing::Test
{
protected:
    BreakTimerSessionTest()
    {
        auto player = std::make_unique<FakeSoundPlayer>();
        auto fakeClock = std::make_unique<FakeClock>(Timestamp{} + 1000h);
        sound = player.get();
        clock = fakeClock.get();
        preferences.setBreakTimerDuration(2);
        session = std::make_unique<BreakTimerSession>(
            screen, preferences, std::move(player), std::move(fakeClock), [this] {
                ++closeRequests;
            });
    }

    BreakTimerModel &model() { return *session->model(); }

    // Lets the countdown run past its end; the pause sees the deadline gone and finishes.
    void runToTheEnd()
    {
        model().start();
        clock->advance(121s);
        model().pause();
        ASSERT_EQ(model().state(), BreakTimerState::finished);
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    FakeSoundPlayer *sound = nullptr;
    FakeClock *clock = nullptr;
    int closeRequests = 0;
    std::unique_ptr<BreakTimerSession> session;
};

TEST_F(BreakTimerSessionTest, StartShowsAnIdleCardOfThePreferredDuration)
{
    EXPECT_EQ(session->model(), nullptr);
    session->start();
    ASSERT_NE(session->model(), nullptr);
    EXPECT_EQ(model().state(), BreakTimerState::idle);
    EXPECT_EQ(model().configuredDuration(), 120);
    ASSERT_NE(session->panel(), nullptr);
    EXPECT_TRUE(session->panel()->isVisible());
    EXPECT_EQ(session->panel()->geometry(), QRect(390, 130, 500, 540));
    EXPECT_FALSE(session->panel()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));

    BreakTimerModel *first = session->model();
    session->start();
    EXPECT_EQ(session->model(), first);
}

TEST_F(BreakTimerSessionTest, ChimeLoopsAtTheEndAndStopsWhenTheCountdownLeavesIt)
{
    session->start();
    runToTheEnd();
    EXPECT_EQ(sound->calls, QStringList{QStringLiteral("start complete")});
    EXPECT_TRUE(session->isChiming());

    // Another minute for a finished countdown ends the chime at once.
    model().addMinute();
    EXPECT_EQ(model().state(), BreakTimerState::paused);
    EXPECT_FALSE(sound->isLooping);
    EXPECT_FALSE(session->isChiming());

    // So does choosing another duration, and starting again.
    model().resume();
    clock->advance(61s);
    model().pause();
    EXPECT_TRUE(sound->isLooping);
    model().setDurationMinutes(3, 0);
    EXPECT_FALSE(sound->isLooping);

    model().start();
    clock->advance(181s);
    model().pause();
    EXPECT_TRUE(sound->isLooping);
    model().start();
    EXPECT_FALSE(sound->isLooping);
    EXPECT_EQ(sound->calls.count(QStringLiteral("start complete")), 3);
}

TEST_F(BreakTimerSessionTest, BeepsEverySecondWhenNoSoundPlays)
{
    sound->canPlay = false;
    session->start();
    runToTheEnd();
    EXPECT_EQ(sound->beeps, 1);
    EXPECT_TRUE(session->isChiming());
    QTRY_COMPARE_WITH_TIMEOUT(sound->beeps, 2, 1500);

    model().addMinute();
    EXPECT_FALSE(session->isChiming());
}

TEST_F(BreakTimerSessionTest, EndsSilentlyWithTheChimeTurnedOff)
{
    preferences.setBreakTimerChime(false);
    session->start();
    runToTheEnd();
    EXPECT_TRUE(sound->calls.isEmpty());
    EXPECT_EQ(sound->beeps, 0);
}

TEST_F(BreakTimerSessionTest, StyleChangeRebuildsThePanelAndKeepsTheCountdown)
{
    session->start();
    model().start();
    clock->advance(10s);
    QAbstractButton *settings =
        childNamed(*session->panel(), QStringLiteral("Break timer settings"));
    ASSERT_NE(settings, nullptr);
    settings->click();
    ASSERT_NE(session->settingsPanel(), nullptr);
    EXPECT_EQ(static_cast<BreakTimerCircleButton *>(settings)->fillOpacity(), 0.22);

    QAbstractButton *fullScreen =
        childNamed(*session->settingsPanel(), QStringLiteral("Full screen"));
    ASSERT_NE(fullScreen, nullptr);
    const OverlayPanel *card = session->panel();
    fullScreen->click();
    EXPECT_EQ(preferences.breakTimerPresentationStyle(), BreakTimerPresentationStyle::fullScreen);
    QTRY_VERIFY(session->panel() != card);
    EXPECT_TRUE(session->panel()->windowState().testFlag(Qt::WindowFullScreen));
    EXPECT_EQ(session->settingsPanel(), nullptr);
    EXPECT_EQ(model().state(), BreakTimerState::running);
    EXPECT_EQ(model().deadline(), clock->now() + 110s);
}

TEST_F(BreakTimerSessionTest, EscapeOrTheCloseButtonAsksToClose)
{
    session->start();
    QTest::keyClick(session->panel(), Qt::Key_Escape);
    QTRY_VERIFY(closeRequests >= 1);

    const int before = closeRequests;
    QAbstractButton *close = childNamed(*session->panel(), QStringLiteral("Close break timer"));
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_EQ(closeRequests, before + 1);
}

TEST_F(BreakTimerSessionTest, CloseStopsTheChimeTheCountdownAndThePanels)
{
    session->start();
    runToTheEnd();
    OverlayPanel *panel = session->panel();
    session->close();
    EXPECT_FALSE(sound->isLooping);
    EXPECT_EQ(session->model(), nullptr);
    EXPECT_EQ(session->panel(), nullptr);
    EXPECT_FALSE(panel->isVisible());
    // Closing twice changes nothing, and a request after the close goes nowhere.
    session->close();
    EXPECT_EQ(sound->calls.count(QStringLiteral("stop")), 1);
    const int before = closeRequests;
    QAbstractButton *close = childNamed(*panel, QStringLiteral("Close break timer"));
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_EQ(closeRequests, before);
}

} // namespace
