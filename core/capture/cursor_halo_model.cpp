#include "capture/cursor_halo_model.h"

#include "capture/settings_clamping.h"
#include "shell/app_preferences.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

constexpr double centreLightening = 0.5;
constexpr std::array<double, 4> stopLocations{0, 0.35, 0.7, 1.0};
constexpr std::array<double, 4> stopAlphaFactors{1, 0.55, 0.18, 0};

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

Color withAlpha(const Color &color, double alpha)
{
    return {color.red, color.green, color.blue, alpha};
}

double lightened(double component)
{
    return std::min(component + (1 - component) * centreLightening, 1.0);
}

// Age as a fraction of the lifetime; nullopt when the ripple is not live (also for a start in
// the future, which a clock step back can produce).
std::optional<double> progress(const CursorClickAnimation &click, Timestamp now)
{
    const auto age = now - click.startedAt;
    if (age < Timestamp::duration::zero() || age >= cursorHalo::rippleLifetime) {
        return std::nullopt;
    }
    return std::chrono::duration<double>(age)
           / std::chrono::duration<double>(cursorHalo::rippleLifetime);
}

double baseLineWidth(const CursorHaloSettings &settings)
{
    return std::max(settings.borderWidth, cursorHalo::minimumRippleLineWidth);
}

} // namespace

CursorHaloSettings sanitizedCursorHaloSettings(const CursorHaloSettings &settings)
{
    const CursorHaloSettings defaults;
    CursorHaloSettings result;
    result.ringSize = std::max(finiteOr(settings.ringSize, defaults.ringSize), 0.0);
    result.ringOpacity = clampedOr(settings.ringOpacity, defaults.ringOpacity, 0, 1);
    result.borderWidth = std::max(finiteOr(settings.borderWidth, defaults.borderWidth), 0.0);
    result.ringColor = clampedColor(settings.ringColor, withAlpha(defaults.ringColor, 1));
    return result;
}

CursorHaloSettings cursorHaloSettings(const AppPreferences &preferences)
{
    return sanitizedCursorHaloSettings({preferences.cursorHaloSize(),
                                        preferences.cursorHaloColor(),
                                        preferences.cursorHaloOpacity(),
                                        preferences.cursorHaloBorderWidth()});
}

std::array<HaloGradientStop, 4> haloGradient(const CursorHaloSettings &settings)
{
    const Color &c = settings.ringColor;
    std::array<HaloGradientStop, 4> stops;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        stops[i] = {stopLocations[i], withAlpha(c, settings.ringOpacity * stopAlphaFactors[i])};
    }
    stops[0].color = {
        lightened(c.red), lightened(c.green), lightened(c.blue), settings.ringOpacity};
    return stops;
}

std::optional<RippleAppearance> rippleAppearance(const CursorClickAnimation &click,
                                                 const CursorHaloSettings &settings,
                                                 Timestamp now)
{
    const std::optional<double> p = progress(click, now);
    if (!p) {
        return std::nullopt;
    }
    const bool right = click.kind == CursorClickKind::right;
    const Color base = right ? cursorHalo::rightClickColor : settings.ringColor;
    const double alpha = (1 - *p) * settings.ringOpacity;

    RippleAppearance ripple;
    ripple.centre = click.point;
    ripple.radius = *p * cursorHalo::rippleGrowth + settings.ringSize / 2;
    ripple.lineWidth = (1 - *p * 0.5) * baseLineWidth(settings);
    ripple.color = withAlpha(base, alpha);
    ripple.shadowColor = withAlpha(base, alpha);
    ripple.shadowBlur = (1 - *p) * cursorHalo::rippleShadowBlur;
    ripple.dashed = right;
    ripple.dashPhase = right ? *p * cursorHalo::dashPhaseTravel : 0;
    return ripple;
}

CursorHaloModel::CursorHaloModel(const CursorHaloSettings &settings)
    : m_settings(sanitizedCursorHaloSettings(settings))
{}

void CursorHaloModel::applySettings(const CursorHaloSettings &settings)
{
    m_settings = sanitizedCursorHaloSettings(settings);
}

RectF CursorHaloModel::haloBounds() const
{
    if (m_settings.ringSize <= 0) {
        return {};
    }
    return squareAround(m_pointer, m_settings.ringSize / 2);
}

RedrawArea CursorHaloModel::moveTo(PointF pointer)
{
    if (!isFinite(pointer)) {
        return RectF{};
    }
    // The margin leaves room for antialiasing and for a size change between two reports.
    const double halfSide = m_settings.ringSize / 2 + cursorHalo::pointerRedrawMargin;
    const RectF before = squareAround(m_pointer, halfSide);
    m_pointer = pointer;
    return united(before, squareAround(m_pointer, halfSide));
}

bool CursorHaloModel::recordClick(CursorClickKind kind, Timestamp at)
{
    const bool mustStart = m_clicks.empty();
    m_clicks.push_back({kind, m_pointer, at});
    return mustStart;
}

bool CursorHaloModel::prune(Timestamp now)
{
    std::erase_if(m_clicks, [now](const CursorClickAnimation &click) {
        return !progress(click, now).has_value();
    });
    return !m_clicks.empty();
}

std::vector<RippleAppearance> CursorHaloModel::ripples(Timestamp now) const
{
    std::vector<RippleAppearance> result;
    result.reserve(m_clicks.size());
    for (const CursorClickAnimation &click : m_clicks) {
        if (auto ripple = rippleAppearance(click, m_settings, now)) {
            result.push_back(*ripple);
        }
    }
    return result;
}

} // namespace zentrel
