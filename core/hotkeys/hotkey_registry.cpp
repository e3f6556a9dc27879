#include "hotkeys/hotkey_registry.h"

#include "hotkeys/shortcut_text.h"

#include <algorithm>
#include <cstdio>
#include <utility>

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

// Declared names by their order, then the others by name: the same one for a press and its
// release, whichever table lists it.
std::optional<std::string> HotkeyRegistry::dispatchedName(const Shortcut &reported) const
{
    const auto rank = [this](const std::string &rawValue) {
        const auto declared =
            std::find(m_declarationOrder.begin(), m_declarationOrder.end(), rawValue);
        return std::pair(declared - m_declarationOrder.begin(), rawValue);
    };
    std::optional<std::string> chosen;
    const auto consider = [&](const std::string &rawValue) {
        if ((!chosen || rank(rawValue) < rank(*chosen))
            && shortcut(Name{rawValue, std::nullopt}) == reported) {
            chosen = rawValue;
        }
    };
    for (const HandlerTable *table : {&m_keyDownHandlers, &m_keyUpHandlers}) {
        for (const auto &entry : *table) {
            consider(entry.first);
        }
    }
    for (const auto &entry : m_eventStreams) {
        consider(entry.first);
    }
    return chosen;
}

// Handlers first, then the stream, as a name's handlers were attached before any view listened.
void HotkeyRegistry::dispatch(EventType type, const Shortcut &reported) const
{
    if (isPaused()) {
        return;
    }
    const auto name = dispatchedName(reported);
    if (!name) {
        return;
    }
    const HandlerTable &table = type == EventType::keyDown ? m_keyDownHandlers : m_keyUpHandlers;
    if (const auto handlers = table.find(*name); handlers != table.end()) {
        // Copied: a handler may add or remove handlers, or start streams, while this runs.
        const std::vector<Handler> snapshot = handlers->second;
        for (const Handler &handler : snapshot) {
            handler();
        }
    }
    // Looked up again: a stream started meanwhile does no harm, as names are never removed.
    if (const auto stream = m_eventStreams.find(*name); stream != m_eventStreams.end()) {
        stream->second.notify(type);
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
