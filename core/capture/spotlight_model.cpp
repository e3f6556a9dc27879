#include "capture/spotlight_model.h"

#include "capture/settings_clamping.h"
#include "shell/app_preferences.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {} // namespace

Color SpotlightSettings::fillColor() const
{
    return {dimColor.red, dimColor.green, dimColor.blue, darkness};
}

SpotlightSettings clampedSpotlightSettings(const SpotlightSettings &settings)
{
    const SpotlightSettings defaults;
    SpotlightSettings result;
    result.radius = clampedOr(
        settings.radius, defaults.radius, spotlight::minimumRadius, spotlight::maximumRadius);
    result.darkness = clampedOr(settings.darkness,
                                defaults.darkness,
                                spotlight::minimumDarkness,
                                spotlight::maximumDarkness);
    result.feather = clampedOr(
        settings.feather, defaults.feather, spotlight::minimumFeather, spotlight::maximumFeather);
    result.dimColor = clampedColor(settings.dimColor, {0, 0, 0, 1});
    return result;
}

SpotlightSettings spotlightSettings(const AppPreferences &preferences)
{
    return clampedSpotlightSettings({preferences.spotlightRadius(),
                                     preferences.spotlightDarkness(),
                                     preferences.spotlightColor(),
                                     preferences.spotlightFeather()});
}

SpotlightModel::SpotlightModel(const SpotlightSettings &settings, std::optional<PointF> pointer)
    : m_settings(clampedSpotlightSettings(settings))
{
    if (pointer && isFinite(*pointer)) {
        m_pointer = pointer;
    }
}

void SpotlightModel::applySettings(const SpotlightSettings &settings)
{
    m_settings = clampedSpotlightSettings(settings);
}

RedrawArea SpotlightModel::moveTo(PointF pointer)
{
    if (!isFinite(pointer)) {
        return RectF{};
    }
    const std::optional<RectF> before = clearCircle();
    m_pointer = pointer;
    // Before the first position nothing was drawn, so the whole dimming appears now.
    if (!before) {
        return std::nullopt;
    }
    const RectF area = insetRect(
        united(*before, *clearCircle()), -spotlight::redrawMargin, -spotlight::redrawMargin);
    if (area.width > 0 && area.height > 0) {
        return area;
    }
    return std::nullopt;
}

std::optional<RectF> SpotlightModel::clearCircle() const
{
    if (!m_pointer) {
        return std::nullopt;
    }
    return squareAround(*m_pointer, m_settings.clearRadius());
}

} // namespace zentrel
