#pragma once

#include "common/geometry.h"

#include <optional>

namespace zentrel {

enum class PanelKind {
    toolbar,
    property,
    settings,
    // The break timer's floating countdown card.
    card,
};

inline constexpr double settingsPanelMinimumWidth = 260;
// What a toolbar keeps clear on either side of its screen, and a panel below its foot.
inline constexpr double panelScreenMargin = 8;
// Between the toolbar's foot and a panel that had to move down below it: as far as the settings
// panel's usual place lies below a toolbar of one row.
inline constexpr double panelBelowToolbarGap = 2;

// Where a floating panel of a feature run goes on its screen (top-left origin): the toolbar
// centred 40 below the top edge, the property panel 24 from the left and 100 below the top, the
// settings panel centred 96 below the top and never narrower than 260, the card centred on the
// screen. A toolbar or card is moved (never shrunk) to lie within its screen; one larger than the
// screen starts at its top-left corner, so its leading controls stay on it.
//
// A property or settings panel never lies over the run's toolbar (`toolbar`, where it has one):
// it moves down below the toolbar where the two would meet, and takes at most the height from
// there to the screen's foot (`panelHeightLimit`), the rest of its content scrolling.
RectF panelFrame(PanelKind kind,
                 const RectF &screen,
                 SizeF fittingSize,
                 const std::optional<RectF> &toolbar = std::nullopt);

// The tallest a property or settings panel of that width may be under the toolbar.
double panelHeightLimit(PanelKind kind,
                        const RectF &screen,
                        double width,
                        const std::optional<RectF> &toolbar = std::nullopt);

// The widest a toolbar may be on the screen; a wider one breaks into rows.
double toolbarWidthLimit(const RectF &screen);

// A floating card dropped after a drag fits the screen it was dropped on (`screen`) as if opened
// there, at that screen's `size`: the spot of the card under the pointer stays under it, as far
// as the new size allows, and the whole card lies on the screen, in whole pixels. `dropped` is
// where the drag left the card, at its old size.
RectF droppedCardFrame(const RectF &screen, const RectF &dropped, PointF pointer, SizeF size);

struct CardWithSettings
{
    RectF card;
    RectF settings;

    bool operator==(const CardWithSettings &) const = default;
};

// The settings panel of a floating card, such as the break timer's, goes beside the card, never
// over it: on the side with more room, level with the card's top, at most as tall as the screen
// allows, the rest of it scrolling. Where neither side has room for the panel, the card moves
// over, only as far as the panel needs, staying on the screen. A screen too narrow for both side
// by side keeps the card where it is and the panel in a settings panel's usual place.
CardWithSettings settingsBesideCard(const RectF &screen, const RectF &card, SizeF settingsSize);

// The settings panel of a full-screen page, such as the break timer's, goes beside the page's
// column of content as it would beside a card: the column moves over, and narrows where it must,
// down to `narrowestColumn`, keeping its middle. A screen too narrow for both side by side even
// then keeps the column as it is and the panel in a settings panel's usual place.
CardWithSettings settingsBesideColumn(const RectF &screen,
                                      const RectF &column,
                                      double narrowestColumn,
                                      SizeF settingsSize);

// The tallest the settings panel of that width may be beside the card.
double settingsHeightLimitBesideCard(const RectF &screen, const RectF &card, double width);

} // namespace zentrel
