#pragma once

#include "capture/break_timer_model.h"
#include "common/color.h"
#include "shell/break_timer_presentation_style.h"

#include <array>
#include <string_view>

namespace zentrel {

namespace breakTimer {
// The quick-choice durations of the countdown view, in minutes, in display order.
constexpr std::array<int, 4> quickDurations{3, 5, 10, 15};
constexpr int adjustStep = 30; // seconds per − / + press
// Design sizes, in points, that both presentations share.
constexpr double startButtonHeight = 44;
constexpr double chipHeight = 32;
constexpr double adjustButtonSize = 48;
constexpr double fineAdjustVerticalPadding = 10;
} // namespace breakTimer

// What the countdown view shows for a state: the accent of its badge and ring, the badge title
// (shown in upper case), the line under the time, and which lower area it offers.
struct BreakTimerStateAppearance
{
    Color accent;
    std::string_view badgeTitle;
    std::string_view statusLine;
    // The duration chooser with its start button, rather than pause/resume and "+1 min".
    bool isChoosing = false;
    // The start button's title while choosing, the pause/resume button's otherwise.
    std::string_view primaryTitle;
    std::string_view primarySymbol;
};

BreakTimerStateAppearance breakTimerAppearance(BreakTimerState state);

// How much of the ring is drawn, 0…1: full once finished, otherwise the share of the configured
// duration that has passed (nothing when more remains than was configured).
double
breakTimerProgress(BreakTimerState state, double remainingSeconds, double configuredDuration);

// A chip is selected when the configured duration is exactly its whole minutes.
bool isQuickDurationSelected(double configuredDuration, int minutes);

struct DurationChoice
{
    int minutes = 0;
    int seconds = 0;

    friend bool operator==(const DurationChoice &, const DurationChoice &) = default;
};

// The duration after − or + 30 s, as the minutes and seconds handed to the model; never below
// one second (the model clamps the top).
DurationChoice adjustedDuration(double configuredDuration, int deltaSeconds);
bool canDecreaseDuration(double configuredDuration);
bool canIncreaseDuration(double configuredDuration);

// The sizes, in points, that differ between the floating card and the full-screen page, already
// multiplied by `scale`.
struct BreakTimerMetrics
{
    double outerPadding;
    double cornerRadius;
    bool hasBorder;
    double columnSpacing;
    double maximumColumnWidth; // 0: the card's full inner width
    double headerHeight;
    double messageFontSize;
    double messageMaximumWidth;
    double ringDiameter;
    double ringLineWidth;
    double timeFontSize;
    double timeStatusSpacing;
    double ringPadding;
    double statusFontSize;
    double chooserSpacing;
    double chipRowSpacing;
    double startLabelWidth;
    // What the design's sizes were multiplied by to fit the screen: the view's other sizes,
    // fonts included, follow it so the design keeps its proportions.
    double scale = 1;
};

BreakTimerMetrics breakTimerMetrics(BreakTimerPresentationStyle style, double scale = 1);

} // namespace zentrel
