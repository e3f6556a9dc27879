#pragma once

#include "capture/capture_geometry.h"
#include "common/color.h"
#include "common/geometry.h"
#include "common/iso_date.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace zentrel {

class AppPreferences;

enum class CursorClickKind : std::uint8_t {
    left = 0,
    right = 1,
};

struct CursorHaloSettings
{
    double ringSize = 112; // halo diameter, points
    Color ringColor{1.0, 214 / 255.0, 10 / 255.0, 1};
    double ringOpacity = 0.85; // peak opacity of halo and ripples
    double borderWidth = 6;    // base ripple line width; the halo has no outline

    friend bool operator==(const CursorHaloSettings &, const CursorHaloSettings &) = default;
};

// One ripple: where and when a click happened. It stays where the click was.
struct CursorClickAnimation
{
    CursorClickKind kind = CursorClickKind::left;
    PointF point;
    Timestamp startedAt;

    friend bool operator==(const CursorClickAnimation &, const CursorClickAnimation &) = default;
};

namespace cursorHalo {
constexpr std::chrono::milliseconds rippleLifetime{450};
constexpr double rippleGrowth = 40; // points of radius over the lifetime
constexpr double minimumRippleLineWidth = 3;
constexpr std::array<double, 2> rightClickDashes{6, 4};
constexpr double dashPhaseTravel = 20; // phase at the end of the lifetime
constexpr double rippleShadowBlur = 12;
constexpr std::chrono::nanoseconds animationInterval{16'666'667}; // 60 Hz
constexpr double pointerRedrawMargin = 32;
// The system orange of right-click ripples.
constexpr Color rightClickColor{1.0, 149 / 255.0, 0.0, 1};
} // namespace cursorHalo

// Non-finite values take the defaults, negative sizes become 0 and opacity is kept in 0…1.
// Sizes are not clamped to the slider ranges: a halo of size 0 is legal (ripples only).
CursorHaloSettings sanitizedCursorHaloSettings(const CursorHaloSettings &settings);
CursorHaloSettings cursorHaloSettings(const AppPreferences &preferences);

struct HaloGradientStop
{
    double location = 0;
    Color color; // sRGB, alpha included

    friend bool operator==(const HaloGradientStop &, const HaloGradientStop &) = default;
};

// Radial glow from the pointer outwards: a lightened centre at full ringOpacity fading to
// transparent at radius ringSize / 2. Nothing is painted beyond the radius.
std::array<HaloGradientStop, 4> haloGradient(const CursorHaloSettings &settings);

// Everything needed to stroke one ripple at one moment.
struct RippleAppearance
{
    PointF centre;
    double radius = 0;
    double lineWidth = 0;
    Color color;       // stroke, alpha already faded
    Color shadowColor; // offset (0, 0)
    double shadowBlur = 0;
    bool dashed = false; // right clicks: rightClickDashes with dashPhase
    double dashPhase = 0;

    friend bool operator==(const RippleAppearance &, const RippleAppearance &) = default;
};

// Nullopt when the ripple is not live at now (age outside [0, lifetime)).
std::optional<RippleAppearance> rippleAppearance(const CursorClickAnimation &click,
                                                 const CursorHaloSettings &settings,
                                                 Timestamp now);

// The halo's state behind its view: the pointer, the live ripples (oldest first) and whether the
// 60 Hz animation timer should run. The view owns the timer and asks the model when to start
// and stop it.
class CursorHaloModel
{
public:
    explicit CursorHaloModel(const CursorHaloSettings &settings = {});

    const CursorHaloSettings &settings() const { return m_settings; }

    // Running ripples use the new values from their next frame on.
    void applySettings(const CursorHaloSettings &settings);

    PointF pointer() const { return m_pointer; }

    // Returns the area to redraw: the halo squares around the previous and new positions,
    // each with a margin. A non-finite point is ignored and nothing needs redrawing.
    RedrawArea moveTo(PointF pointer);

    // Halo bounds at the current pointer; empty when ringSize is 0.
    RectF haloBounds() const;

    // Adds a ripple at the current pointer. Returns true when the timer must be started, i.e.
    // no ripple animation was running.
    bool recordClick(CursorClickKind kind, Timestamp at);

    // Timer tick: drops ripples not live at now, keeping the order. Returns false when none is
    // left: the view stops the timer, and the next click starts a new one.
    bool prune(Timestamp now);

    // From a click until a tick has pruned the last ripple.
    bool isAnimating() const { return !m_clicks.empty(); }

    const std::vector<CursorClickAnimation> &clicks() const { return m_clicks; }

    // Live ripples to paint over the halo, oldest first; now is taken once per frame.
    std::vector<RippleAppearance> ripples(Timestamp now) const;

private:
    CursorHaloSettings m_settings;
    PointF m_pointer;
    std::vector<CursorClickAnimation> m_clicks;
};

} // namespace zentrel
