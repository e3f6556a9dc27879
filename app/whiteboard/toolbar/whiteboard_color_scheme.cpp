#include "whiteboard/toolbar/whiteboard_color_scheme.h"

#include "whiteboard/model/whiteboard_board.h"

namespace zentrel {

bool prefersDarkScheme(const WhiteboardBoard &board)
{
    return board.background.kind == WhiteboardBackground::Kind::black;
}

QPalette whiteboardSchemePalette(bool dark)
{
    const QColor window = dark ? QColor(0x2B, 0x2B, 0x2E) : QColor(0xF2, 0xF2, 0xF4);
    const QColor text = dark ? QColor(0xF2, 0xF2, 0xF2) : QColor(0x1E, 0x1E, 0x1E);
    const QColor base = dark ? QColor(0x1E, 0x1E, 0x20) : QColor(Qt::white);
    const QColor accent = dark ? QColor(0x0A, 0x84, 0xFF) : QColor(0x00, 0x7A, 0xFF);
    QPalette palette(text, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(text.red(), text.green(), text.blue(), 110));
    const QColor disabledText(text.red(), text.green(), text.blue(), 100);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, disabledText);
    }
    return palette;
}

} // namespace zentrel
