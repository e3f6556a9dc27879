#include "whiteboard/canvas/whiteboard_fonts.h"

#include "common/hand_drawn_font.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>
#include <map>
#include <utility>

namespace zentrel {

namespace {

QFont makeFont(WhiteboardFontFamily family, double size)
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

} // namespace

// Fonts come in few families and sizes, while resolving one costs more than laying out a short
// text, so each is made once per thread that asks for it.
QFont whiteboardFont(WhiteboardFontFamily family, double size)
{
    thread_local std::map<std::pair<WhiteboardFontFamily, int>, QFont> fonts;
    const std::pair key{family, std::max(1, qRound(size))};
    const auto found = fonts.find(key);
    if (found != fonts.end()) {
        return found->second;
    }
    return fonts.emplace(key, makeFont(family, size)).first->second;
}

Qt::Alignment qtAlignment(WhiteboardTextAlignment alignment)
{
    switch (alignment) {
    case WhiteboardTextAlignment::center:
        return Qt::AlignHCenter;
    case WhiteboardTextAlignment::right:
        return Qt::AlignRight;
    case WhiteboardTextAlignment::left:
        break;
    }
    return Qt::AlignLeft;
}

TextMeasurer whiteboardTextMeasurer()
{
    return [](std::string_view text, WhiteboardFontFamily family, double fontSize) {
        const QFontMetricsF metrics(whiteboardFont(family, fontSize));
        const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        const QSizeF size = metrics.size(0, string); // one line per "\n"
        return SizeF{size.width(), size.height()};
    };
}

} // namespace zentrel
