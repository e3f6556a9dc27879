#pragma once

#include "whiteboard/editor/commands/whiteboard_clipboard.h"

class QMimeData;

namespace zentrel {

// The whiteboard's clipboard entries as the desktop's clipboard carries them: our element JSON
// under its own type, the Excalidraw document as plain text, the SVG as image/svg+xml.
QMimeData *toMimeData(const WhiteboardClipboardContents &contents);
WhiteboardClipboardContents fromMimeData(const QMimeData &data);

} // namespace zentrel
