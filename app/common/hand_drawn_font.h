#pragma once

#include <QFont>

namespace zentrel {

// The first installed hand-drawn family of a fixed list ("Virgil" first among those we may
// ship), else the regular system font; always at the given pixel size.
QFont handDrawnFont(double size);

} // namespace zentrel
