#include "panels/toolbar/toolbar_settings_button.h"

#include "common/symbol_icon.h"
#include "overlay/overlay_settings_model.h"

namespace zentrel {

ToolbarSettingsButton::ToolbarSettingsButton(OverlaySettingsModel &settingsModel,
                                             const QString &label,
                                             QWidget *parent)
    : ToolbarSelectionButton(parent)
{
    setIcon(symbolIcon(QStringLiteral("slider.horizontal.3")));
    setToolTip(label);
    setAccessibleName(label);
    setSelected(settingsModel.isSettingsVisible());
    m_settingsConnection = settingsModel.changed.connect(
        [this, &settingsModel] { setSelected(settingsModel.isSettingsVisible()); });
}

} // namespace zentrel
