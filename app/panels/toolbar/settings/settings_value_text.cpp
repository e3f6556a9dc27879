#include "panels/toolbar/settings/settings_value_text.h"

#include <QLocale>

#include <cmath>

namespace zentrel {

QString pointsText(double value)
{
    if (!std::isfinite(value)) {
        return QStringLiteral("– pt");
    }
    return QStringLiteral("%1 pt").arg(QString::number(std::trunc(value), 'f', 0));
}

QString percentText(double fraction)
{
    if (!std::isfinite(fraction)) {
        return QStringLiteral("–");
    }
    const QLocale locale;
    return locale.toString(fraction * 100, 'f', 0) + locale.percent();
}

} // namespace zentrel
