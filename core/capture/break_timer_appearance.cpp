#include "capture/break_timer_appearance.h"

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

// The desktop's usual colours of these names.
constexpr Color cyan{50 / 255.0, 173 / 255.0, 230 / 255.0, 1};
constexpr Color green{52 / 255.0, 199 / 255.0, 89 / 255.0, 1};
constexpr Color yellow{1.0, 204 / 255.0, 0.0, 1};
constexpr Color orange{1.0, 149 / 255.0, 0.0, 1};

// The model keeps the duration within 1…7200 s, so the truncation always fits.
int wholeSeconds(double configuredDuration)
{
    return std::isfinite(configuredDuration) ? static_cast<int>(configuredDuration) : 0;
}

} // namespace

BreakTimerStateAppearance breakTimerAppearance(BreakTimerState state)
{
    switch (state) {
    case BreakTimerState::idle:
        return {cyan, "Ready", "Choose a duration", true, "Start Countdown", "play.fill"};
    case BreakTimerState::running:
        return {green, "In progress", "Remaining", false, "Pause", "pause.fill"};
    case BreakTimerState::paused:
        return {yellow, "Paused", "Paused", false, "Resume", "play.fill"};
    case BreakTimerState::finished:
        return {orange, "Finished", "Break is over", true, "Start Again", "play.fill"};
    }
    return {};
}

double breakTimerProgress(BreakTimerState state, double remainingSeconds, double configuredDuration)
{
    if (state == BreakTimerState::finished) {
        return 1;
    }
    const double progress = 1 - remainingSeconds / std::max(configuredDuration, 1.0);
    return std::isnan(progress) ? 0 : std::clamp(progress, 0.0, 1.0);
}

bool isQuickDurationSelected(double configuredDuration, int minutes)
{
    const int seconds = wholeSeconds(configuredDuration);
    return seconds % 60 == 0 && seconds / 60 == minutes;
}

DurationChoice adjustedDuration(double configuredDuration, int deltaSeconds)
{
    const int adjusted = wholeSeconds(configuredDuration) + deltaSeconds;
    if (adjusted <= 0) {
        return {0, 1};
    }
    return {adjusted / 60, adjusted % 60};
}

bool canDecreaseDuration(double configuredDuration)
{
    return wholeSeconds(configuredDuration) > breakTimer::adjustStep;
}

bool canIncreaseDuration(double configuredDuration)
{
    const int seconds = wholeSeconds(configuredDuration);
    return !(seconds >= static_cast<int>(breakTimer::maximumDuration) && seconds % 60 == 0);
}

BreakTimerMetrics breakTimerMetrics(BreakTimerPresentationStyle style, double scale)
{
    constexpr BreakTimerMetrics fullScreen{
        64, 0, false, 30, 820, 42, 22, 720, 330, 18, 128, 12, 32, 15, 16, 12, 300};
    constexpr BreakTimerMetrics floating{
        24, 28, true, 16, 0, 36, 15, 390, 220, 13, 64, 7, 18, 12, 14, 10, 260};
    BreakTimerMetrics metrics =
        style == BreakTimerPresentationStyle::fullScreen ? fullScreen : floating;
    metrics.scale = scale;
    for (double *size : {&metrics.outerPadding,
                         &metrics.cornerRadius,
                         &metrics.columnSpacing,
                         &metrics.maximumColumnWidth,
                         &metrics.headerHeight,
                         &metrics.messageFontSize,
                         &metrics.messageMaximumWidth,
                         &metrics.ringDiameter,
                         &metrics.ringLineWidth,
                         &metrics.timeFontSize,
                         &metrics.timeStatusSpacing,
                         &metrics.ringPadding,
                         &metrics.statusFontSize,
                         &metrics.chooserSpacing,
                         &metrics.chipRowSpacing,
                         &metrics.startLabelWidth}) {
        *size *= scale;
    }
    return metrics;
}

} // namespace zentrel
