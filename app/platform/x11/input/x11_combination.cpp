#include "platform/x11/input/x11_combination.h"

#include "hotkeys/key_positions.h"

#include <xcb/xproto.h>

#include <array>
#include <utility>

namespace zentrel {
namespace {

// X keycodes are evdev codes moved up by this, and stop at 255.
constexpr int evdevToX11Offset = 8;

uint16_t x11Modifiers(int carbonModifiers)
{
    static constexpr auto modifiers = std::to_array<std::pair<int, uint16_t>>({
        {hotkeys::carbon::control, XCB_MOD_MASK_CONTROL},
        {hotkeys::carbon::option, XCB_MOD_MASK_1},
        {hotkeys::carbon::shift, XCB_MOD_MASK_SHIFT},
        {hotkeys::carbon::command, XCB_MOD_MASK_4},
    });
    uint16_t mask = 0;
    for (const auto &[carbon, x11] : modifiers) {
        if ((carbonModifiers & carbon) != 0) {
            mask |= x11;
        }
    }
    return mask;
}

} // namespace

uint16_t shortcutModifierMask()
{
    return XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
}

std::optional<uint8_t> x11Keycode(int carbonKeyCode)
{
    const auto evdev = hotkeys::evdevCode(carbonKeyCode);
    if (!evdev || *evdev + evdevToX11Offset > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(*evdev + evdevToX11Offset);
}

std::optional<int> carbonKeyCodeOfX11Keycode(uint32_t keycode)
{
    if (keycode <= evdevToX11Offset || keycode > 255) {
        return std::nullopt;
    }
    return hotkeys::carbonKeyCode(static_cast<int>(keycode) - evdevToX11Offset);
}

std::optional<X11Combination> x11Combination(const hotkeys::Shortcut &shortcut)
{
    const auto keycode = x11Keycode(shortcut.carbonKeyCode);
    if (!keycode || (shortcut.carbonModifiers & hotkeys::carbon::function) != 0) {
        return std::nullopt;
    }
    return X11Combination{*keycode, x11Modifiers(shortcut.carbonModifiers)};
}

std::vector<uint16_t> lockVariants(uint16_t lockMask)
{
    std::vector<uint16_t> variants;
    for (uint16_t subset = lockMask;; subset = (subset - 1) & lockMask) {
        variants.push_back(subset);
        if (subset == 0) {
            return variants;
        }
    }
}

} // namespace zentrel
