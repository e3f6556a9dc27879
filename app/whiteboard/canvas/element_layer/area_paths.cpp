#include "whiteboard/canvas/element_layer/area_paths.h"

namespace zentrel {

// Qt (6.4) builds a path's paint data on its first fill, unguarded, in data that its copies
// share: two threads filling copies of one path for the first time would build it at once.
// Moving a point to where it is gives a copy data of its own. Needless once Qt guards that data.
QPainterPath pathToFill(const QPainterPath &path, AreaPaths paths)
{
    QPainterPath copy = path;
    if (paths == AreaPaths::ownCopies && copy.elementCount() > 0) {
        const QPainterPath::Element first = copy.elementAt(0);
        copy.setElementPositionAt(0, first.x, first.y);
    }
    return copy;
}

} // namespace zentrel
