#include "shell/hotkeys/hotkey_activation_state.h"

#include <gtest/gtest.h>

#include <optional>

using namespace zentrel;

namespace {

using Kind = HotkeyActivationDecision::Kind;
using Held = std::optional<PresentationFeature>;

enum class Event {
    press,
    release,
};

constexpr auto key = PresentationFeature::spotlight;
constexpr auto other = PresentationFeature::whiteboard;

struct Row
{
    Event event;
    ActivationStyle style;
    Held before;
    HotkeyActivationDecision answer;
    Held after;
};

} // namespace

TEST(HotkeyActivationState, DecidesByEventStyleAndHeldFeature)
{
    const HotkeyActivationDecision ignore{Kind::ignore};
    const HotkeyActivationDecision stop{Kind::stop};
    const HotkeyActivationDecision activate{Kind::activate, AppMode::spotlight};
    const HotkeyActivationDecision toggle{Kind::toggle, AppMode::spotlight};
    const auto toggleStyle = ActivationStyle::toggle;
    const auto holdStyle = ActivationStyle::hold;
    const Row rows[] = {
        {Event::press, toggleStyle, std::nullopt, ignore, std::nullopt},
        {Event::press, toggleStyle, key, ignore, key},
        {Event::press, toggleStyle, other, ignore, other},
        {Event::press, holdStyle, key, ignore, key},
        {Event::press, holdStyle, std::nullopt, activate, key},
        {Event::press, holdStyle, other, activate, key},
        {Event::release, toggleStyle, key, stop, std::nullopt},
        {Event::release, holdStyle, key, stop, std::nullopt},
        {Event::release, holdStyle, std::nullopt, ignore, std::nullopt},
        {Event::release, holdStyle, other, ignore, other},
        {Event::release, toggleStyle, std::nullopt, toggle, std::nullopt},
        {Event::release, toggleStyle, other, toggle, std::nullopt},
    };
    for (std::size_t index = 0; index < std::size(rows); ++index) {
        const Row &row = rows[index];
        HotkeyActivationState state{row.before};
        const auto answer =
            row.event == Event::press ? state.keyDown(key, row.style) : state.keyUp(key, row.style);
        EXPECT_EQ(answer, row.answer) << "row " << index;
        EXPECT_EQ(state.heldFeature, row.after) << "row " << index;
    }
}
