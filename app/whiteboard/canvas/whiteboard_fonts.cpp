#include "whiteboard/canvas/whiteboard_fonts.h"

#include "common/hand_drawn_font.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>

namespace zentrel {

QFont whiteboardFont(WhiteboardFontFamily family, double size)
{
    QFont font;
    switch (family) {
    case WhiteboardFontFamily::system:
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        break;
    case WhiteboardFontFamily::monospace:
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setWeight(QFont::Normal);
        break;
    case WhiteboardFontFamily::handDrawn:
        return handDrawnFont(size);
    }
    font.setPixelSize(std::max(1, qRound(size)));
    return font;
}

TextMeasurer whiteboardTextMeasurer()
{
    return [](std::string_view text, WhiteboardFontFamily family, double fontSize) {
        const QFontMetricsF metrics(whiteboardFont(family, fontSize));
        const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return SizeF{metrics.horizontalAdvance(string), metrics.height()};
    };
}

} // namespace zentrel
