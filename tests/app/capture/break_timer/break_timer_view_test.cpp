#include "capture/break_timer/break_timer_view.h"

#include "app/child_widgets.h"
#include "capture/break_timer/break_timer_controls.h"
#include "capture/break_timer/break_timer_ring.h"
#include "capture/break_timer/break_timer_settings_view.h"
#include "capture/break_timer_model.h"
#include "capture/color_well_button.h"
#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_scheduler.h"
#include "overlay/overlay_settings_model.h"
#include "panels/toolbar/settings/toolbar_toggle_row.h"
#include "shell/app_preferences.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <chrono>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

// The visible button whose title is text.
QAbstractButton *titled(const QWidget &root, const QString &text)
{
    for (auto *candidate : root.findChildren<QAbstractButton *>()) {
        if (candidate->text() == text && candidate->isVisibleTo(&root)) {
            return candidate;
        }
    }
    return nullptr;
}

class BreakTimerViewTest : public testing::Test
{
protected:
    BreakTimerViewTest() { view.show(); }

    const BreakTimerRing::Content &ring() const
    {
        return view.findChild<BreakTimerRing *>()->content();
    }

    QStringList selectedChips() const
    {
        QStringList chips;
        for (auto *chip : view.findChildren<BreakTimerCapsuleButton *>()) {
            if (chip->isCheckable() && chip->isChecked()) {
                chips << chip->text();
            }
        }
        return chips;
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    FakeClock clock{Timestamp{} + 1000h};
    FakeScheduler scheduler;
    BreakTimerModel model{300, "Short break", clock, scheduler};
    OverlaySettingsModel settingsModel;
    BreakTimerView view{model, preferences, BreakTimerPresentationStyle::floating, settingsModel};
};

TEST_F(BreakTimerViewTest, ChipsAndFineAdjustChooseTheDuration)
{
    EXPECT_EQ(view.size(), QSize(500, 540));
    EXPECT_EQ(selectedChips(), QStringList{QStringLiteral("5m")});
    EXPECT_EQ(view.findChild<BreakTimerBadge *>()->title(), QStringLiteral("Ready"));
    EXPECT_EQ(ring().time, QStringLiteral("05:00"));
    EXPECT_EQ(ring().status, QStringLiteral("Choose a duration"));

    childNamed(view, QStringLiteral("Decrease duration by 30 seconds"))->click();
    EXPECT_EQ(model.configuredDuration(), 270);
    EXPECT_TRUE(selectedChips().isEmpty());
    bool showsCustomTime = false;
    for (auto *label : view.findChildren<QLabel *>()) {
        showsCustomTime = showsCustomTime || label->text() == QStringLiteral("04:30");
    }
    EXPECT_TRUE(showsCustomTime);

    childNamed(view, QStringLiteral("Set 15 minutes"))->click();
    EXPECT_EQ(model.configuredDuration(), 900);
    EXPECT_EQ(selectedChips(), QStringList{QStringLiteral("15m")});
}

TEST_F(BreakTimerViewTest, AdjustButtonsStopAtTheirLimits)
{
    auto *decrease = childNamed(view, QStringLiteral("Decrease duration by 30 seconds"));
    auto *increase = childNamed(view, QStringLiteral("Increase duration by 30 seconds"));
    model.setDurationMinutes(0, 31);
    EXPECT_TRUE(decrease->isEnabled());
    decrease->click();
    EXPECT_EQ(model.configuredDuration(), 1);
    EXPECT_FALSE(decrease->isEnabled());
    EXPECT_EQ(static_cast<BreakTimerCircleButton *>(decrease)->fillOpacity(), 0.05);

    model.setDurationMinutes(119, 50);
    increase->click();
    EXPECT_EQ(model.configuredDuration(), 7200);
    EXPECT_FALSE(increase->isEnabled());
}

TEST_F(BreakTimerViewTest, ControlsFollowTheStateAndDriveTheModel)
{
    titled(view, QStringLiteral("Start Countdown"))->click();
    EXPECT_EQ(model.state(), BreakTimerState::running);
    EXPECT_EQ(view.findChild<BreakTimerBadge *>()->title(), QStringLiteral("In progress"));
    EXPECT_EQ(titled(view, QStringLiteral("Start Countdown")), nullptr);

    clock.advance(75s);
    scheduler.advance(200ms);
    EXPECT_DOUBLE_EQ(ring().progress, 0.25);
    EXPECT_EQ(ring().time, QStringLiteral("03:45"));

    titled(view, QStringLiteral("Pause"))->click();
    EXPECT_EQ(model.state(), BreakTimerState::paused);
    childNamed(view, QStringLiteral("Add one minute"))->click();
    EXPECT_DOUBLE_EQ(model.remainingSeconds(), 285);
    titled(view, QStringLiteral("Resume"))->click();
    EXPECT_EQ(model.state(), BreakTimerState::running);

    clock.advance(300s);
    scheduler.advance(200ms);
    EXPECT_EQ(model.state(), BreakTimerState::finished);
    EXPECT_EQ(ring().progress, 1);
    EXPECT_EQ(ring().status, QStringLiteral("Break is over"));
    EXPECT_NE(titled(view, QStringLiteral("Start Again")), nullptr);
}

TEST_F(BreakTimerViewTest, ShowsTheLivePreferencesAndTheSettingsState)
{
    preferences.setBreakTimerMessage("Back at ten");
    EXPECT_EQ(view.findChild<BreakTimerMessageLabel *>()->message(), QStringLiteral("Back at ten"));
    preferences.setBreakTimerTextColor({1, 0, 0, 1});
    EXPECT_EQ(ring().textColor, QColor(255, 0, 0));

    auto *settings = static_cast<BreakTimerCircleButton *>(
        childNamed(view, QStringLiteral("Break timer settings")));
    QSignalSpy toggles(&view, &BreakTimerView::toggleSettingsRequested);
    settings->click();
    EXPECT_EQ(toggles.count(), 1);
    EXPECT_EQ(settings->fillOpacity(), 0.08);
    settingsModel.setSettingsVisible(true);
    EXPECT_EQ(settings->fillOpacity(), 0.22);
}

TEST(BreakTimerMessageLabel, ShrinksThenCutsALongMessageToTwoLines)
{
    BreakTimerMessageLabel label(15, 200);
    label.setMessage(QStringLiteral("Short break"), Qt::white);
    EXPECT_EQ(label.lines(), QStringList{QStringLiteral("Short break")});
    label.setMessage(QString(40, QLatin1Char('w'))
                         .append(QStringLiteral(" and then some more words "))
                         .repeated(4),
                     Qt::white);
    ASSERT_EQ(label.lines().size(), 2);
    EXPECT_TRUE(label.lines().last().endsWith(QChar(0x2026)));
}

TEST(BreakTimerSettingsView, EditsTheBreakTimerPreferences)
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences(defaults);
    BreakTimerSettingsView view(preferences);

    auto *presets = view.findChild<QComboBox *>();
    ASSERT_NE(presets, nullptr);
    EXPECT_EQ(presets->currentText(), QStringLiteral("Short break"));
    Q_EMIT presets->activated(2);
    EXPECT_EQ(preferences.breakTimerMessage(), "Q&A starts soon");
    EXPECT_EQ(defaults.storedValue("breakTimer.message"), nlohmann::json("Q&A starts soon"));
    EXPECT_EQ(view.findChild<QLineEdit *>()->text(), QStringLiteral("Q&A starts soon"));

    childNamed(view, QStringLiteral("Full screen"))->click();
    EXPECT_EQ(preferences.breakTimerPresentationStyle(), BreakTimerPresentationStyle::fullScreen);

    const auto wells = view.findChildren<ColorWellButton *>();
    ASSERT_EQ(wells.size(), 2);
    Q_EMIT wells[0]->colorPicked(QColor(0, 0, 255));
    EXPECT_EQ(defaults.storedValue("breakTimer.backgroundColor"), nlohmann::json("#0000FF"));

    auto *chime = view.findChild<ToolbarToggleRow *>();
    ASSERT_NE(chime, nullptr);
    EXPECT_TRUE(chime->isChecked());
    chime->click();
    EXPECT_FALSE(preferences.breakTimerChime());
}

} // namespace
