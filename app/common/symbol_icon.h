#pragma once

#include <QIcon>
#include <QString>

namespace zentrel {

// An icon by the symbol name the program uses for it: our own SVG when we ship one, else the
// desktop's icon theme.
QIcon symbolIcon(const QString &name);

} // namespace zentrel
