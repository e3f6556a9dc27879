#include "overlay/panel_placement.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    return movedInside(placedFrame(kind, screen, fittingSize), screen);
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

RectF droppedCardFrame(const RectF &screen, const RectF &dropped, PointF pointer, SizeF size)
{
    return movedInside(resizedAbout(dropped, pointer, size), screen);
}

CardWithSettings settingsBesideCard(const RectF &screen, const RectF &card, SizeF settingsSize)
{
    const double width = std::max(settingsSize.width, settingsPanelMinimumWidth);
    const double low = screen.x + panelScreenMargin;
    const double room = screen.width - 2 * panelScreenMargin;
    // As far from the card as from the screen's edge.
    const double besideCard = panelScreenMargin + width;
    if (card.width + besideCard > room) {
        return {card, panelFrame(PanelKind::settings, screen, settingsSize)};
    }
    RectF moved = card;
    moved.x = movedInside(card.x, card.width, low, room);
    const double roomAfter = low + room - maxX(moved);
    const double roomBefore = moved.x - low;
    double settingsX = 0;
    if (roomAfter >= roomBefore) {
        moved.x = std::min(moved.x, low + room - besideCard - moved.width);
        settingsX = maxX(moved) + panelScreenMargin;
    } else {
        moved.x = std::max(moved.x, low + besideCard);
        settingsX = moved.x - besideCard;
    }
    const double heightRoom = std::max(0.0, screen.height - 2 * panelScreenMargin);
    const double height = std::min(settingsSize.height, heightRoom);
    const double y = movedInside(moved.y, height, screen.y + panelScreenMargin, heightRoom);
    return {moved, RectF{settingsX, y, width, height}};
}

CardWithSettings settingsBesideColumn(const RectF &screen,
                                      const RectF &column,
                                      double narrowestColumn,
                                      SizeF settingsSize)
{
    const double room = screen.width - 2 * panelScreenMargin;
    const double besideColumn =
        panelScreenMargin + std::max(settingsSize.width, settingsPanelMinimumWidth);
    const double widest = std::floor(room - besideColumn);
    if (column.width <= widest || narrowestColumn > widest) {
        return settingsBesideCard(screen, column, settingsSize);
    }
    const RectF narrowed{
        std::floor(column.x + (column.width - widest) / 2), column.y, widest, column.height};
    return settingsBesideCard(screen, narrowed, settingsSize);
}

double settingsHeightLimitBesideCard(const RectF &screen, const RectF &card, double width)
{
    const SizeF tallest{width, std::numeric_limits<double>::infinity()};
    return settingsBesideCard(screen, card, tallest).settings.height;
}

} // namespace zentrel
