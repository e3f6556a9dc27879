#include "whiteboard/canvas/whiteboard_key_commands.h"

namespace zentrel {

std::optional<CanvasKeyCommand> canvasKeyCommand(char key, bool shift)
{
    switch (key) {
    case 'a':
        return CanvasKeyCommand::selectAll;
    case 'c':
        return CanvasKeyCommand::copy;
    case 'x':
        return CanvasKeyCommand::cut;
    case 'v':
        return CanvasKeyCommand::paste;
    case 'd':
        return CanvasKeyCommand::duplicate;
    case 'g':
        return shift ? CanvasKeyCommand::ungroup : CanvasKeyCommand::group;
    case ']':
        return shift ? CanvasKeyCommand::bringToFront : CanvasKeyCommand::bringForward;
    case '[':
        return shift ? CanvasKeyCommand::sendToBack : CanvasKeyCommand::sendBackward;
    case 'z':
        return shift ? CanvasKeyCommand::redo : CanvasKeyCommand::undo;
    case '=':
    case '+':
        return CanvasKeyCommand::zoomIn;
    case '-':
        return CanvasKeyCommand::zoomOut;
    case '0':
        return CanvasKeyCommand::resetView;
    default:
        return std::nullopt;
    }
}

std::optional<OverlayKeyCommand> overlayKeyCommand(char key, bool shift)
{
    switch (key) {
    case '=':
    case '+':
        return OverlayKeyCommand::zoomIn;
    case '-':
        return OverlayKeyCommand::zoomOut;
    case '0':
        return OverlayKeyCommand::resetView;
    case 'z':
        return shift ? OverlayKeyCommand::redo : OverlayKeyCommand::undo;
    case 'c':
        return OverlayKeyCommand::copyImage;
    case 's':
        return OverlayKeyCommand::saveImage;
    default:
        return std::nullopt;
    }
}

} // namespace zentrel
