#pragma once

#include "common/signal.h"

namespace zentrel {

// Whether the running feature's settings panel is shown; shared by the controller, which opens
// and closes the panel, and the toolbar, whose settings button shows it as selected.
class OverlaySettingsModel
{
public:
    bool isSettingsVisible() const { return m_isSettingsVisible; }

    void setSettingsVisible(bool visible)
    {
        if (visible != m_isSettingsVisible) {
            m_isSettingsVisible = visible;
            changed.notify();
        }
    }

    Signal<> changed;

private:
    bool m_isSettingsVisible = false;
};

} // namespace zentrel
