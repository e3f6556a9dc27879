#pragma once

#include <QRect>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct xcb_connection_t;

namespace zentrel {

// The type of the Damage extension's report event on the connection, once the version is agreed
// (the server refuses every other Damage request before); nothing without the extension.
std::optional<std::uint8_t> x11DamageNotifyType(xcb_connection_t *connection);

// Tells whether what an area of the screen shows may have changed, from the X Damage reports
// of the windows there and from windows being mapped, moved, restacked or closed, so a stream
// reads the screen again only when there is something new to read. Lives on its owner's
// connection and thread; without the Damage extension it reports a change every time.
class X11DamageWatch
{
public:
    X11DamageWatch(xcb_connection_t *connection, std::uint32_t root);
    ~X11DamageWatch();
    X11DamageWatch(const X11DamageWatch &) = delete;
    X11DamageWatch &operator=(const X11DamageWatch &) = delete;

    struct Window
    {
        std::uint32_t id = 0;
        QRect frame;
    };

    // Watches exactly these windows (children of the root) from here on. A window starts out
    // wholly damaged, so its first report comes at once; it does not count as a change of the
    // window.
    void watch(const std::vector<Window> &windows);
    // Reads every event queued on the connection, keeping the reports and dropping the rest
    // (errors of requests whose failure only left a window out).
    void takeQueuedEvents();
    // Whether anything reported since the last call may show in `area` (root pixels); the
    // reports are used up either way.
    bool takeChangesWithin(const QRect &area);

    // Keeps track from here on of which windows change, for hasChanged, beside the changes
    // another watch saw before this one began. It costs a round trip whenever windows are added.
    void trackWindows(const std::unordered_set<std::uint32_t> &changedBefore = {});

    // Whether the window drew, was mapped, moved or resized since it was first watched; a
    // window only restacked has not changed.
    bool hasChanged(std::uint32_t window) const { return m_changed.contains(window); }

    const std::unordered_set<std::uint32_t> &changedWindows() const { return m_changed; }

private:
    void take(std::uint8_t type, const void *event);
    void takeConfigure(std::uint32_t window, const QRect &frame);

    xcb_connection_t *m_connection;
    std::uint32_t m_root;
    std::uint8_t m_notifyType = 0;
    bool m_available = false;
    std::unordered_map<std::uint32_t, std::uint32_t> m_damageByWindow;
    std::unordered_map<std::uint32_t, QRect> m_frames;
    bool m_tracksWindows = false;
    std::unordered_set<std::uint32_t> m_changed;
    // Damage made since the last sync, whose first reports only say it was made.
    std::unordered_set<std::uint32_t> m_fresh;
    std::vector<QRect> m_damaged;
    bool m_restructured = true;
};

} // namespace zentrel
