#pragma once

#include <QFont>

namespace zentrel {

// The first installed family of a fixed list of hand-drawn fonts ("Virgil", which Zentrel ships,
// first among those it may find), else the regular system font; always at the given pixel size.
QFont handDrawnFont(double size);

} // namespace zentrel
