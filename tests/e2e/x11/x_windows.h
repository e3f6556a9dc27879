#pragma once

#include "platform/x11/xcb_connection.h"

#include <QDeadlineTimer>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zentrel {

// A program's window directly below the root, or inside the frame a window manager put around
// it. Its frame is in screen coordinates and leaves out the window manager's frame.
struct TopLevelWindow
{
    // The program's own window, not the window manager's frame.
    std::uint32_t id = 0;
    QString name;
    QRect frame;
    bool isShown = false;
    // Menus and tooltips place themselves; ordinary windows and dialogs do not.
    bool isOverrideRedirect = false;

    std::string describe() const;
};

// Looks at the windows on a display the way a person looks at the screen: by title, whether
// they are shown and where. Waits watch the server's window events, with a short poll besides.
class XWindows
{
public:
    explicit XWindows(const QString &display);
    ~XWindows();
    XWindows(const XWindows &) = delete;
    XWindows &operator=(const XWindows &) = delete;

    bool isConnected() const;

    // Bottom to top, shown or not.
    std::vector<TopLevelWindow> topLevel();
    std::set<std::uint32_t> shownIds();
    std::optional<TopLevelWindow> shown(const QString &name);

    // The window manager's states of the window (_NET_WM_STATE), by atom name.
    QStringList statesOf(std::uint32_t window);

    // The window it is a transient of (WM_TRANSIENT_FOR), if any.
    std::optional<std::uint32_t> transientFor(std::uint32_t window);

    // The program's window as it is now, or nothing once it is gone.
    std::optional<TopLevelWindow> window(std::uint32_t id) { return inspect(id); }

    // The window with the frame its window manager draws around it (_NET_FRAME_EXTENTS: the
    // title bar and borders, not the invisible edges or shadows some keep beyond them), or the
    // window alone where it has none.
    QRect framed(const TopLevelWindow &window);

    // A window manager has taken the window in hand (WM_STATE): framed and placed it.
    bool isManaged(std::uint32_t window) { return isConnected() && hasWmState(window); }

    std::optional<std::uint32_t> parentOf(std::uint32_t window);
    // The root's child that holds the window: the window manager's frame around it, or itself.
    std::uint32_t topLevelHolding(std::uint32_t window);
    // Waits until the keyboard goes to the window or into it.
    bool waitForKeyboard(std::uint32_t window, QDeadlineTimer deadline);
    // Waits until some program holds the keyboard to itself, as an open menu does, so that no
    // hot key fires. Told by a trial grab, which the server refuses then.
    bool waitForKeyboardGrab(QDeadlineTimer deadline);
    // The root's child under the pointer, as a click would find it, or nothing over the root.
    std::optional<std::uint32_t> topLevelUnderPointer();

    std::optional<TopLevelWindow> waitForShown(const QString &name, QDeadlineTimer deadline);
    bool waitUntilNotShown(const QString &name, QDeadlineTimer deadline);
    // Hidden or destroyed; programs may keep a closed menu's window for the next time.
    bool waitUntilNotShown(std::uint32_t window, QDeadlineTimer deadline);
    // A shown override-redirect window not among shownBefore, the largest when several came up.
    // Programs may show a popup again in the window they used before, so hidden ones count.
    std::optional<TopLevelWindow> waitForNewPopup(const std::set<std::uint32_t> &shownBefore,
                                                  QDeadlineTimer deadline);
    // Everything on screen, for a failure message.
    std::string describeShown();
    // As the keyboard's light would show it; the server keeps the lock state, not a window.
    bool isCapsLockOn();
    // Whether some program holds the combination as a hot key, named as xdotool takes it
    // ("ctrl+shift+d": ctrl, shift, alt or super, then a lowercase letter or F1 to F12). It tells
    // without pressing anything, so no program acts on the probe. False too when the keymap lacks a
    // key.
    bool isKeyTaken(const QString &combination);
    // Asks the window's program to close it, as a window manager's close button does, then
    // waits until it is gone and keys reach a window again, as they do by the time a user types.
    bool close(std::uint32_t window, QDeadlineTimer deadline);

private:
    // After the root's child topLevel closed, the keyboard may stay a while in the frame a
    // window manager keeps, then go nowhere (None) until the window manager hands it on (KWin,
    // with no other window open); meanwhile even hot keys are lost.
    bool waitForKeyboardToLeave(std::uint32_t topLevel, QDeadlineTimer deadline);
    bool askToClose(std::uint32_t window);
    std::optional<TopLevelWindow> inspect(std::uint32_t window);
    // The program's window inside a root child: the one a window manager marked with WM_STATE,
    // or the child itself where none manages it.
    std::uint32_t clientOf(std::uint32_t topLevel);
    bool hasWmState(std::uint32_t window);
    // Whether `inner` is the window or lies inside it.
    bool isWithin(std::uint32_t inner, std::uint32_t window);
    bool isKeyboardGrabbed();
    QString nameOf(std::uint32_t window);
    std::uint32_t atom(const char *name);
    void waitForChange(QDeadlineTimer deadline);

    XcbConnection m_connection;
    std::uint32_t m_root = 0;
    std::uint32_t m_netWmName = 0;
    std::uint32_t m_utf8String = 0;
    std::uint32_t m_wmState = 0;
};

} // namespace zentrel
