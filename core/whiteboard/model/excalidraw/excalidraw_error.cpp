#include "whiteboard/model/excalidraw/excalidraw_error.h"

namespace zentrel {

std::string message(const ExcalidrawError &error)
{
    switch (error.kind) {
    case ExcalidrawError::Kind::notJson:
        return "The data couldn't be read because it isn't in the correct format. (" + error.detail
               + ")";
    case ExcalidrawError::Kind::notExcalidraw:
        return "The file couldn't be opened because it isn't in the correct format.";
    case ExcalidrawError::Kind::tooLarge:
        return "The file couldn't be opened because it is too large.";
    case ExcalidrawError::Kind::tooManyElements:
        return "The file couldn't be opened because it has more than " + error.detail
               + " elements.";
    case ExcalidrawError::Kind::tooManyPoints:
        return "The file couldn't be opened because its lines and strokes have more than "
               + error.detail + " points.";
    case ExcalidrawError::Kind::nestedTooDeeply:
        return "The file couldn't be opened because it is nested too deeply.";
    case ExcalidrawError::Kind::geometryOutOfRange:
        return "The file couldn't be opened because it isn't in the correct format. ("
               + error.detail + " is out of range)";
    case ExcalidrawError::Kind::numberNotEncodable:
        return "The board holds a number that cannot be written (" + error.detail + ").";
    }
    return {};
}

} // namespace zentrel
