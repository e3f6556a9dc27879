#pragma once

#include <QList>
#include <QTextLayout>

class QString;

namespace zentrel {

// Formats that show each emoji of `text` (see emojiRuns) in the colour emoji font the desktop
// shows emoji in, at `pixelSize`, as its own text does; none where no colour emoji font is
// installed. Qt alone shows 😀 or ❤️ from the first text font that has them, in black.
QList<QTextLayout::FormatRange> emojiFormats(const QString &text, int pixelSize);

} // namespace zentrel
