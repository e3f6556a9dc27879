#include "overlay/panel_placement.h"

#include <algorithm>

namespace zentrel {

namespace {

RectF placedFrame(PanelKind kind, const RectF &screen, SizeF fittingSize)
{
    const double centreX = screen.x + screen.width / 2;
    switch (kind) {
    case PanelKind::toolbar:
        return RectF{
            centreX - fittingSize.width / 2, screen.y + 40, fittingSize.width, fittingSize.height};
    case PanelKind::property:
        return RectF{screen.x + 24, screen.y + 100, fittingSize.width, fittingSize.height};
    case PanelKind::settings: {
        const double width = std::max(fittingSize.width, settingsPanelMinimumWidth);
        return RectF{centreX - width / 2, screen.y + 96, width, fittingSize.height};
    }
    case PanelKind::card:
        return RectF{centreX - fittingSize.width / 2,
                     screen.y + screen.height / 2 - fittingSize.height / 2,
                     fittingSize.width,
                     fittingSize.height};
    }
    return RectF{};
}

// Moves start in so that [start, start + length) lies within [low, low + room); what cannot fit
// starts at low.
double movedInside(double start, double length, double low, double room)
{
    return std::max(low, std::min(start, low + room - length));
}

bool hangsBelowToolbar(PanelKind kind)
{
    return kind == PanelKind::property || kind == PanelKind::settings;
}

// The frame of a panel that hangs below the toolbar, before its height is limited: in its place
// across the screen, and below the toolbar where their spans across the screen meet.
RectF frameBelowToolbar(PanelKind kind,
                        const RectF &screen,
                        SizeF fittingSize,
                        const std::optional<RectF> &toolbar)
{
    RectF frame = placedFrame(kind, screen, fittingSize);
    frame.x = movedInside(frame.x, frame.width, screen.x, screen.width);
    if (toolbar && frame.x < maxX(*toolbar) && minX(*toolbar) < frame.x + frame.width) {
        frame.y = std::max(frame.y, maxY(*toolbar) + panelBelowToolbarGap);
    }
    return frame;
}

} // namespace

RectF panelFrame(PanelKind kind,
                 const RectF &screen,
                 SizeF fittingSize,
                 const std::optional<RectF> &toolbar)
{
    if (hangsBelowToolbar(kind)) {
        RectF frame = frameBelowToolbar(kind, screen, fittingSize, toolbar);
        frame.height =
            std::min(frame.height, panelHeightLimit(kind, screen, fittingSize.width, toolbar));
        return frame;
    }
    RectF frame = placedFrame(kind, screen, fittingSize);
    frame.x = movedInside(frame.x, frame.width, screen.x, screen.width);
    frame.y = movedInside(frame.y, frame.height, screen.y, screen.height);
    return frame;
}

double panelHeightLimit(PanelKind kind,
                        const RectF &screen,
                        double width,
                        const std::optional<RectF> &toolbar)
{
    const RectF frame = frameBelowToolbar(kind, screen, {width, 0}, toolbar);
    return std::max(0.0, maxY(screen) - panelScreenMargin - frame.y);
}

double toolbarWidthLimit(const RectF &screen)
{
    return std::max(0.0, screen.width - 2 * panelScreenMargin);
}

} // namespace zentrel
