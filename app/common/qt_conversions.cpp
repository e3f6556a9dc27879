#include "common/qt_conversions.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

float unitComponent(double value)
{
    return std::isnan(value) ? 0.0f : static_cast<float>(std::clamp(value, 0.0, 1.0));
}

} // namespace

QColor toQColor(const Color &color)
{
    return QColor::fromRgbF(unitComponent(color.red),
                            unitComponent(color.green),
                            unitComponent(color.blue),
                            unitComponent(color.alpha));
}

Color toColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return Color{rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

} // namespace zentrel
