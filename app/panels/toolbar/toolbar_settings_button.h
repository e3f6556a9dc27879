#pragma once

#include "common/signal.h"
#include "panels/toolbar/toolbar_selection_button.h"

namespace zentrel {

class OverlaySettingsModel;

// The settings button of a feature's toolbar: the "slider.horizontal.3" symbol, selected while
// the feature's settings panel shows, whoever opened or closed it. The label is its help text
// and accessibility label, such as "Spotlight settings".
class ToolbarSettingsButton : public ToolbarSelectionButton
{
    Q_OBJECT

public:
    ToolbarSettingsButton(OverlaySettingsModel &settingsModel,
                          const QString &label,
                          QWidget *parent = nullptr);

private:
    ScopedConnection m_settingsConnection;
};

} // namespace zentrel
