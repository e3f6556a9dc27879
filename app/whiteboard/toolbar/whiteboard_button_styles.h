#pragma once

#include <QColor>

class QPalette;

namespace zentrel {

// The two looks of the whiteboard's buttons. A selected button shows the accent colour, pressed
// or not; a resting compact button has no tile at all, a resting property button a faint one.

// Every button of the toolbar strip.
struct WhiteboardCompactButtonStyle
{
    bool isSelected = false;

    static constexpr int padding = 5;

    QColor foreground(const QPalette &palette) const;
    // Transparent when neither selected nor pressed.
    QColor background(const QPalette &palette, bool isPressed) const;
};

// The choice buttons of the property panel.
struct WhiteboardPropertyButtonStyle
{
    bool isSelected = false;

    static constexpr int padding = 0;

    QColor foreground(const QPalette &palette) const;
    QColor background(const QPalette &palette, bool isPressed) const;
};

// Both styles draw their tile as a rounded rectangle of this radius.
inline constexpr qreal whiteboardButtonCornerRadius = 8;

} // namespace zentrel
