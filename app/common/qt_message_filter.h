#pragma once

#include <QtGlobal>

class QString;

namespace zentrel {

// Whether Qt's message is one that says nothing its user can act on: that a fallback font has
// no shaping tables for a script (Qt says so for every font it tries, hundreds of lines for a
// Devanagari word), which it then draws as well as it can.
bool isQtFontNoise(QtMsgType type, const QString &message);

// Leaves out Qt's messages of the kind above and hands every other one to the handler that was
// installed before, Qt's own by default. Once, before the application is made.
void installQtMessageFilter();

} // namespace zentrel
