#include "hotkeys/shortcut.h"

#include "common/json/limited_json.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

namespace zentrel::hotkeys {
namespace {

constexpr auto bitPairs = std::to_array<std::pair<ModifierFlag, int>>({
    {ModifierFlag::control, carbon::control},
    {ModifierFlag::option, carbon::option},
    {ModifierFlag::shift, carbon::shift},
    {ModifierFlag::command, carbon::command},
    {ModifierFlag::function, carbon::function},
});

} // namespace

bool isFunctionKey(Key key)
{
    static constexpr auto functionKeys = std::to_array<Key>({
        keys::f1,  keys::f2,  keys::f3,  keys::f4,  keys::f5,  keys::f6,  keys::f7,
        keys::f8,  keys::f9,  keys::f10, keys::f11, keys::f12, keys::f13, keys::f14,
        keys::f15, keys::f16, keys::f17, keys::f18, keys::f19, keys::f20,
    });
    return std::find(functionKeys.begin(), functionKeys.end(), key) != functionKeys.end();
}

int carbonModifiers(ModifierFlags flags)
{
    int bits = 0;
    for (const auto &[flag, carbonBit] : bitPairs) {
        if (flags.contains(flag)) {
            bits |= carbonBit;
        }
    }
    return bits;
}

ModifierFlags modifierFlags(int carbonModifiers)
{
    ModifierFlags flags;
    for (const auto &[flag, carbonBit] : bitPairs) {
        if ((carbonModifiers & carbonBit) != 0) {
            flags = flags.with(flag, true);
        }
    }
    return flags;
}

Shortcut Shortcut::fromKey(Key key, ModifierFlags flags)
{
    return Shortcut{key.rawValue, hotkeys::carbonModifiers(flags)};
}

Shortcut Shortcut::fromFields(int carbonKeyCode, int carbonModifiers)
{
    return Shortcut{carbonKeyCode, hotkeys::carbonModifiers(modifierFlags(carbonModifiers))};
}

std::string Shortcut::jsonText() const
{
    nlohmann::ordered_json json;
    json["carbonKeyCode"] = carbonKeyCode;
    json["carbonModifiers"] = carbonModifiers;
    return json.dump();
}

std::optional<Shortcut> Shortcut::fromJsonText(std::string_view text)
{
    const auto parsed = parseLimitedJson(text);
    if (!parsed || !parsed->is_object()) {
        return std::nullopt;
    }
    const nlohmann::json &json = *parsed;
    const auto keyCode = json.find("carbonKeyCode");
    const auto modifiers = json.find("carbonModifiers");
    // Key codes and modifier bits are unsigned 32-bit values; a negative one, or one too large
    // for the fields, never came from a key (and a huge one would wrap round to a negative).
    const auto isStorable = [](const nlohmann::json &value) {
        return value.is_number_unsigned()
               && value.get<std::uint64_t>() <= std::uint64_t(std::numeric_limits<int>::max());
    };
    if (keyCode == json.end() || modifiers == json.end() || !isStorable(*keyCode)
        || !isStorable(*modifiers)) {
        return std::nullopt;
    }
    return Shortcut{keyCode->get<int>(), modifiers->get<int>()};
}

} // namespace zentrel::hotkeys
