#pragma once

#include "common/settings/defaults_store.h"
#include "common/signal.h"
#include "hotkeys/event_type.h"
#include "hotkeys/hotkey_name.h"
#include "hotkeys/key_character_source.h"
#include "hotkeys/shortcut_grabber.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zentrel::hotkeys {

// The global hot keys: each name's combination stored in the settings under "Hotkeys_<name>",
// the system grabs kept in step with what is stored, and the press and release handlers of each
// name. A reported combination runs the handlers and streams of one name that stores it now: the
// first declared, so a combination two names share never runs two actions one after another.
class HotkeyRegistry
{
public:
    using Handler = std::function<void()>;

    HotkeyRegistry(DefaultsStore &defaults,
                   ShortcutGrabber &grabber,
                   const KeyCharacterSource &layout);
    HotkeyRegistry(const HotkeyRegistry &) = delete;
    HotkeyRegistry &operator=(const HotkeyRegistry &) = delete;

    // Makes the name known; a default is stored the first time, when nothing is stored yet.
    void declare(const Name &name);

    std::optional<Shortcut> shortcut(const Name &name) const;
    // What a view shows beside the name's command: none while a recorder records, so nobody is
    // offered a combination that is being replaced.
    std::optional<Shortcut> shortcutToShow(const Name &name) const;
    bool hasStoredValue(const Name &name) const;
    // None clears: a declared name, or one with a default, then stores false, so that it stays
    // without a combination until one is set; any other name stores nothing.
    void setShortcut(const std::optional<Shortcut> &shortcut, const Name &name);
    // The user cleared the name: it stores false.
    bool isCleared(const Name &name) const;
    // Each declared name gets its default back; other stored names are cleared.
    void reset(const std::vector<Name> &names);
    void resetAll();
    std::vector<Name> storedNames() const;

    void onKeyDown(const Name &name, Handler handler);
    void onKeyUp(const Name &name, Handler handler);
    // Grabs that a live event stream still needs are kept.
    void removeHandler(const Name &name);
    void removeAllHandlers();

    // Each press and release of the name's hot key for as long as the returned connection
    // lives; starting one grabs the name's combination when nothing has yet. Its end releases
    // nothing: the name goes on counting as listened to, as a name with handlers does.
    [[nodiscard]] ScopedConnection events(const Name &name, std::function<void(EventType)> handler);
    // Only the events of one type.
    [[nodiscard]] ScopedConnection events(EventType type, const Name &name, Handler handler);

    // Ungrab or grab again the names' combinations; what is stored stays.
    void disable(const std::vector<Name> &names);
    void enable(const std::vector<Name> &names);
    bool isEnabledForName(const Name &name) const;
    // The name's combination is one the system refused us: another program holds it.
    bool isHeldElsewhere(const Name &name) const;

    // The global switch: off releases every grab, on takes them again.
    void setEnabled(bool enabled);

    bool isEnabled() const { return m_isEnabled; }

    // While paused (a shortcut is being recorded) presses and releases reach nobody. Pauses
    // are counted, so one recorder ending does not resume dispatch while another records.
    void pause();
    void resume();

    bool isPaused() const { return m_pauseCount > 0; }

    // Grabs everything again, also what the system refused before: after a keymap change the
    // same positions may be free, or may be other keys.
    void regrabAll();
    // Tries again what the system refused: the other program may have let go meanwhile.
    void retryRefused();
    // The keyboard layout changed: grabs are taken again, and views that write combinations
    // for the layout hear it through keymapChanged.
    void followKeymapChange();

    // Called by the platform layer for each press and release of a grabbed combination.
    void handleKeyDown(const Shortcut &shortcut);
    void handleKeyUp(const Shortcut &shortcut);

    // Sent with the raw name after a name's stored combination changed.
    Signal<const std::string &> shortcutChanged;
    // Sent with true when a recorder starts recording and with false when the last one ends.
    Signal<bool> recorderActiveChanged;
    // Sent when a combination is refused, or taken after a refusal.
    Signal<> refusalsChanged;
    // Sent after the keyboard layout changed: the same combination may now be written with
    // another key character.
    Signal<> keymapChanged;

private:
    using HandlerTable = std::map<std::string, std::vector<Handler>>;

    void store(const Shortcut &shortcut, const Name &name);
    // Stores false when `keepsMarker`, else removes what the name stores.
    void clear(const Name &name, bool keepsMarker);
    // The name as declared, with its default; the given one when it was never declared.
    const Name &declaredName(const Name &name) const;
    void ensureGrabbed(const Shortcut &shortcut);
    // Grabs what the name stores, now that something listens to it.
    void grabListened(const Name &name);
    void release(const Shortcut &shortcut);
    void setRefused(const Shortcut &shortcut, bool refused);
    bool isStoredByAnotherName(const Shortcut &shortcut, const Name &name) const;
    void dispatch(EventType type, const Shortcut &shortcut) const;
    // The name a reported combination runs, if any listens to it.
    std::optional<std::string> dispatchedName(const Shortcut &shortcut) const;
    std::set<Shortcut> handlerShortcuts() const;
    std::set<Shortcut> streamShortcuts() const;

    DefaultsStore &m_defaults;
    ShortcutGrabber &m_grabber;
    const KeyCharacterSource &m_layout;
    std::map<std::string, Name> m_declared;
    std::vector<std::string> m_declarationOrder;
    HandlerTable m_keyDownHandlers;
    HandlerTable m_keyUpHandlers;
    // One signal per name that ever had a stream; its slots are the live streams.
    std::map<std::string, Signal<EventType>> m_eventStreams;
    // Combinations we asked to be grabbed; those the system refused are kept apart, so they
    // are neither reported as live nor forgotten.
    std::set<Shortcut> m_grabbed;
    std::set<Shortcut> m_refused;
    bool m_isEnabled = true;
    int m_pauseCount = 0;
};

} // namespace zentrel::hotkeys
