#pragma once

#include "whiteboard/editor/whiteboard_editor_change.h"
#include "whiteboard/model/whiteboard_library.h"

namespace zentrel {

// What a view must redraw when the library goes from `before` to `after`. Elements compare by
// pointer: an unchanged element is shared between the two values, so this stays cheap, and an
// element rebuilt with equal fields only costs a spare redraw.
WhiteboardEditorChange libraryChanges(const WhiteboardLibrary &before,
                                      const WhiteboardLibrary &after);

} // namespace zentrel
