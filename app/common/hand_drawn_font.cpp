#include "common/hand_drawn_font.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace zentrel {

namespace {

// Looked up once: asking the font database for every family costs far more than a text draw.
QString installedHandDrawnFamily()
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
    for (const QString &family : candidates) {
        if (installed.contains(family)) {
            return family;
        }
    }
    return {};
}

} // namespace

QFont handDrawnFont(double size)
{
    static const QString family = installedHandDrawnFamily();
    QFont font = family.isEmpty() ? QGuiApplication::font() : QFont(family);
    font.setPixelSize(std::max(1, qRound(size)));
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace zentrel
