#include "whiteboard/toolbar/whiteboard_button_styles.h"

#include "panels/panel_style.h"

namespace zentrel {

namespace {

constexpr double selectedOpacity = 0.16;

QColor styleForeground(const QPalette &palette, bool isSelected)
{
    return isSelected ? panelAccentColor(palette) : panelPrimaryColor(palette);
}

QColor styleBackground(const QPalette &palette,
                       bool isSelected,
                       bool isPressed,
                       double pressedOpacity,
                       double restingOpacity)
{
    if (isSelected) {
        return withOpacity(panelAccentColor(palette), selectedOpacity);
    }
    return withOpacity(panelPrimaryColor(palette), isPressed ? pressedOpacity : restingOpacity);
}

} // namespace

QColor WhiteboardCompactButtonStyle::foreground(const QPalette &palette) const
{
    return styleForeground(palette, isSelected);
}

QColor WhiteboardCompactButtonStyle::background(const QPalette &palette, bool isPressed) const
{
    return styleBackground(palette, isSelected, isPressed, 0.09, 0);
}

QColor WhiteboardPropertyButtonStyle::foreground(const QPalette &palette) const
{
    return styleForeground(palette, isSelected);
}

QColor WhiteboardPropertyButtonStyle::background(const QPalette &palette, bool isPressed) const
{
    return styleBackground(palette, isSelected, isPressed, 0.12, 0.06);
}

} // namespace zentrel
