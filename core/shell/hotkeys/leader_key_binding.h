#pragma once

#include "common/settings/modifier_flags.h"
#include "common/signal.h"
#include "hotkeys/hotkey_name.h"
#include "hotkeys/key.h"
#include "hotkeys/shortcut.h"

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

    // The row's combination under `leader` (taken as effectiveLeader makes it).
    hotkeys::Shortcut shortcut(ModifierFlags leader) const;
};

// The leader the bindings are built with. One without Control, Option or Command would grab
// bare letters from every program; it binds as Control+Option, what the next start reads
// anyway, while the stored choice stays as the user left it.
ModifierFlags effectiveLeader(ModifierFlags leader);

// Stores leader + key for every row the user did not clear, in table order.
void applyLeaderBindings(hotkeys::HotkeyRegistry &registry, ModifierFlags leader);

// Binds every row 0.2 s after the last of a burst of leader changes, whatever the rows stored.
class LeaderKeyBinder
{
public:
    LeaderKeyBinder(AppPreferences &preferences,
                    hotkeys::HotkeyRegistry &registry,
                    Scheduler &scheduler);

    // Binds every row at once; a pending rebind then does nothing.
    void applyNow();
    // At start: binds only the rows that store no combination. A row that stores the leader's
    // combination already has it, one the user recorded keeps it until the leader changes, and
    // one the user cleared stays cleared.
    void bindAtStart();
    // Binds now what a leader change left waiting, so the next start finds it stored.
    void finishPendingRebind();

private:
    void scheduleRebind();
    void supersedePendingRebind();

    AppPreferences &m_preferences;
    hotkeys::HotkeyRegistry &m_registry;
    Scheduler &m_scheduler;
    // Only the newest scheduled rebind binds; an immediate apply supersedes all of them. Shared
    // with the scheduled tasks, so one that runs after the binder is gone does nothing.
    std::shared_ptr<std::uint64_t> m_generation = std::make_shared<std::uint64_t>(0);
    bool m_isRebindPending = false;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
