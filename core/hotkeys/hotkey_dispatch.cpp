#include "hotkeys/hotkey_registry.h"

#include <algorithm>
#include <utility>

// The handlers and event streams of each name, and which of them a reported combination runs.
namespace zentrel::hotkeys {

void HotkeyRegistry::onKeyDown(const Name &name, Handler handler)
{
    m_keyDownHandlers[name.rawValue].push_back(std::move(handler));
    grabListened(name);
}

void HotkeyRegistry::onKeyUp(const Name &name, Handler handler)
{
    m_keyUpHandlers[name.rawValue].push_back(std::move(handler));
    grabListened(name);
}

// Tried once per combination: a refused one is tried again only on request (retryRefused), not
// each time another handler attaches.
void HotkeyRegistry::grabListened(const Name &name)
{
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
    grabListened(name);
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
