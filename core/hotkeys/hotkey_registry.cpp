#include "hotkeys/hotkey_registry.h"

#include "hotkeys/shortcut_text.h"

#include <cstdio>

namespace zentrel::hotkeys {

HotkeyRegistry::HotkeyRegistry(DefaultsStore &defaults,
                               ShortcutGrabber &grabber,
                               const KeyCharacterSource &layout)
    : m_defaults(defaults)
    , m_grabber(grabber)
    , m_layout(layout)
{}

void HotkeyRegistry::declare(const Name &name)
{
    if (!m_declared.contains(name.rawValue)) {
        m_declarationOrder.push_back(name.rawValue);
    }
    m_declared[name.rawValue] = name;
    if (name.defaultShortcut && !hasStoredValue(name)) {
        store(*name.defaultShortcut, name);
    }
}

std::optional<Shortcut> HotkeyRegistry::shortcut(const Name &name) const
{
    const auto stored = m_defaults.storedValue(name.defaultsKey());
    if (!stored || !stored->is_string()) {
        return std::nullopt;
    }
    return Shortcut::fromJsonText(stored->get<std::string>());
}

std::optional<Shortcut> HotkeyRegistry::shortcutToShow(const Name &name) const
{
    return isPaused() ? std::nullopt : shortcut(name);
}

bool HotkeyRegistry::hasStoredValue(const Name &name) const
{
    return m_defaults.storedValue(name.defaultsKey()).has_value();
}

bool HotkeyRegistry::isCleared(const Name &name) const
{
    return m_defaults.storedValue(name.defaultsKey()) == nlohmann::json(false);
}

void HotkeyRegistry::setShortcut(const std::optional<Shortcut> &newShortcut, const Name &name)
{
    if (newShortcut) {
        store(*newShortcut, name);
        return;
    }
    if (!shortcut(name)) {
        return;
    }
    // A declared name is one of the program's own: whatever sets the others' combinations (the
    // leader) must find that the user cleared it.
    const Name &declared = declaredName(name);
    clear(declared, declared.defaultShortcut || m_declared.contains(declared.rawValue));
}

const Name &HotkeyRegistry::declaredName(const Name &name) const
{
    const auto declared = m_declared.find(name.rawValue);
    return declared != m_declared.end() ? declared->second : name;
}

void HotkeyRegistry::clear(const Name &name, bool keepsMarker)
{
    const auto old = shortcut(name);
    if (keepsMarker) {
        m_defaults.setValue(name.defaultsKey(), false);
    } else {
        m_defaults.removeValue(name.defaultsKey());
    }
    if (old && !isStoredByAnotherName(*old, name)) {
        release(*old);
    }
    shortcutChanged.notify(name.rawValue);
}

void HotkeyRegistry::store(const Shortcut &newShortcut, const Name &name)
{
    if (const auto old = shortcut(name); old && !isStoredByAnotherName(*old, name)) {
        release(*old);
    }
    ensureGrabbed(newShortcut);
    m_defaults.setValue(name.defaultsKey(), newShortcut.jsonText());
    shortcutChanged.notify(name.rawValue);
}

bool HotkeyRegistry::isStoredByAnotherName(const Shortcut &combination, const Name &name) const
{
    for (const Name &other : storedNames()) {
        if (other.rawValue != name.rawValue && shortcut(other) == combination) {
            return true;
        }
    }
    return false;
}

void HotkeyRegistry::ensureGrabbed(const Shortcut &combination)
{
    if (!combination.isGrabbable() || m_grabbed.contains(combination)) {
        return;
    }
    if (!m_isEnabled) {
        m_grabbed.insert(combination);
        return;
    }
    if (auto grabbed = m_grabber.grab(combination); grabbed) {
        m_grabbed.insert(combination);
        setRefused(combination, false);
    } else if (!m_refused.contains(combination)) {
        setRefused(combination, true);
        std::printf("Error registering hotkey %s: %d\n",
                    description(combination, m_layout).c_str(),
                    grabbed.error());
        std::fflush(stdout);
    }
}

void HotkeyRegistry::release(const Shortcut &combination)
{
    if (m_grabbed.erase(combination) > 0 && m_isEnabled) {
        m_grabber.ungrab(combination);
    }
    setRefused(combination, false);
}

void HotkeyRegistry::setRefused(const Shortcut &combination, bool refused)
{
    const bool changed =
        refused ? m_refused.insert(combination).second : m_refused.erase(combination) > 0;
    if (changed) {
        refusalsChanged.notify();
    }
}

void HotkeyRegistry::reset(const std::vector<Name> &names)
{
    for (const Name &given : names) {
        const Name &name = declaredName(given);
        if (name.defaultShortcut) {
            store(*name.defaultShortcut, name);
        } else if (hasStoredValue(name)) {
            // Also what reads as no combination (a false marker, unreadable text) goes.
            clear(name, false);
        }
    }
}

void HotkeyRegistry::resetAll()
{
    reset(storedNames());
}

std::vector<Name> HotkeyRegistry::storedNames() const
{
    std::vector<Name> names;
    for (const std::string &key : m_defaults.storedKeys()) {
        if (key.starts_with(defaultsKeyPrefix)) {
            names.push_back(Name{key.substr(defaultsKeyPrefix.size()), std::nullopt});
        }
    }
    return names;
}

void HotkeyRegistry::disable(const std::vector<Name> &names)
{
    for (const Name &name : names) {
        if (const auto stored = shortcut(name)) {
            release(*stored);
        }
    }
}

void HotkeyRegistry::enable(const std::vector<Name> &names)
{
    for (const Name &name : names) {
        if (const auto stored = shortcut(name)) {
            ensureGrabbed(*stored);
        }
    }
}

bool HotkeyRegistry::isEnabledForName(const Name &name) const
{
    const auto stored = shortcut(name);
    return m_isEnabled && stored && m_grabbed.contains(*stored);
}

bool HotkeyRegistry::isHeldElsewhere(const Name &name) const
{
    const auto stored = shortcut(name);
    return stored && m_refused.contains(*stored);
}

void HotkeyRegistry::setEnabled(bool enabled)
{
    if (enabled == m_isEnabled) {
        return;
    }
    if (!enabled) {
        for (const Shortcut &combination : m_grabbed) {
            m_grabber.ungrab(combination);
        }
        m_isEnabled = false;
        return;
    }
    m_isEnabled = true;
    regrabAll();
}

void HotkeyRegistry::regrabAll()
{
    if (!m_isEnabled) {
        return;
    }
    std::set<Shortcut> wanted = std::move(m_grabbed);
    m_grabbed.clear();
    for (const Shortcut &combination : wanted) {
        m_grabber.ungrab(combination);
        ensureGrabbed(combination);
    }
    retryRefused();
}

void HotkeyRegistry::followKeymapChange()
{
    regrabAll();
    keymapChanged.notify();
}

void HotkeyRegistry::retryRefused()
{
    if (!m_isEnabled) {
        return;
    }
    const std::set<Shortcut> refused = m_refused;
    for (const Shortcut &combination : refused) {
        ensureGrabbed(combination);
    }
}

} // namespace zentrel::hotkeys
