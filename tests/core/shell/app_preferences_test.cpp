#include "shell/app_preferences.h"

#include "common/settings/memory_defaults_store.h"
#include "shell/presentation_color.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

using namespace zentrel;
using nlohmann::json;
using Setting = AppPreferences::Setting;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Same JSON kind, counting signed and unsigned integers as one: 6.0 must not become 6.
bool sameKind(const json &a, const json &b)
{
    return a.is_number_float() == b.is_number_float()
           && a.is_number_integer() == b.is_number_integer() && a.is_boolean() == b.is_boolean()
           && a.is_string() == b.is_string() && a.is_object() == b.is_object();
}

std::string key(Setting setting)
{
    return std::string(AppPreferences::key(setting));
}

MemoryDefaultsStore storeWith(const std::string &storedKey, const json &stored)
{
    MemoryDefaultsStore store;
    store.setValue(storedKey, stored);
    return store;
}

} // namespace

TEST(AppPreferences, RegistersTheDefaultsUnderTheirKeys)
{
    // Null marks the two settings that are never registered.
    const std::tuple<Setting, const char *, json> rows[] = {
        {Setting::isEnabled, "app.enabled", true},
        {Setting::leaderModifiers, "controls.leaderKey", nullptr},
        {Setting::drawingColor, "drawing.color", "#FF3B30"},
        {Setting::lineWidth, "drawing.lineWidth", 6.0},
        {Setting::autoFade, "drawing.autoFade", false},
        {Setting::fadeDuration, "drawing.fadeDuration", 4.0},
        {Setting::roughnessLevel, "drawing.roughnessLevel", 2},
        {Setting::highContrastDrawing, "drawing.highContrast", true},
        {Setting::highContrastOutline, "drawing.highContrastOutline", true},
        {Setting::cursorHaloColor, "cursorHalo.color", "#FFD60A"},
        {Setting::cursorHaloSize, "cursorHalo.size", 112.0},
        {Setting::cursorHaloOpacity, "cursorHalo.opacity", 0.85},
        {Setting::cursorHaloBorderWidth, "cursorHalo.borderWidth", 6.0},
        {Setting::breakTimerDuration, "breakTimer.duration", 5.0},
        {Setting::breakTimerMessage, "breakTimer.message", "Short break"},
        {Setting::breakTimerPresentationStyle, "breakTimer.presentationStyle", "floating"},
        {Setting::breakTimerBackgroundColor, "breakTimer.backgroundColor", "#1C1C1E"},
        {Setting::breakTimerTextColor, "breakTimer.textColor", "#FFFFFF"},
        {Setting::breakTimerChime, "breakTimer.chime", true},
        {Setting::zoomDiameter, "zoom.diameter", 240.0},
        {Setting::zoomFactor, "zoom.factor", 2.0},
        {Setting::spotlightRadius, "spotlight.radius", 140.0},
        {Setting::spotlightDarkness, "spotlight.darkness", 0.7},
        {Setting::spotlightColor, "spotlight.color", "#000000"},
        {Setting::spotlightFeather, "spotlight.feather", 30.0},
        {Setting::allowsExternalCommandURLs, "controls.allowsExternalCommandURLs", false},
        {Setting::activationStyles, "controls.activationStyles", nullptr},
    };
    MemoryDefaultsStore store;
    AppPreferences preferences(store);
    for (const auto &[setting, expectedKey, expected] : rows) {
        EXPECT_EQ(key(setting), expectedKey);
        const auto value = store.value(expectedKey);
        EXPECT_EQ(value.value_or(nullptr), expected) << expectedKey;
        EXPECT_TRUE(sameKind(value.value_or(nullptr), expected)) << expectedKey;
    }
}

TEST(AppPreferences, FirstStartReadsTheDefaultsAndWritesNothing)
{
    MemoryDefaultsStore store;
    const AppPreferences p(store);
    EXPECT_TRUE(p.isEnabled());
    EXPECT_EQ(p.leaderModifiers().bits, 786432u);
    EXPECT_EQ(p.drawingColor(), colorFromHex("#FF3B30"));
    EXPECT_EQ(p.lineWidth(), 6.0);
    EXPECT_FALSE(p.autoFade());
    EXPECT_EQ(p.fadeDuration(), 4.0);
    EXPECT_EQ(p.roughnessLevel(), RoughnessLevel::medium);
    EXPECT_TRUE(p.highContrastDrawing() && p.highContrastOutline() && p.breakTimerChime());
    EXPECT_EQ(p.cursorHaloColor(), colorFromHex("#FFD60A"));
    EXPECT_EQ(p.cursorHaloSize(), 112.0);
    EXPECT_EQ(p.cursorHaloOpacity(), 0.85);
    EXPECT_EQ(p.cursorHaloBorderWidth(), 6.0);
    EXPECT_EQ(p.breakTimerDuration(), 5.0);
    EXPECT_EQ(p.breakTimerMessage(), "Short break");
    EXPECT_EQ(p.breakTimerPresentationStyle(), BreakTimerPresentationStyle::floating);
    EXPECT_EQ(p.breakTimerBackgroundColor(), colorFromHex("#1C1C1E"));
    EXPECT_EQ(p.breakTimerTextColor(), colorFromHex("#FFFFFF"));
    EXPECT_EQ(p.zoomDiameter(), 240.0);
    EXPECT_EQ(p.zoomFactor(), 2.0);
    EXPECT_EQ(p.spotlightRadius(), 140.0);
    EXPECT_EQ(p.spotlightDarkness(), 0.7);
    EXPECT_EQ(p.spotlightColor(), colorFromHex("#000000"));
    EXPECT_EQ(p.spotlightFeather(), 30.0);
    EXPECT_FALSE(p.allowsExternalCommandURLs());
    EXPECT_EQ(p.activationStyles().size(), 7u);
    for (const auto feature : presentationFeatureText.values()) {
        EXPECT_EQ(p.activationStyle(feature), ActivationStyle::toggle);
    }
    EXPECT_EQ(store.storedValues(), json::object());
}

TEST(AppPreferences, WritesEveryAssignmentAndNotifiesOnce)
{
    using Assign = std::function<void(AppPreferences &)>;
    const std::vector<std::tuple<Setting, Assign, json>> cases{
        {Setting::isEnabled, [](auto &p) { p.setEnabled(false); }, false},
        {Setting::leaderModifiers,
         [](auto &p) { p.setLeaderModifier(ModifierFlag::shift, true); },
         786432 + 131072},
        {Setting::drawingColor,
         [](auto &p) {
             p.setDrawingColor({0, 0, 1, 0.5});
         },
         "#0000FF"},
        // Unchanged values are written too.
        {Setting::lineWidth, [](auto &p) { p.setLineWidth(6.0); }, 6.0},
        {Setting::autoFade, [](auto &p) { p.setAutoFade(true); }, true},
        {Setting::fadeDuration, [](auto &p) { p.setFadeDuration(2.5); }, 2.5},
        {Setting::roughnessLevel, [](auto &p) { p.setRoughnessLevel(RoughnessLevel::high); }, 3},
        {Setting::highContrastDrawing, [](auto &p) { p.setHighContrastDrawing(true); }, true},
        {Setting::highContrastOutline, [](auto &p) { p.setHighContrastOutline(false); }, false},
        {Setting::cursorHaloColor,
         [](auto &p) {
             p.setCursorHaloColor({1, 1, 0, 1});
         },
         "#FFFF00"},
        {Setting::cursorHaloSize, [](auto &p) { p.setCursorHaloSize(80); }, 80.0},
        {Setting::cursorHaloOpacity, [](auto &p) { p.setCursorHaloOpacity(0.5); }, 0.5},
        {Setting::cursorHaloBorderWidth, [](auto &p) { p.setCursorHaloBorderWidth(2); }, 2.0},
        {Setting::breakTimerDuration, [](auto &p) { p.setBreakTimerDuration(7.5); }, 7.5},
        {Setting::breakTimerMessage, [](auto &p) { p.setBreakTimerMessage(" Tea "); }, " Tea "},
        {Setting::breakTimerPresentationStyle,
         [](auto &p) { p.setBreakTimerPresentationStyle(BreakTimerPresentationStyle::fullScreen); },
         "fullScreen"},
        {Setting::breakTimerBackgroundColor,
         [](auto &p) {
             p.setBreakTimerBackgroundColor({0.5, 0.5, 0.5, 1});
         },
         "#808080"},
        {Setting::breakTimerTextColor, [](auto &p) { p.setBreakTimerTextColor({}); }, "#000000"},
        {Setting::breakTimerChime, [](auto &p) { p.setBreakTimerChime(false); }, false},
        {Setting::zoomDiameter, [](auto &p) { p.setZoomDiameter(300); }, 300.0},
        {Setting::zoomFactor, [](auto &p) { p.setZoomFactor(3); }, 3.0},
        {Setting::spotlightRadius, [](auto &p) { p.setSpotlightRadius(90); }, 90.0},
        {Setting::spotlightDarkness, [](auto &p) { p.setSpotlightDarkness(0.4); }, 0.4},
        {Setting::spotlightColor,
         [](auto &p) {
             p.setSpotlightColor({1, 1, 1, 1});
         },
         "#FFFFFF"},
        {Setting::spotlightFeather, [](auto &p) { p.setSpotlightFeather(10); }, 10.0},
        {Setting::allowsExternalCommandURLs,
         [](auto &p) { p.setAllowsExternalCommandURLs(true); },
         true},
        {Setting::activationStyles,
         [](auto &p) { p.setActivationStyle(PresentationFeature::zooming, ActivationStyle::hold); },
         {{"drawing", "toggle"},
          {"zooming", "hold"},
          {"spotlight", "toggle"},
          {"freeze", "toggle"},
          {"whiteboard", "toggle"},
          {"breakTimer", "toggle"},
          {"cursorHalo", "toggle"}}},
    };
    for (const auto &[setting, assign, written] : cases) {
        MemoryDefaultsStore store;
        AppPreferences preferences(store);
        std::vector<Setting> changes;
        auto connection = preferences.changed.connect([&](Setting s) { changes.push_back(s); });
        assign(preferences);
        EXPECT_EQ(changes, std::vector<Setting>{setting}) << key(setting);
        EXPECT_EQ(store.storedValues(), json({{key(setting), written}}));
        EXPECT_TRUE(sameKind(store.storedValue(key(setting)).value_or(nullptr), written))
            << key(setting);
    }
}

TEST(AppPreferences, ClampsAnAssignedBreakDurationAndNotifiesOnlyTheResult)
{
    const std::pair<double, double> cases[] = {
        {0.5, 1}, {500, 120}, {7.5, 7.5}, {-3, 1}, {notANumber, 5}, {infinity, 5}, {-infinity, 5}};
    for (const auto &[assigned, expected] : cases) {
        MemoryDefaultsStore store;
        AppPreferences preferences(store);
        std::vector<double> seen;
        auto connection = preferences.changed.connect(
            [&](Setting) { seen.push_back(preferences.breakTimerDuration()); });
        preferences.setBreakTimerDuration(assigned);
        EXPECT_EQ(store.storedValue("breakTimer.duration"), json(expected)) << assigned;
        EXPECT_EQ(seen, std::vector<double>{expected}) << assigned;
    }
}

TEST(AppPreferences, OnChangeFollowsOneSettingOnly)
{
    MemoryDefaultsStore store;
    AppPreferences preferences(store);
    std::vector<bool> seen;
    const ScopedConnection connection =
        preferences.onChange(Setting::isEnabled, [&] { seen.push_back(preferences.isEnabled()); });
    preferences.setLineWidth(3);
    preferences.setAllowsExternalCommandURLs(true);
    preferences.setEnabled(false);
    preferences.setEnabled(false);
    EXPECT_EQ(seen, (std::vector<bool>{false, false}));
}

TEST(AppPreferences, ReplacesNonFiniteDoublesWithTheDefault)
{
    for (const auto &stored : json::array({"nan", "-inf", notANumber, infinity})) {
        auto store = storeWith("drawing.lineWidth", stored);
        store.setValue("breakTimer.duration", stored);
        const AppPreferences preferences(store);
        EXPECT_EQ(preferences.lineWidth(), 6.0) << stored;
        EXPECT_EQ(preferences.breakTimerDuration(), 5.0) << stored;
    }
    MemoryDefaultsStore store;
    AppPreferences preferences(store);
    preferences.setZoomFactor(notANumber);
    preferences.setCursorHaloSize(-infinity);
    EXPECT_EQ(preferences.zoomFactor(), 2.0);
    EXPECT_EQ(store.storedValues(), json({{"zoom.factor", 2.0}, {"cursorHalo.size", 112.0}}));
}

TEST(AppPreferences, ReadsBadStoredValuesWithFallbacksAndLeavesThemStored)
{
    auto store = storeWith("breakTimer.duration", 0);
    store.setValue("drawing.roughnessLevel", 7);
    store.setValue("drawing.lineWidth", "thick");
    store.setValue("app.enabled", "maybe");
    store.setValue("breakTimer.message", json::array({"a"}));
    store.setValue("breakTimer.presentationStyle", "FullScreen");
    store.setValue("controls.leaderKey", "junk");
    const json before = store.storedValues();

    const AppPreferences preferences(store);
    EXPECT_EQ(preferences.breakTimerDuration(), 1.0);
    EXPECT_EQ(preferences.roughnessLevel(), RoughnessLevel::medium);
    EXPECT_EQ(preferences.lineWidth(), 0.0);
    EXPECT_FALSE(preferences.isEnabled());
    EXPECT_EQ(preferences.breakTimerMessage(), "Break time");
    EXPECT_EQ(preferences.breakTimerPresentationStyle(), BreakTimerPresentationStyle::floating);
    EXPECT_EQ(preferences.leaderModifiers(), controlOption);
    EXPECT_EQ(store.storedValues(), before);
}

TEST(AppPreferences, ReadsStoredIntegersWithinTheirRanges)
{
    const std::pair<json, RoughnessLevel> levels[] = {{0, RoughnessLevel::none},
                                                      {"1", RoughnessLevel::low},
                                                      {3, RoughnessLevel::high},
                                                      {4, RoughnessLevel::medium},
                                                      {-1, RoughnessLevel::medium}};
    for (const auto &[stored, expected] : levels) {
        auto store = storeWith("drawing.roughnessLevel", stored);
        EXPECT_EQ(AppPreferences(store).roughnessLevel(), expected) << stored;
    }
    const std::pair<json, std::uint64_t> leaders[] = {
        {0, 786432}, {1048576, 1048576}, {393216, 393216}};
    for (const auto &[stored, expected] : leaders) {
        auto store = storeWith("controls.leaderKey", stored);
        EXPECT_EQ(AppPreferences(store).leaderModifiers().bits, expected) << stored;
    }
    auto longBreak = storeWith("breakTimer.duration", 1000);
    EXPECT_EQ(AppPreferences(longBreak).breakTimerDuration(), 120.0);
}

TEST(AppPreferences, StoresZeroWhenEveryLeaderFlagIsRemoved)
{
    MemoryDefaultsStore store;
    {
        AppPreferences preferences(store);
        preferences.setLeaderModifier(ModifierFlag::control, false);
        preferences.setLeaderModifier(ModifierFlag::option, false);
        EXPECT_EQ(store.storedValue("controls.leaderKey"), json(0));
    }
    EXPECT_EQ(AppPreferences(store).leaderModifiers(), controlOption);
}

TEST(AppPreferences, ReadsActivationStylesOnlyFromAllTextDictionaries)
{
    AppPreferences::ActivationStyles allToggle;
    for (const auto feature : presentationFeatureText.values()) {
        allToggle[feature] = ActivationStyle::toggle;
    }
    auto drawingHeld = allToggle;
    drawingHeld[PresentationFeature::drawing] = ActivationStyle::hold;

    const std::pair<json, AppPreferences::ActivationStyles> cases[] = {
        {{{"drawing", "hold"}, {"zooming", 1}}, allToggle},
        {{{"drawing", "Hold"}}, allToggle},
        {{{"drawing", "hold"}, {"bogus", "hold"}, {"zooming", "toggled"}}, drawingHeld},
        {json::array({"hold"}), allToggle},
    };
    for (const auto &[stored, expected] : cases) {
        auto store = storeWith("controls.activationStyles", stored);
        EXPECT_EQ(AppPreferences(store).activationStyles(), expected) << stored;
    }
}

TEST(AppPreferences, ReadsColoursWithFixedFallbacks)
{
    const std::tuple<const char *, Color (AppPreferences::*)() const, Color> cases[] = {
        {"drawing.color", &AppPreferences::drawingColor, systemColor(PresentationColor::red)},
        {"cursorHalo.color",
         &AppPreferences::cursorHaloColor,
         systemColor(PresentationColor::yellow)},
        {"breakTimer.backgroundColor",
         &AppPreferences::breakTimerBackgroundColor,
         {0.11, 0.11, 0.11, 1}},
        {"breakTimer.textColor", &AppPreferences::breakTimerTextColor, {1, 1, 1, 1}},
        {"spotlight.color", &AppPreferences::spotlightColor, {0, 0, 0, 1}},
    };
    for (const auto &[colorKey, read, fallback] : cases) {
        for (const auto &stored : json::array({"#12345", 12, json::object()})) {
            auto store = storeWith(colorKey, stored);
            const auto color = (AppPreferences(store).*read)();
            EXPECT_NEAR(color.red, fallback.red, 1e-9) << colorKey << " " << stored;
            EXPECT_NEAR(color.green, fallback.green, 1e-9) << colorKey << " " << stored;
            EXPECT_NEAR(color.blue, fallback.blue, 1e-9) << colorKey << " " << stored;
            EXPECT_EQ(color.alpha, 1.0);
        }
        auto store = storeWith(colorKey, " #00ff00 ");
        EXPECT_EQ((AppPreferences(store).*read)(), (Color{0, 1, 0, 1})) << colorKey;
    }
}

TEST(AppPreferences, LeaderToggleOnAndOffRestoresTheSetAndWritesEachTime)
{
    MemoryDefaultsStore store;
    AppPreferences preferences(store);
    const ModifierFlags before = preferences.leaderModifiers();
    std::vector<json> written;
    const ScopedConnection connection = preferences.onChange(Setting::leaderModifiers, [&] {
        written.push_back(*store.storedValue("controls.leaderKey"));
    });

    preferences.setLeaderModifier(ModifierFlag::command, true);
    EXPECT_TRUE(preferences.leaderModifiers().contains(ModifierFlag::command));
    // A flag already in the set stays; only its own bit moves.
    preferences.setLeaderModifier(ModifierFlag::control, true);
    preferences.setLeaderModifier(ModifierFlag::command, false);
    EXPECT_EQ(preferences.leaderModifiers(), before);
    EXPECT_EQ(written, (std::vector<json>{1835008, 1835008, 786432}));
}
