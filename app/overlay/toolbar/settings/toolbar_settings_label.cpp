#include "overlay/toolbar/settings/toolbar_settings_label.h"

#include "overlay/toolbar/toolbar_style.h"

namespace zentrel {

namespace {

constexpr int titlePixelSize = 11;

} // namespace

ToolbarSettingsLabel::ToolbarSettingsLabel(const QString &title, QWidget *parent)
    : QLabel(title.toUpper(), parent)
{
    setFont(toolbarFont(*this, titlePixelSize, QFont::DemiBold));
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, toolbarSecondaryColor(colors));
    setPalette(colors);
}

} // namespace zentrel
