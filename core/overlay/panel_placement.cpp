#include "overlay/panel_placement.h"

#include <algorithm>

namespace zentrel {

RectF panelFrame(PanelKind kind, const RectF &screen, SizeF fittingSize)
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

} // namespace zentrel
