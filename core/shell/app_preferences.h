#pragma once

#include "common/color.h"
#include "common/settings/defaults_store.h"
#include "common/settings/modifier_flags.h"
#include "common/signal.h"
#include "shell/break_timer_presentation_style.h"
#include "shell/hotkeys/activation_style.h"
#include "shell/presentation_feature.h"
#include "shell/roughness_level.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace zentrel {

// The one settings store. Loads every setting once, then is the only source of truth for the
// run; every assignment is written through to the defaults at once, changed or not. Bad stored
// values read with a fixed fallback and stay in the defaults until the setting is next assigned.
class AppPreferences
{
public:
    enum class Setting {
        isEnabled,
        leaderModifiers,
        drawingColor,
        lineWidth,
        autoFade,
        fadeDuration,
        roughnessLevel,
        highContrastDrawing,
        highContrastOutline,
        cursorHaloColor,
        cursorHaloSize,
        cursorHaloOpacity,
        cursorHaloBorderWidth,
        breakTimerDuration,
        breakTimerMessage,
        breakTimerPresentationStyle,
        breakTimerBackgroundColor,
        breakTimerTextColor,
        breakTimerChime,
        zoomDiameter,
        zoomFactor,
        spotlightRadius,
        spotlightDarkness,
        spotlightColor,
        spotlightFeather,
        allowsExternalCommandURLs,
        activationStyles,
    };

    using ActivationStyles = std::map<PresentationFeature, ActivationStyle>;

    explicit AppPreferences(DefaultsStore &defaults);
    AppPreferences(const AppPreferences &) = delete;
    AppPreferences &operator=(const AppPreferences &) = delete;

    static std::string_view key(Setting setting);

    bool isEnabled() const { return m_isEnabled; }

    ModifierFlags leaderModifiers() const { return m_leaderModifiers; }

    Color drawingColor() const { return m_drawingColor; }

    double lineWidth() const { return m_lineWidth; }

    bool autoFade() const { return m_autoFade; }

    double fadeDuration() const { return m_fadeDuration; }

    RoughnessLevel roughnessLevel() const { return m_roughnessLevel; }

    bool highContrastDrawing() const { return m_highContrastDrawing; }

    bool highContrastOutline() const { return m_highContrastOutline; }

    Color cursorHaloColor() const { return m_cursorHaloColor; }

    double cursorHaloSize() const { return m_cursorHaloSize; }

    double cursorHaloOpacity() const { return m_cursorHaloOpacity; }

    double cursorHaloBorderWidth() const { return m_cursorHaloBorderWidth; }

    double breakTimerDuration() const { return m_breakTimerDuration; }

    const std::string &breakTimerMessage() const { return m_breakTimerMessage; }

    BreakTimerPresentationStyle breakTimerPresentationStyle() const { return m_breakTimerStyle; }

    Color breakTimerBackgroundColor() const { return m_breakTimerBackgroundColor; }

    Color breakTimerTextColor() const { return m_breakTimerTextColor; }

    bool breakTimerChime() const { return m_breakTimerChime; }

    double zoomDiameter() const { return m_zoomDiameter; }

    double zoomFactor() const { return m_zoomFactor; }

    double spotlightRadius() const { return m_spotlightRadius; }

    double spotlightDarkness() const { return m_spotlightDarkness; }

    Color spotlightColor() const { return m_spotlightColor; }

    double spotlightFeather() const { return m_spotlightFeather; }

    bool allowsExternalCommandURLs() const { return m_allowsExternalCommandURLs; }

    const ActivationStyles &activationStyles() const { return m_activationStyles; }

    ActivationStyle activationStyle(PresentationFeature feature) const;

    void setEnabled(bool enabled);
    void setLeaderModifiers(ModifierFlags modifiers);
    void setLeaderModifier(ModifierFlag flag, bool enabled);
    void setDrawingColor(const Color &color);
    void setLineWidth(double width);
    void setAutoFade(bool autoFade);
    void setFadeDuration(double seconds);
    void setRoughnessLevel(RoughnessLevel level);
    void setHighContrastDrawing(bool enabled);
    void setHighContrastOutline(bool enabled);
    void setCursorHaloColor(const Color &color);
    void setCursorHaloSize(double size);
    void setCursorHaloOpacity(double opacity);
    void setCursorHaloBorderWidth(double width);
    // Clamped to 1…120 minutes.
    void setBreakTimerDuration(double minutes);
    void setBreakTimerMessage(const std::string &message);
    void setBreakTimerPresentationStyle(BreakTimerPresentationStyle style);
    void setBreakTimerBackgroundColor(const Color &color);
    void setBreakTimerTextColor(const Color &color);
    void setBreakTimerChime(bool enabled);
    void setZoomDiameter(double diameter);
    void setZoomFactor(double factor);
    void setSpotlightRadius(double radius);
    void setSpotlightDarkness(double darkness);
    void setSpotlightColor(const Color &color);
    void setSpotlightFeather(double feather);
    void setAllowsExternalCommandURLs(bool allowed);
    void setActivationStyles(const ActivationStyles &styles);
    void setActivationStyle(PresentationFeature feature, ActivationStyle style);

    // Sent after a setting has been assigned and written.
    Signal<Setting> changed;

    // Runs handler after each assignment of the one setting, for as long as the connection lasts.
    [[nodiscard]] ScopedConnection onChange(Setting setting, std::function<void()> handler);

private:
    void load();
    double loadDouble(Setting setting) const;
    void assign(bool &member, bool value, Setting setting);
    void assign(double &member, double value, Setting setting);
    void assign(Color &member, const Color &value, Setting setting);
    void write(Setting setting, nlohmann::json value);

    DefaultsStore &m_defaults;
    bool m_isEnabled = true;
    ModifierFlags m_leaderModifiers = controlOption;
    Color m_drawingColor;
    double m_lineWidth = 0;
    bool m_autoFade = false;
    double m_fadeDuration = 0;
    RoughnessLevel m_roughnessLevel = RoughnessLevel::medium;
    bool m_highContrastDrawing = true;
    bool m_highContrastOutline = true;
    Color m_cursorHaloColor;
    double m_cursorHaloSize = 0;
    double m_cursorHaloOpacity = 0;
    double m_cursorHaloBorderWidth = 0;
    double m_breakTimerDuration = 0;
    std::string m_breakTimerMessage;
    BreakTimerPresentationStyle m_breakTimerStyle = BreakTimerPresentationStyle::floating;
    Color m_breakTimerBackgroundColor;
    Color m_breakTimerTextColor;
    bool m_breakTimerChime = true;
    double m_zoomDiameter = 0;
    double m_zoomFactor = 0;
    double m_spotlightRadius = 0;
    double m_spotlightDarkness = 0;
    Color m_spotlightColor;
    double m_spotlightFeather = 0;
    bool m_allowsExternalCommandURLs = false;
    ActivationStyles m_activationStyles;
};

} // namespace zentrel
