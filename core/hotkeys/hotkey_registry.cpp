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

void HotkeyRegistry::setShortcut(const std::optional<Shortcut> &newShortcut, const Name &name)
{
    if (newShortcut) {
        store(*newShortcut, name);
        return;
    }
    if (!shortcut(name)) {
        return;
    }
    clear(declaredName(name));
}

const Name &HotkeyRegistry::declaredName(const Name &name) const
{
    const auto declared = m_declared.find(name.rawValue);
    return declared != m_declared.end() ? declared->second : name;
}

void HotkeyRegistry::clear(const Name &name)
{
    const auto old = shortcut(name);
    if (name.defaultShortcut) {
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
        m_refused.erase(combination);
    } else {
        m_refused.insert(combination);
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
    m_refused.erase(combination);
}

void HotkeyRegistry::reset(const std::vector<Name> &names)
{
    for (const Name &given : names) {
        const Name &name = declaredName(given);
        if (name.defaultShortcut) {
            store(*name.defaultShortcut, name);
        } else if (hasStoredValue(name)) {
            // Also what reads as no combination (a false marker, unreadable text) goes.
            clear(name);
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

void HotkeyRegistry::onKeyDown(const Name &name, Handler handler)
{
    m_keyDownHandlers[name.rawValue].push_back(std::move(handler));
    if (const auto stored = shortcut(name); stored && !m_refused.contains(*stored)) {
        ensureGrabbed(*stored);
    }
}

void HotkeyRegistry::onKeyUp(const Name &name, Handler handler)
{
    m_keyUpHandlers[name.rawValue].push_back(std::move(handler));
    if (const auto stored = shortcut(name); stored && !m_refused.contains(*stored)) {
        ensureGrabbed(*stored);
    }
}

void HotkeyRegistry::removeHandler(const Name &name)
{
    m_keyDownHandlers.erase(name.rawValue);
    m_keyUpHandlers.erase(name.rawValue);
    if (const auto stored = shortcut(name); stored && !streamShortcuts().contains(*stored)) {
        release(*stored);
    }
}

std::set<Shortcut> HotkeyRegistry::handlerShortcuts() const
{
    std::set<Shortcut> combinations;
    for (const HandlerTable *table : {&m_keyDownHandlers, &m_keyUpHandlers}) {
        for (const auto &[rawValue, handlers] : *table) {
            if (const auto stored = shortcut(Name{rawValue, std::nullopt})) {
                combinations.insert(*stored);
            }
        }
    }
    return combinations;
}

std::set<Shortcut> HotkeyRegistry::streamShortcuts() const
{
    std::set<Shortcut> combinations;
    for (const auto &[rawValue, stream] : m_eventStreams) {
        if (const auto stored = shortcut(Name{rawValue, std::nullopt})) {
            combinations.insert(*stored);
        }
    }
    return combinations;
}

void HotkeyRegistry::removeAllHandlers()
{
    const std::set<Shortcut> streamed = streamShortcuts();
    for (const Shortcut &combination : handlerShortcuts()) {
        if (!streamed.contains(combination)) {
            release(combination);
        }
    }
    m_keyDownHandlers.clear();
    m_keyUpHandlers.clear();
}

ScopedConnection HotkeyRegistry::events(const Name &name, std::function<void(EventType)> handler)
{
    ScopedConnection connection = m_eventStreams[name.rawValue].connect(std::move(handler));
    if (const auto stored = shortcut(name); stored && !m_refused.contains(*stored)) {
        ensureGrabbed(*stored);
    }
    return connection;
}

ScopedConnection HotkeyRegistry::events(EventType type, const Name &name, Handler handler)
{
    return events(name, [type, handler = std::move(handler)](EventType event) {
        if (event == type) {
            handler();
        }
    });
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
    wanted.merge(m_refused);
    m_grabbed.clear();
    m_refused.clear();
    for (const Shortcut &combination : wanted) {
        m_grabber.ungrab(combination);
        ensureGrabbed(combination);
    }
}

// Handlers first, then streams, as a name's handlers were attached before any view listened.
void HotkeyRegistry::dispatch(EventType type, const Shortcut &reported) const
{
    if (isPaused()) {
        return;
    }
    // Copied: a handler may add or remove handlers, or start streams, while this runs.
    const HandlerTable snapshot = type == EventType::keyDown ? m_keyDownHandlers : m_keyUpHandlers;
    for (const auto &[rawValue, handlers] : snapshot) {
        if (shortcut(Name{rawValue, std::nullopt}) == reported) {
            for (const Handler &handler : handlers) {
                handler();
            }
        }
    }
    // Streams started meanwhile do no harm: names are never removed, and adding one keeps the
    // map's iterators valid.
    for (const auto &[rawValue, stream] : m_eventStreams) {
        if (shortcut(Name{rawValue, std::nullopt}) == reported) {
            stream.notify(type);
        }
    }
}

void HotkeyRegistry::pause()
{
    if (++m_pauseCount == 1) {
        recorderActiveChanged.notify(true);
    }
}

void HotkeyRegistry::resume()
{
    if (m_pauseCount > 0 && --m_pauseCount == 0) {
        recorderActiveChanged.notify(false);
    }
}

void HotkeyRegistry::handleKeyDown(const Shortcut &shortcut)
{
    dispatch(EventType::keyDown, shortcut);
}

void HotkeyRegistry::handleKeyUp(const Shortcut &shortcut)
{
    dispatch(EventType::keyUp, shortcut);
}

} // namespace zentrel::hotkeys
