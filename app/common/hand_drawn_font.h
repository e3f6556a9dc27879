#pragma once

#include <QFont>

namespace zentrel {

// The first installed family of a fixed list of hand-drawn fonts ("Virgil", which Zentrel ships,
// first among those it may find), else the regular system font; always at the given pixel size.
QFont handDrawnFont(double size);

// The hand-drawn font of that family ("Virgil", "Excalifont", both shipped with Zentrel) when it
// is installed, else the one above.
QFont handDrawnFont(const QString &family, double size);

} // namespace zentrel
