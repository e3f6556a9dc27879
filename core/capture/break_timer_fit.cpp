#include "capture/break_timer_fit.h"

#include "capture/break_timer_appearance.h"

#include <algorithm>

namespace zentrel {
namespace {

constexpr SizeF floatingCardSize{500, 540};
// In ems: above the line spacing of the usual desktop fonts (DejaVu Sans 1.16, Noto Sans 1.36),
// so a message that wraps onto its second line still fits.
constexpr double messageLineSpacing = 1.4;
constexpr int messageLineLimit = 2;

} // namespace

SizeF breakTimerDesignSize(BreakTimerPresentationStyle style)
{
    if (style == BreakTimerPresentationStyle::floating) {
        return floatingCardSize;
    }
    const BreakTimerMetrics metrics = breakTimerMetrics(style);
    const double message = messageLineLimit * messageLineSpacing * metrics.messageFontSize;
    const double fineAdjustRow =
        breakTimer::adjustButtonSize + 2 * breakTimer::fineAdjustVerticalPadding;
    const double chooser = breakTimer::startButtonHeight + metrics.chooserSpacing
                           + breakTimer::chipHeight + metrics.chipRowSpacing + fineAdjustRow;
    // Header, message, ring and lower area, with the column's spacing between them.
    const double column =
        metrics.headerHeight + message + metrics.ringDiameter + chooser + 3 * metrics.columnSpacing;
    return {metrics.maximumColumnWidth + 2 * metrics.outerPadding,
            column + 2 * metrics.outerPadding};
}

double fittingScale(SizeF design, SizeF available)
{
    const double scale = std::min(available.width / design.width, available.height / design.height);
    // Also for a design of no size, or sizes that are not numbers: nothing to shrink.
    if (!(scale < 1)) {
        return 1;
    }
    return std::max(scale, breakTimer::minimumScale);
}

double breakTimerScale(BreakTimerPresentationStyle style, SizeF screen)
{
    SizeF available = screen;
    if (style == BreakTimerPresentationStyle::floating) {
        available.width -= 2 * breakTimer::floatingScreenMargin;
        available.height -= 2 * breakTimer::floatingScreenMargin;
    }
    return fittingScale(breakTimerDesignSize(style), available);
}

} // namespace zentrel
