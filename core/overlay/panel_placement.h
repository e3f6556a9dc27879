#pragma once

#include "common/geometry.h"

namespace zentrel {

enum class PanelKind {
    toolbar,
    property,
    settings,
    // The break timer's floating countdown card.
    card,
};

inline constexpr double settingsPanelMinimumWidth = 260;

// Where a floating panel of a feature run goes on its screen (top-left origin): the toolbar
// centred 40 below the top edge, the property panel 24 from the left and 100 below the top, the
// settings panel centred 96 below the top and never narrower than 260, the card centred on the
// screen. A panel is moved (never shrunk) to lie within its screen; one larger than the screen
// starts at its top-left corner, so its leading controls stay on it.
RectF panelFrame(PanelKind kind, const RectF &screen, SizeF fittingSize);

} // namespace zentrel
