#include "platform/x11/input/xcb_key_grabber.h"

#include "hotkeys/us_key_characters.h"
#include "platform/x11/input/x11_combination.h"
#include "platform/x11/input/xcb_keyboard_setup.h"
#include "platform/x11/input/xkb_keyboard.h"
#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/xcb_reply.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

// The XKB protocol header names a field "explicit", which C++ reserves.
#define explicit explicitComponents
#include <xcb/xkb.h>
#undef explicit

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

namespace zentrel {
namespace {

// Refusal for combinations X cannot express: keys without a keycode, and Fn.
constexpr int notGrabbableStatus = -1;

// A layout switch sends several notifications in a row; one reload serves them all.
constexpr int keyboardChangeDelayMs = 50;

} // namespace

struct XcbKeyGrabber::State final : QAbstractNativeEventFilter
{
    // The lock bits are kept so a grab is released exactly as it was taken, whatever the
    // keymap says by then.
    struct Grab
    {
        hotkeys::Shortcut shortcut;
        uint16_t lockMask = 0;
    };

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    bool handleKeyPress(const xcb_key_press_event_t &event);
    bool handleKeyRelease(const xcb_key_release_event_t &event);
    void handleXkbEvent(const xcb_generic_event_t &event);
    void report(void (XcbKeyGrabber::*signal)(const hotkeys::Shortcut &),
                const hotkeys::Shortcut &shortcut) const;
    bool reloadKeyboard();

    static bool isPopup(xcb_window_t window);

    uint16_t currentLockMask() const
    {
        return m_keyboard->lockModifiers() & ~shortcutModifierMask();
    }

    int grabVariants(X11Combination combination, uint16_t lockMask) const;
    void ungrabVariants(X11Combination combination, uint16_t lockMask) const;

    XcbKeyGrabber *m_owner = nullptr;
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
    uint8_t m_xkbEventBase = 0;
    std::unique_ptr<XkbKeyboard> m_keyboard;
    hotkeys::UsKeyCharacters m_usLayout;
    std::map<X11Combination, Grab> m_grabs;
    // Keys that started a reported press, with what they pressed, until they come up.
    std::map<xcb_keycode_t, hotkeys::Shortcut> m_heldKeys;
    QTimer m_keyboardChangeTimer;
};

bool XcbKeyGrabber::State::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_KEY_PRESS) {
        return handleKeyPress(*reinterpret_cast<const xcb_key_press_event_t *>(event));
    }
    if (type == XCB_KEY_RELEASE) {
        return handleKeyRelease(*reinterpret_cast<const xcb_key_release_event_t *>(event));
    }
    if (type == XCB_MAPPING_NOTIFY) {
        const auto *mapping = reinterpret_cast<const xcb_mapping_notify_event_t *>(event);
        if (mapping->request != XCB_MAPPING_POINTER) {
            m_keyboardChangeTimer.start();
        }
    } else if (type == m_xkbEventBase) {
        handleXkbEvent(*event);
    }
    return false;
}

bool XcbKeyGrabber::State::handleKeyPress(const xcb_key_press_event_t &event)
{
    // Keys typed into our own windows (a shortcut recorder holding the keyboard) are theirs. An
    // open menu holds the keyboard too, which keeps the server from firing any hot key; those
    // presses come to the menu instead, and are taken from it so hot keys still work.
    if (event.event != m_root && !isPopup(event.event)) {
        return false;
    }
    // A held hot key repeats; it is still ours even if its modifiers went up meanwhile.
    if (m_heldKeys.contains(event.detail)) {
        return true;
    }
    const auto modifiers = static_cast<uint16_t>(event.state & shortcutModifierMask());
    const auto grab = m_grabs.find(X11Combination{event.detail, modifiers});
    if (grab == m_grabs.end()) {
        return false;
    }
    m_heldKeys.emplace(event.detail, grab->second.shortcut);
    report(&XcbKeyGrabber::shortcutPressed, grab->second.shortcut);
    return true;
}

// Only windows that exist already: asking one without for its id would create it.
bool XcbKeyGrabber::State::isPopup(xcb_window_t window)
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    return std::ranges::any_of(windows, [window](const QWindow *candidate) {
        return candidate->handle() && candidate->winId() == window
               && candidate->type() == Qt::Popup;
    });
}

bool XcbKeyGrabber::State::handleKeyRelease(const xcb_key_release_event_t &event)
{
    // Matched by the key alone: the modifiers are often let go first.
    const auto held = m_heldKeys.find(event.detail);
    if (held == m_heldKeys.end()) {
        return false;
    }
    const hotkeys::Shortcut shortcut = held->second;
    m_heldKeys.erase(held);
    report(&XcbKeyGrabber::shortcutReleased, shortcut);
    return true;
}

void XcbKeyGrabber::State::handleXkbEvent(const xcb_generic_event_t &event)
{
    // All XKB events share one response type; the second byte tells them apart.
    const auto &notify = reinterpret_cast<const xcb_xkb_state_notify_event_t &>(event);
    switch (notify.xkbType) {
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
    case XCB_XKB_MAP_NOTIFY:
        m_keyboardChangeTimer.start();
        break;
    case XCB_XKB_STATE_NOTIFY:
        if ((notify.changed & XCB_XKB_STATE_PART_GROUP_STATE) != 0) {
            m_keyboardChangeTimer.start();
        }
        break;
    default:
        break;
    }
}

// Sent from the event loop rather than from inside Qt's X event handling, so handlers may
// open windows or run dialogs.
void XcbKeyGrabber::State::report(void (XcbKeyGrabber::*signal)(const hotkeys::Shortcut &),
                                  const hotkeys::Shortcut &shortcut) const
{
    QMetaObject::invokeMethod(
        m_owner, std::bind_front(signal, m_owner, shortcut), Qt::QueuedConnection);
}

// Switching between keyboards also notifies, with the same keymap; only real changes count.
bool XcbKeyGrabber::State::reloadKeyboard()
{
    auto keyboard = XkbKeyboard::load(m_connection);
    if (!keyboard || keyboard->isSameLayout(*m_keyboard)) {
        return false;
    }
    m_keyboard = std::move(keyboard);
    return true;
}

int XcbKeyGrabber::State::grabVariants(X11Combination combination, uint16_t lockMask) const
{
    std::vector<xcb_void_cookie_t> cookies;
    for (const uint16_t locks : lockVariants(lockMask)) {
        cookies.push_back(xcb_grab_key_checked(m_connection,
                                               1,
                                               m_root,
                                               combination.modifiers | locks,
                                               combination.keycode,
                                               XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
    }
    int status = 0;
    for (const xcb_void_cookie_t cookie : cookies) {
        const XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        if (error && status == 0) {
            status = error->error_code;
        }
    }
    return status;
}

void XcbKeyGrabber::State::ungrabVariants(X11Combination combination, uint16_t lockMask) const
{
    for (const uint16_t locks : lockVariants(lockMask)) {
        xcb_ungrab_key(m_connection, combination.keycode, m_root, combination.modifiers | locks);
    }
    xcb_flush(m_connection);
}

std::unique_ptr<XcbKeyGrabber> XcbKeyGrabber::create()
{
    auto state = std::make_unique<State>();
    state->m_connection = qtX11Connection();
    if (!state->m_connection
        || !xkb_x11_setup_xkb_extension(state->m_connection,
                                        XKB_X11_MIN_MAJOR_XKB_VERSION,
                                        XKB_X11_MIN_MINOR_XKB_VERSION,
                                        XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                        nullptr,
                                        nullptr,
                                        &state->m_xkbEventBase,
                                        nullptr)) {
        return nullptr;
    }
    state->m_root = defaultRootWindow(state->m_connection);
    state->m_keyboard = XkbKeyboard::load(state->m_connection);
    if (state->m_root == XCB_NONE || !state->m_keyboard) {
        return nullptr;
    }
    requestDetectableAutoRepeat(state->m_connection);
    selectKeyboardChanges(state->m_connection);
    return std::unique_ptr<XcbKeyGrabber>(new XcbKeyGrabber(std::move(state)));
}

XcbKeyGrabber::XcbKeyGrabber(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
    m_state->m_owner = this;
    m_state->m_keyboardChangeTimer.setSingleShot(true);
    m_state->m_keyboardChangeTimer.setInterval(keyboardChangeDelayMs);
    connect(&m_state->m_keyboardChangeTimer, &QTimer::timeout, this, [this] {
        if (m_state->reloadKeyboard()) {
            Q_EMIT keymapChanged();
        }
    });
    qGuiApp->installNativeEventFilter(m_state.get());
}

XcbKeyGrabber::~XcbKeyGrabber()
{
    // Without the application the connection is gone, and the server has dropped the grabs.
    if (!qGuiApp) {
        return;
    }
    for (const auto &[combination, grab] : m_state->m_grabs) {
        m_state->ungrabVariants(combination, grab.lockMask);
    }
}

tl::expected<void, int> XcbKeyGrabber::grab(const hotkeys::Shortcut &shortcut)
{
    const auto combination = x11Combination(shortcut);
    if (!combination) {
        return tl::unexpected(notGrabbableStatus);
    }
    // Taken anew: the lock keys may sit on other modifiers than when it was last grabbed.
    ungrab(shortcut);
    const uint16_t lockMask = m_state->currentLockMask();
    if (const int status = m_state->grabVariants(*combination, lockMask); status != 0) {
        // Some variant belongs to another client; the rest would fire only in some lock states.
        m_state->ungrabVariants(*combination, lockMask);
        return tl::unexpected(status);
    }
    m_state->m_grabs[*combination] = State::Grab{shortcut, lockMask};
    return {};
}

void XcbKeyGrabber::ungrab(const hotkeys::Shortcut &shortcut)
{
    const auto combination = x11Combination(shortcut);
    const auto grab = combination ? m_state->m_grabs.find(*combination) : m_state->m_grabs.end();
    if (grab == m_state->m_grabs.end()) {
        return;
    }
    m_state->ungrabVariants(grab->first, grab->second.lockMask);
    m_state->m_grabs.erase(grab);
}

bool XcbKeyGrabber::isHeldElsewhere(const hotkeys::Shortcut &shortcut)
{
    const auto combination = x11Combination(shortcut);
    // What X cannot express nobody can hold; what we hold ourselves is no clash.
    if (!combination || m_state->m_grabs.contains(*combination)) {
        return false;
    }
    const uint16_t lockMask = m_state->currentLockMask();
    const int status = m_state->grabVariants(*combination, lockMask);
    m_state->ungrabVariants(*combination, lockMask);
    return status == XCB_ACCESS;
}

std::optional<std::string> XcbKeyGrabber::keyCharacter(int carbonKeyCode) const
{
    if (!m_state->m_keyboard->hasAsciiCapableLayout()) {
        return m_state->m_usLayout.keyCharacter(carbonKeyCode);
    }
    const auto keycode = x11Keycode(carbonKeyCode);
    return keycode ? m_state->m_keyboard->character(*keycode) : std::nullopt;
}

} // namespace zentrel
