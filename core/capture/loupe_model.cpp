#include "capture/loupe_model.h"

#include "capture/settings_clamping.h"
#include "shell/app_preferences.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

// Stores only a real change, so an unchanged value costs no callback and no redraw.
std::optional<double> ifChanged(double candidate, double current)
{
    if (candidate == current) {
        return std::nullopt;
    }
    return candidate;
}

} // namespace

LoupeSettings clampedLoupeSettings(double diameter, double zoom)
{
    const LoupeSettings defaults;
    return {clampedOr(diameter, defaults.diameter, loupe::minimumDiameter, loupe::maximumDiameter),
            clampedOr(zoom, defaults.zoom, loupe::minimumZoom, loupe::maximumZoom)};
}

LoupeSettings loupeSettings(const AppPreferences &preferences)
{
    return clampedLoupeSettings(preferences.zoomDiameter(), preferences.zoomFactor());
}

LoupeAdjustment loupeScroll(const LoupeSettings &current, double deltaY, bool sizeModifier)
{
    // A horizontal scroll arrives with no vertical delta; it must not count as a step down.
    if (deltaY == 0 || !std::isfinite(deltaY)) {
        return {};
    }
    const double direction = deltaY > 0 ? 1 : -1;
    const double steps =
        std::clamp(std::abs(deltaY), loupe::minimumWheelSteps, loupe::maximumWheelSteps);
    if (sizeModifier) {
        const double candidate =
            std::clamp(current.diameter + direction * loupe::diameterStep * steps,
                       loupe::minimumDiameter,
                       loupe::maximumDiameter);
        return {std::nullopt, ifChanged(candidate, current.diameter)};
    }
    const double candidate = std::clamp(current.zoom + direction * loupe::wheelZoomStep * steps,
                                        loupe::minimumZoom,
                                        loupe::maximumZoom);
    return {ifChanged(candidate, current.zoom), std::nullopt};
}

LoupeAdjustment loupeMagnify(const LoupeSettings &current, double magnification)
{
    if (!std::isfinite(magnification)) {
        return {};
    }
    const double candidate =
        std::clamp((magnification + 1) * current.zoom, loupe::minimumZoom, loupe::maximumZoom);
    return {ifChanged(candidate, current.zoom), std::nullopt};
}

LoupeSettings adjusted(const LoupeSettings &current, const LoupeAdjustment &adjustment)
{
    return {adjustment.diameter.value_or(current.diameter), adjustment.zoom.value_or(current.zoom)};
}

LoupeGeometry loupeGeometry(PointF pointer,
                            const LoupeSettings &settings,
                            SizeF screenSize,
                            int imageWidth,
                            int imageHeight)
{
    // The owner may hand in unclamped values; the crop divides by the zoom.
    const LoupeSettings safe = clampedLoupeSettings(settings.diameter, settings.zoom);
    const double d = safe.diameter;

    LoupeGeometry geometry;
    geometry.loupe = squareAround(pointer, d / 2);
    geometry.outerRim = insetRect(geometry.loupe, loupe::outerRimInset, loupe::outerRimInset);
    geometry.innerRim = insetRect(geometry.loupe, loupe::innerRimInset, loupe::innerRimInset);
    if (imageWidth <= 0 || imageHeight <= 0 || !(screenSize.width > 0) || !(screenSize.height > 0)
        || !isFinite(pointer)) {
        return geometry;
    }

    const double w = imageWidth;
    const double h = imageHeight;
    const double sx = w / screenSize.width;
    const double sy = h / screenSize.height;
    const double px = pointer.x * sx;
    const double py = pointer.y * sy;
    const double cw = sx * d / safe.zoom;
    const double ch = sy * d / safe.zoom;
    // Pinned inside the image: near an edge the crop stops moving rather than showing nothing.
    const double cx = std::min(std::max(px - cw / 2, 0.0), std::max(w - cw, 0.0));
    const double cy = std::min(std::max(py - ch / 2, 0.0), std::max(h - ch, 0.0));
    geometry.exactCrop = {cx, cy, cw, ch};
    geometry.crop = enclosingPixels(geometry.exactCrop, imageWidth, imageHeight);
    return geometry;
}

} // namespace zentrel
