#pragma once

#include "common/modifier_flags.h"
#include "common/signal.h"
#include "hotkeys/hotkey_name.h"
#include "hotkeys/key.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zentrel {

namespace hotkeys {
class HotkeyRegistry;
}
class AppPreferences;
class Scheduler;

// One hot key that follows the leader: the leader plus `key`, with `extraModifiers` added.
struct LeaderKeyBinding
{
    enum class Group {
        features,
        tools,
        colors,
        actions,
    };

    hotkeys::Name name;
    hotkeys::Key key;
    ModifierFlags extraModifiers;
    const char *label = "";
    Group group = Group::features;

    static const std::vector<LeaderKeyBinding> &defaultBindings();
};

// The leader the bindings are built with. One without Control, Option or Command would grab
// bare letters from every program; it binds as Control+Option, what the next start reads
// anyway, while the stored choice stays as the user left it.
ModifierFlags effectiveLeader(ModifierFlags leader);

// Stores leader + key for every row, in table order.
void applyLeaderBindings(hotkeys::HotkeyRegistry &registry, ModifierFlags leader);

// Binds at once, and again 0.2 s after the last of a burst of leader changes.
class LeaderKeyBinder
{
public:
    LeaderKeyBinder(AppPreferences &preferences,
                    hotkeys::HotkeyRegistry &registry,
                    Scheduler &scheduler);

    void applyNow();

private:
    void scheduleRebind();

    AppPreferences &m_preferences;
    hotkeys::HotkeyRegistry &m_registry;
    Scheduler &m_scheduler;
    // Only the newest scheduled rebind binds; an immediate apply supersedes all of them. Shared
    // with the scheduled tasks, so one that runs after the binder is gone does nothing.
    std::shared_ptr<std::uint64_t> m_generation = std::make_shared<std::uint64_t>(0);
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
