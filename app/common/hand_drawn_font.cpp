#include "common/hand_drawn_font.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <atomic>

namespace zentrel {

namespace {

// Counts the changes to the application's fonts, such as registering the bundled ones.
std::atomic<int> s_fontsGeneration{0};

QString firstInstalledHandDrawnFamily()
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

QString handDrawnFamily()
{
    static const QMetaObject::Connection watch = QObject::connect(
        qGuiApp, &QGuiApplication::fontDatabaseChanged, [] { ++s_fontsGeneration; });
    // Asking the font database for every family costs far more than a text draw, so each thread
    // that lays out text keeps its answer until the application's fonts change.
    thread_local int generation = -1;
    thread_local QString family;
    const int current = s_fontsGeneration;
    if (generation != current) {
        family = firstInstalledHandDrawnFamily();
        generation = current;
    }
    return family;
}

} // namespace

QFont handDrawnFont(double size)
{
    const QString family = handDrawnFamily();
    QFont font = family.isEmpty() ? QGuiApplication::font() : QFont(family);
    font.setPixelSize(std::max(1, qRound(size)));
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace zentrel
