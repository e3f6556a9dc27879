#pragma once

#include "capture/capture_geometry.h"
#include "common/color.h"
#include "common/geometry.h"

#include <optional>

namespace zentrel {

class AppPreferences;

struct SpotlightSettings
{
    double radius = 140; // clear circle before the feather, points
    double darkness = 0.7;
    Color dimColor{0, 0, 0, 1};
    double feather = 30; // only widens the circle; its edge stays sharp

    // Radius of the clear circle as drawn.
    double clearRadius() const { return radius + feather; }

    // dimColor with its own alpha replaced by darkness: the picked opacity has no effect.
    Color fillColor() const;

    friend bool operator==(const SpotlightSettings &, const SpotlightSettings &) = default;
};

namespace spotlight {
constexpr double minimumRadius = 60;
constexpr double maximumRadius = 300;
constexpr double minimumDarkness = 0.3;
constexpr double maximumDarkness = 0.9;
constexpr double minimumFeather = 0;
constexpr double maximumFeather = 100;
constexpr double redrawMargin = 2;
} // namespace spotlight

// Values outside the slider ranges are clamped; non-finite ones take the defaults.
SpotlightSettings clampedSpotlightSettings(const SpotlightSettings &settings);
SpotlightSettings spotlightSettings(const AppPreferences &preferences);

// The spotlight's state behind the view: the view draws the bounds (whole view) dimmed with
// fillColor() and a hole of clearCircle(). Until the first pointer position arrives there is no
// circle and the view draws nothing, so the circle never flashes at the top-left corner.
class SpotlightModel
{
public:
    explicit SpotlightModel(const SpotlightSettings &settings = {},
                            std::optional<PointF> pointer = std::nullopt);

    const SpotlightSettings &settings() const { return m_settings; }

    // Clamps and stores; the caller redraws the whole view.
    void applySettings(const SpotlightSettings &settings);

    // Moves the circle; returns what to redraw: the old and new circle squares grown by 2
    // points, or the whole view for the first position. A non-finite point is ignored.
    RedrawArea moveTo(PointF pointer);

    std::optional<PointF> pointer() const { return m_pointer; }

    bool hasPointer() const { return m_pointer.has_value(); }

    // Bounding square of the clear circle; nullopt before the first pointer position.
    std::optional<RectF> clearCircle() const;

private:
    SpotlightSettings m_settings;
    std::optional<PointF> m_pointer;
};

} // namespace zentrel
