#pragma once

#include "capture/capture_geometry.h"
#include "common/geometry.h"

#include <optional>

namespace zentrel {

class AppPreferences;

// The loupe's size and magnification, always inside the ranges of its settings sliders.
struct LoupeSettings
{
    double diameter = 240; // points
    double zoom = 2.0;

    friend bool operator==(const LoupeSettings &, const LoupeSettings &) = default;
};

namespace loupe {
constexpr double minimumDiameter = 120;
constexpr double maximumDiameter = 400;
constexpr double diameterStep = 10; // slider and wheel alike
constexpr double minimumZoom = 1.5;
constexpr double maximumZoom = 4.0;
constexpr double wheelZoomStep = 0.25;
constexpr double sliderZoomStep = 0.5;
constexpr double minimumWheelSteps = 1;
constexpr double maximumWheelSteps = 3;
} // namespace loupe

// Stored preferences may hold anything; a non-finite value falls back to the default and the
// rest are clamped, so a zoom of 0 can never reach a division.
LoupeSettings clampedLoupeSettings(double diameter, double zoom);
LoupeSettings loupeSettings(const AppPreferences &preferences);

// What one wheel or pinch did. Both empty: nothing changed, so no callback and no redraw.
struct LoupeAdjustment
{
    std::optional<double> zoom;
    std::optional<double> diameter;

    bool changed() const { return zoom.has_value() || diameter.has_value(); }

    friend bool operator==(const LoupeAdjustment &, const LoupeAdjustment &) = default;
};

// Vertical wheel delta (positive is up); the size modifier (Ctrl on our desktops) changes the
// diameter instead of the zoom. A zero vertical delta, as a purely horizontal scroll gives,
// changes nothing.
LoupeAdjustment loupeScroll(const LoupeSettings &current, double deltaY, bool sizeModifier);

// Pinch gesture: magnification 0.5 makes the loupe half as strong again.
LoupeAdjustment loupeMagnify(const LoupeSettings &current, double magnification);

// Applies an adjustment's values to settings.
LoupeSettings adjusted(const LoupeSettings &current, const LoupeAdjustment &adjustment);

// Where the loupe sits on the view and which image pixels it magnifies.
struct LoupeGeometry
{
    RectF loupe;     // the square around the pointer, view points
    RectF exactCrop; // image pixels under the loupe, before rounding
    PixelRect crop;  // exactCrop grown to whole pixels and cut to the image; empty: no image
    RectF outerRim;  // stroked white, alpha 0.95, 4 points wide
    RectF innerRim;  // stroked black, alpha 0.35, 1 point wide

    friend bool operator==(const LoupeGeometry &, const LoupeGeometry &) = default;
};

namespace loupe {
constexpr double outerRimInset = 2;
constexpr double outerRimWidth = 4;
constexpr double outerRimAlpha = 0.95;
constexpr double innerRimInset = 5;
constexpr double innerRimWidth = 1;
constexpr double innerRimAlpha = 0.35;
} // namespace loupe

// pointer: view coordinates, top-left origin. screenSize: the captured screen in points.
// The crop is pinned inside the image near the edges, so in a corner the loupe shows the
// corner region and its centre no longer matches the pointer.
LoupeGeometry loupeGeometry(PointF pointer,
                            const LoupeSettings &settings,
                            SizeF screenSize,
                            int imageWidth,
                            int imageHeight);

} // namespace zentrel
