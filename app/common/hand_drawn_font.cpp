#include "common/hand_drawn_font.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace zentrel {

QFont handDrawnFont(double size)
{
    static const QStringList candidates{
        QStringLiteral("Virgil3YOFF"),
        QStringLiteral("Virgil"),
        QStringLiteral("Virgil 3 YOFF"),
        QStringLiteral("Virgil-Regular"),
        QStringLiteral("ChalkboardSE-Regular"),
        QStringLiteral("Noteworthy-Light"),
        QStringLiteral("MarkerFelt-Thin"),
        QStringLiteral("Chalkboard SE"),
        QStringLiteral("Noteworthy"),
        QStringLiteral("Marker Felt"),
    };
    const QStringList installed = QFontDatabase::families();
    QFont font = QGuiApplication::font();
    for (const QString &family : candidates) {
        if (installed.contains(family)) {
            font = QFont(family);
            break;
        }
    }
    font.setPixelSize(std::max(1, qRound(size)));
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace zentrel
