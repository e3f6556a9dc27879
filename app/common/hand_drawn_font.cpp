#include "common/hand_drawn_font.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>

namespace zentrel {

namespace {

// Counts the changes to the application's fonts, such as registering the bundled ones.
std::atomic<int> s_fontsGeneration{0};

int fontsGeneration()
{
    static const QMetaObject::Connection watch = QObject::connect(
        qGuiApp, &QGuiApplication::fontDatabaseChanged, [] { ++s_fontsGeneration; });
    return s_fontsGeneration;
}

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

// Asking the font database for every family costs far more than a text draw, so each thread
// that lays out text keeps its answers until the application's fonts change.
QString handDrawnFamily()
{
    thread_local int generation = -1;
    thread_local QString family;
    const int current = fontsGeneration();
    if (generation != current) {
        family = firstInstalledHandDrawnFamily();
        generation = current;
    }
    return family;
}

bool isInstalled(const QString &family)
{
    thread_local int generation = -1;
    thread_local std::map<QString, bool> known;
    const int current = fontsGeneration();
    if (generation != current) {
        known.clear();
        generation = current;
    }
    const auto [entry, added] = known.try_emplace(family, false);
    if (added) {
        entry->second = QFontDatabase::families().contains(family);
    }
    return entry->second;
}

// Qt keeps a font's pixel size as a whole number; no screen shows a larger one.
constexpr double largestPixelSize = 16777215;

QFont sized(QFont font, double size)
{
    font.setPixelSize(std::isnan(size) ? 1 : qRound(std::clamp(size, 1.0, largestPixelSize)));
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

QFont handDrawnFont(double size)
{
    const QString family = handDrawnFamily();
    return sized(family.isEmpty() ? QGuiApplication::font() : QFont(family), size);
}

QFont handDrawnFont(const QString &family, double size)
{
    return isInstalled(family) ? sized(QFont(family), size) : handDrawnFont(size);
}

} // namespace zentrel
