#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace zentrel {

// The size of the ink of `text` at `pixelSize` in a font file (the default font when the name is
// empty), as the text_ink tool measures it; an empty size when it could not.
QSize measuredInk(const QString &fontFile, int pixelSize, const QString &text);

// The bounds of the dark pixels in area: the ink of dark text on a white board.
QRect inkIn(const QImage &screen, const QRect &area);

// The bounds of each band of rows in area that hold dark pixels, top to bottom, with no dark
// pixel between two bands: the rows of a dark text on a white board.
std::vector<QRect> inkRowsIn(const QImage &screen, const QRect &area);

} // namespace zentrel
