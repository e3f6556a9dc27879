#include "shell/app_preferences.h"

#include "shell/presentation_color.h"

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

using Setting = AppPreferences::Setting;

constexpr EnumText<Setting, 27> settingKeys{{{
    {Setting::isEnabled, "app.enabled"},
    {Setting::leaderModifiers, "controls.leaderKey"},
    {Setting::drawingColor, "drawing.color"},
    {Setting::lineWidth, "drawing.lineWidth"},
    {Setting::autoFade, "drawing.autoFade"},
    {Setting::fadeDuration, "drawing.fadeDuration"},
    {Setting::roughnessLevel, "drawing.roughnessLevel"},
    {Setting::highContrastDrawing, "drawing.highContrast"},
    {Setting::highContrastOutline, "drawing.highContrastOutline"},
    {Setting::cursorHaloColor, "cursorHalo.color"},
    {Setting::cursorHaloSize, "cursorHalo.size"},
    {Setting::cursorHaloOpacity, "cursorHalo.opacity"},
    {Setting::cursorHaloBorderWidth, "cursorHalo.borderWidth"},
    {Setting::breakTimerDuration, "breakTimer.duration"},
    {Setting::breakTimerMessage, "breakTimer.message"},
    {Setting::breakTimerPresentationStyle, "breakTimer.presentationStyle"},
    {Setting::breakTimerBackgroundColor, "breakTimer.backgroundColor"},
    {Setting::breakTimerTextColor, "breakTimer.textColor"},
    {Setting::breakTimerChime, "breakTimer.chime"},
    {Setting::zoomDiameter, "zoom.diameter"},
    {Setting::zoomFactor, "zoom.factor"},
    {Setting::spotlightRadius, "spotlight.radius"},
    {Setting::spotlightDarkness, "spotlight.darkness"},
    {Setting::spotlightColor, "spotlight.color"},
    {Setting::spotlightFeather, "spotlight.feather"},
    {Setting::allowsExternalCommandURLs, "controls.allowsExternalCommandURLs"},
    {Setting::activationStyles, "controls.activationStyles"},
}}};

// The leader modifiers and the activation styles have no registered default: their absence
// has a meaning of its own.
const nlohmann::json &registeredDefaults()
{
    static const nlohmann::json defaults = {
        {"app.enabled", true},
        {"drawing.color", "#FF3B30"},
        {"drawing.lineWidth", 6.0},
        {"drawing.autoFade", false},
        {"drawing.fadeDuration", 4.0},
        {"drawing.roughnessLevel", 2},
        {"drawing.highContrast", true},
        {"drawing.highContrastOutline", true},
        {"cursorHalo.color", "#FFD60A"},
        {"cursorHalo.size", 112.0},
        {"cursorHalo.opacity", 0.85},
        {"cursorHalo.borderWidth", 6.0},
        {"breakTimer.duration", 5.0},
        {"breakTimer.message", "Short break"},
        {"breakTimer.presentationStyle", "floating"},
        {"breakTimer.backgroundColor", "#1C1C1E"},
        {"breakTimer.textColor", "#FFFFFF"},
        {"breakTimer.chime", true},
        {"zoom.diameter", 240.0},
        {"zoom.factor", 2.0},
        {"spotlight.radius", 140.0},
        {"spotlight.darkness", 0.7},
        {"spotlight.color", "#000000"},
        {"spotlight.feather", 30.0},
        {"controls.allowsExternalCommandURLs", false},
    };
    return defaults;
}

double registeredDouble(Setting setting)
{
    return registeredDefaults().at(std::string(settingKeys.text(setting))).get<double>();
}

// A non-finite duration would defeat the clamp; it reads as the registered default instead.
double clampedBreakTimerDuration(double minutes)
{
    if (!std::isfinite(minutes)) {
        return registeredDouble(Setting::breakTimerDuration);
    }
    return std::min(std::max(minutes, 1.0), 120.0);
}

ActivationStyle storedActivationStyle(const nlohmann::json &styles, PresentationFeature feature)
{
    const auto found = styles.find(std::string(presentationFeatureText.text(feature)));
    if (found == styles.end() || !found->is_string()) {
        return ActivationStyle::toggle;
    }
    return activationStyleText.parse(found->get<std::string>()).value_or(ActivationStyle::toggle);
}

} // namespace

AppPreferences::AppPreferences(DefaultsStore &defaults)
    : m_defaults(defaults)
{
    m_defaults.registerDefaults(registeredDefaults());
    load();
}

std::string_view AppPreferences::key(Setting setting)
{
    return settingKeys.text(setting);
}

double AppPreferences::loadDouble(Setting setting) const
{
    const double value = m_defaults.doubleValue(std::string(key(setting)));
    return std::isfinite(value) ? value : registeredDouble(setting);
}

void AppPreferences::load()
{
    const auto text = [this](Setting setting) {
        return m_defaults.stringValue(std::string(key(setting)));
    };
    const auto flag = [this](Setting setting) {
        return m_defaults.boolValue(std::string(key(setting)));
    };
    const auto color = [&](Setting setting, Color fallback) {
        return colorFromHex(text(setting)).value_or(fallback);
    };

    m_isEnabled = flag(Setting::isEnabled);
    const std::string leaderKey(key(Setting::leaderModifiers));
    const std::int64_t leaderBits =
        m_defaults.storedValue(leaderKey) ? m_defaults.integerValue(leaderKey) : 0;
    // 0, and the negative values that were never written, mean the built-in leader.
    m_leaderModifiers =
        leaderBits > 0 ? ModifierFlags{static_cast<std::uint64_t>(leaderBits)} : controlOption;
    m_drawingColor = color(Setting::drawingColor, systemColor(PresentationColor::red));
    m_lineWidth = loadDouble(Setting::lineWidth);
    m_autoFade = flag(Setting::autoFade);
    m_fadeDuration = loadDouble(Setting::fadeDuration);
    m_roughnessLevel = roughnessLevelFromRawValue(
                           m_defaults.integerValue(std::string(key(Setting::roughnessLevel))))
                           .value_or(RoughnessLevel::medium);
    m_highContrastDrawing = flag(Setting::highContrastDrawing);
    m_highContrastOutline = flag(Setting::highContrastOutline);
    m_cursorHaloColor = color(Setting::cursorHaloColor, systemColor(PresentationColor::yellow));
    m_cursorHaloSize = loadDouble(Setting::cursorHaloSize);
    m_cursorHaloOpacity = loadDouble(Setting::cursorHaloOpacity);
    m_cursorHaloBorderWidth = loadDouble(Setting::cursorHaloBorderWidth);
    m_breakTimerDuration = clampedBreakTimerDuration(loadDouble(Setting::breakTimerDuration));
    m_breakTimerMessage = text(Setting::breakTimerMessage).value_or("Break time");
    m_breakTimerStyle = breakTimerPresentationStyleText
                            .parse(text(Setting::breakTimerPresentationStyle).value_or(""))
                            .value_or(BreakTimerPresentationStyle::floating);
    m_breakTimerBackgroundColor =
        color(Setting::breakTimerBackgroundColor, Color{0.11, 0.11, 0.11, 1});
    m_breakTimerTextColor = color(Setting::breakTimerTextColor, Color{1, 1, 1, 1});
    m_breakTimerChime = flag(Setting::breakTimerChime);
    m_zoomDiameter = loadDouble(Setting::zoomDiameter);
    m_zoomFactor = loadDouble(Setting::zoomFactor);
    m_spotlightRadius = loadDouble(Setting::spotlightRadius);
    m_spotlightDarkness = loadDouble(Setting::spotlightDarkness);
    m_spotlightColor = color(Setting::spotlightColor, Color{0, 0, 0, 1});
    m_spotlightFeather = loadDouble(Setting::spotlightFeather);
    m_allowsExternalCommandURLs = flag(Setting::allowsExternalCommandURLs);

    auto styles = m_defaults.dictionaryValue(std::string(key(Setting::activationStyles)))
                      .value_or(nlohmann::json::object());
    for (const auto &[feature, style] : styles.items()) {
        if (!style.is_string()) {
            styles = nlohmann::json::object();
            break;
        }
    }
    for (const auto feature : presentationFeatureText.values()) {
        m_activationStyles[feature] = storedActivationStyle(styles, feature);
    }
}

ActivationStyle AppPreferences::activationStyle(PresentationFeature feature) const
{
    const auto found = m_activationStyles.find(feature);
    return found != m_activationStyles.end() ? found->second : ActivationStyle::toggle;
}

ScopedConnection AppPreferences::onChange(Setting setting, std::function<void()> handler)
{
    return changed.connect([setting, handler = std::move(handler)](Setting assigned) {
        if (assigned == setting) {
            handler();
        }
    });
}

void AppPreferences::write(Setting setting, nlohmann::json value)
{
    m_defaults.setValue(std::string(key(setting)), std::move(value));
    changed.notify(setting);
}

void AppPreferences::assign(bool &member, bool value, Setting setting)
{
    member = value;
    write(setting, value);
}

void AppPreferences::assign(double &member, double value, Setting setting)
{
    member = std::isfinite(value) ? value : registeredDouble(setting);
    write(setting, member);
}

void AppPreferences::assign(Color &member, const Color &value, Setting setting)
{
    member = value;
    write(setting, hexString(value));
}

void AppPreferences::setEnabled(bool enabled)
{
    assign(m_isEnabled, enabled, Setting::isEnabled);
}

void AppPreferences::setLeaderModifiers(ModifierFlags modifiers)
{
    m_leaderModifiers = modifiers;
    write(Setting::leaderModifiers, static_cast<std::int64_t>(modifiers.bits));
}

void AppPreferences::setLeaderModifier(ModifierFlag flag, bool enabled)
{
    setLeaderModifiers(m_leaderModifiers.with(flag, enabled));
}

void AppPreferences::setDrawingColor(const Color &color)
{
    assign(m_drawingColor, color, Setting::drawingColor);
}

void AppPreferences::setLineWidth(double width)
{
    assign(m_lineWidth, width, Setting::lineWidth);
}

void AppPreferences::setAutoFade(bool autoFade)
{
    assign(m_autoFade, autoFade, Setting::autoFade);
}

void AppPreferences::setFadeDuration(double seconds)
{
    assign(m_fadeDuration, seconds, Setting::fadeDuration);
}

void AppPreferences::setRoughnessLevel(RoughnessLevel level)
{
    m_roughnessLevel = level;
    write(Setting::roughnessLevel, static_cast<int>(level));
}

void AppPreferences::setHighContrastDrawing(bool enabled)
{
    assign(m_highContrastDrawing, enabled, Setting::highContrastDrawing);
}

void AppPreferences::setHighContrastOutline(bool enabled)
{
    assign(m_highContrastOutline, enabled, Setting::highContrastOutline);
}

void AppPreferences::setCursorHaloColor(const Color &color)
{
    assign(m_cursorHaloColor, color, Setting::cursorHaloColor);
}

void AppPreferences::setCursorHaloSize(double size)
{
    assign(m_cursorHaloSize, size, Setting::cursorHaloSize);
}

void AppPreferences::setCursorHaloOpacity(double opacity)
{
    assign(m_cursorHaloOpacity, opacity, Setting::cursorHaloOpacity);
}

void AppPreferences::setCursorHaloBorderWidth(double width)
{
    assign(m_cursorHaloBorderWidth, width, Setting::cursorHaloBorderWidth);
}

void AppPreferences::setBreakTimerDuration(double minutes)
{
    assign(m_breakTimerDuration, clampedBreakTimerDuration(minutes), Setting::breakTimerDuration);
}

void AppPreferences::setBreakTimerMessage(const std::string &message)
{
    m_breakTimerMessage = message;
    write(Setting::breakTimerMessage, message);
}

void AppPreferences::setBreakTimerPresentationStyle(BreakTimerPresentationStyle style)
{
    m_breakTimerStyle = style;
    write(Setting::breakTimerPresentationStyle, breakTimerPresentationStyleText.text(style));
}

void AppPreferences::setBreakTimerBackgroundColor(const Color &color)
{
    assign(m_breakTimerBackgroundColor, color, Setting::breakTimerBackgroundColor);
}

void AppPreferences::setBreakTimerTextColor(const Color &color)
{
    assign(m_breakTimerTextColor, color, Setting::breakTimerTextColor);
}

void AppPreferences::setBreakTimerChime(bool enabled)
{
    assign(m_breakTimerChime, enabled, Setting::breakTimerChime);
}

void AppPreferences::setZoomDiameter(double diameter)
{
    assign(m_zoomDiameter, diameter, Setting::zoomDiameter);
}

void AppPreferences::setZoomFactor(double factor)
{
    assign(m_zoomFactor, factor, Setting::zoomFactor);
}

void AppPreferences::setSpotlightRadius(double radius)
{
    assign(m_spotlightRadius, radius, Setting::spotlightRadius);
}

void AppPreferences::setSpotlightDarkness(double darkness)
{
    assign(m_spotlightDarkness, darkness, Setting::spotlightDarkness);
}

void AppPreferences::setSpotlightColor(const Color &color)
{
    assign(m_spotlightColor, color, Setting::spotlightColor);
}

void AppPreferences::setSpotlightFeather(double feather)
{
    assign(m_spotlightFeather, feather, Setting::spotlightFeather);
}

void AppPreferences::setAllowsExternalCommandURLs(bool allowed)
{
    assign(m_allowsExternalCommandURLs, allowed, Setting::allowsExternalCommandURLs);
}

void AppPreferences::setActivationStyles(const ActivationStyles &styles)
{
    m_activationStyles = styles;
    nlohmann::json stored = nlohmann::json::object();
    for (const auto &[feature, style] : styles) {
        stored[std::string(presentationFeatureText.text(feature))] =
            activationStyleText.text(style);
    }
    write(Setting::activationStyles, std::move(stored));
}

void AppPreferences::setActivationStyle(PresentationFeature feature, ActivationStyle style)
{
    auto styles = m_activationStyles;
    styles[feature] = style;
    setActivationStyles(styles);
}

} // namespace zentrel
