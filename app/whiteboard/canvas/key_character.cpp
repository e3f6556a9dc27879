#include "whiteboard/canvas/key_character.h"

#include <Qt>

namespace zentrel {

std::optional<char> unshiftedKeyCharacter(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return static_cast<char>('a' + (qtKey - Qt::Key_A));
    }
    switch (qtKey) {
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return ']';
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return '[';
    case Qt::Key_Equal:
        return '=';
    case Qt::Key_Plus:
        return '+';
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return '-';
    case Qt::Key_0:
    case Qt::Key_ParenRight:
        return '0';
    default:
        return std::nullopt;
    }
}

} // namespace zentrel
