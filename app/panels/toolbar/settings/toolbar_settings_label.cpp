#include "panels/toolbar/settings/toolbar_settings_label.h"

#include "panels/panel_style.h"

namespace zentrel {

namespace {

constexpr int titlePixelSize = 11;

} // namespace

ToolbarSettingsLabel::ToolbarSettingsLabel(const QString &title, QWidget *parent)
    : QLabel(title.toUpper(), parent)
{
    setFont(panelFont(*this, titlePixelSize, QFont::DemiBold));
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, panelSecondaryColor(colors));
    setPalette(colors);
}

} // namespace zentrel
