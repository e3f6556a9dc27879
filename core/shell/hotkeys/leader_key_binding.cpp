#include "shell/hotkeys/leader_key_binding.h"

#include "hotkeys/hotkey_registry.h"
#include "shell/app_preferences.h"
#include "shell/hotkeys/hotkey_names.h"
#include "shell/shell_ports.h"

#include <chrono>

namespace zentrel {
namespace {

using Group = LeaderKeyBinding::Group;

std::vector<LeaderKeyBinding> makeBindings()
{
    namespace keys = hotkeys::keys;
    const ModifierFlags none;
    const ModifierFlags shift{static_cast<std::uint64_t>(ModifierFlag::shift)};
    const auto row = [](const char *name,
                        hotkeys::Key key,
                        ModifierFlags extra,
                        const char *label,
                        Group group) {
        return LeaderKeyBinding{hotkeyName(name), key, extra, label, group};
    };
    return {
        row("toggleDraw", keys::d, none, "Draw", Group::features),
        row("toggleZoom", keys::z, none, "Zoom Loupe", Group::features),
        row("toggleSpotlight", keys::s, none, "Spotlight", Group::features),
        row("toggleFreeze", keys::f, none, "Zevizu & Vozurir", Group::features),
        row("toggleWhiteboard", keys::w, none, "Whiteboard", Group::features),
        row("toggleBreakTimer", keys::t, none, "Break Timer", Group::features),
        row("toggleCursorHalo", keys::h, none, "Cursor Halo", Group::features),
        row("selectPanTool", keys::p, shift, "Pan", Group::tools),
        row("selectPenTool", keys::b, none, "Pen", Group::tools),
        row("selectArrowTool", keys::a, shift, "Arrow", Group::tools),
        row("selectRectangleTool", keys::r, shift, "Rectangle", Group::tools),
        row("selectNumberTool", keys::n, none, "Number", Group::tools),
        row("selectEraserTool", keys::e, none, "Eraser", Group::tools),
        row("selectRedColor", keys::one, none, "Red", Group::colors),
        row("selectYellowColor", keys::two, none, "Yellow", Group::colors),
        row("selectGreenColor", keys::three, none, "Green", Group::colors),
        row("selectBlueColor", keys::four, none, "Blue", Group::colors),
        row("undoPresentationAction", keys::u, none, "Undo", Group::actions),
        row("redoPresentationAction", keys::u, shift, "Redo", Group::actions),
        row("clearPresentationAction", keys::x, none, "Clear", Group::actions),
        row("copyCurrentCanvasAction", keys::c, none, "Copy canvas", Group::actions),
        row("saveCurrentCanvasAction", keys::s, shift, "Save canvas", Group::actions),
        row("resetViewportAction", keys::r, none, "Reset viewport", Group::actions),
        row("toggleBreakTimerPause", keys::p, none, "Pause/resume timer", Group::actions),
        row("addBreakTimerMinute", keys::m, none, "Add timer minute", Group::actions),
    };
}

constexpr std::chrono::milliseconds rebindDelay{200};

} // namespace

const std::vector<LeaderKeyBinding> &LeaderKeyBinding::defaultBindings()
{
    static const std::vector<LeaderKeyBinding> bindings = makeBindings();
    return bindings;
}

ModifierFlags effectiveLeader(ModifierFlags leader)
{
    const bool hasChordModifier = leader.contains(ModifierFlag::control)
                                  || leader.contains(ModifierFlag::option)
                                  || leader.contains(ModifierFlag::command);
    return hasChordModifier ? leader : controlOption;
}

hotkeys::Shortcut LeaderKeyBinding::shortcut(ModifierFlags leader) const
{
    return hotkeys::Shortcut::fromKey(key, effectiveLeader(leader) | extraModifiers);
}

void applyLeaderBindings(hotkeys::HotkeyRegistry &registry, ModifierFlags leader)
{
    for (const LeaderKeyBinding &binding : LeaderKeyBinding::defaultBindings()) {
        // What the user cleared stays without a combination until the user records one.
        if (!registry.isCleared(binding.name)) {
            registry.setShortcut(binding.shortcut(leader), binding.name);
        }
    }
}

LeaderKeyBinder::LeaderKeyBinder(AppPreferences &preferences,
                                 hotkeys::HotkeyRegistry &registry,
                                 Scheduler &scheduler)
    : m_preferences(preferences)
    , m_registry(registry)
    , m_scheduler(scheduler)
{
    m_preferencesConnection = m_preferences.onChange(AppPreferences::Setting::leaderModifiers,
                                                     [this] { scheduleRebind(); });
}

void LeaderKeyBinder::supersedePendingRebind()
{
    ++*m_generation;
    m_isRebindPending = false;
}

void LeaderKeyBinder::applyNow()
{
    supersedePendingRebind();
    applyLeaderBindings(m_registry, m_preferences.leaderModifiers());
}

void LeaderKeyBinder::bindAtStart()
{
    supersedePendingRebind();
    for (const LeaderKeyBinding &binding : LeaderKeyBinding::defaultBindings()) {
        // Unreadable text counts as nothing stored, so it is repaired too; a cleared row stays.
        if (!m_registry.shortcut(binding.name) && !m_registry.isCleared(binding.name)) {
            m_registry.setShortcut(binding.shortcut(m_preferences.leaderModifiers()), binding.name);
        }
    }
}

void LeaderKeyBinder::finishPendingRebind()
{
    if (m_isRebindPending) {
        applyNow();
    }
}

void LeaderKeyBinder::scheduleRebind()
{
    const std::uint64_t generation = ++*m_generation;
    m_isRebindPending = true;
    std::weak_ptr<std::uint64_t> current = m_generation;
    m_scheduler.postAfter(rebindDelay, [this, current, generation] {
        if (const auto latest = current.lock(); latest && *latest == generation) {
            m_isRebindPending = false;
            applyLeaderBindings(m_registry, m_preferences.leaderModifiers());
        }
    });
}

} // namespace zentrel
