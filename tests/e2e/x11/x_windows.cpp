#include "e2e/x11/x_windows.h"

#include "e2e/x11/xcb_screen.h"
#include "platform/x11/xcb_reply.h"

#include <QStringList>

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace zentrel {

namespace {

// Window events wake a wait at once; the poll only covers changes the server does not report to
// us, such as a title set after mapping.
constexpr qint64 pollSliceMs = 50;

// The left-hand key of each modifier a combination may name.
const std::map<QString, std::uint32_t> modifierKeysyms{
    {QStringLiteral("ctrl"), 0xffe3},
    {QStringLiteral("shift"), 0xffe1},
    {QStringLiteral("alt"), 0xffe9},
    {QStringLiteral("super"), 0xffeb},
};

// The first keycode whose unshifted symbol is keysym, or 0.
std::uint8_t keycodeOf(xcb_connection_t *connection,
                       const xcb_get_keyboard_mapping_reply_t &mapping,
                       std::uint32_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(&mapping);
    const int count = xcb_get_keyboard_mapping_keysyms_length(&mapping);
    for (int i = 0; mapping.keysyms_per_keycode > 0 && i < count;
         i += mapping.keysyms_per_keycode) {
        if (symbols[i] == keysym) {
            return std::uint8_t(setup->min_keycode + i / mapping.keysyms_per_keycode);
        }
    }
    return 0;
}

// The modifier bit the key is mapped to, or 0; Alt and Super are not on the same one everywhere.
std::uint16_t modifierOf(const xcb_get_modifier_mapping_reply_t &mapping, std::uint8_t keycode)
{
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(&mapping);
    for (int modifier = 0; keycode != 0 && modifier < 8; ++modifier) {
        for (int i = 0; i < mapping.keycodes_per_modifier; ++i) {
            if (keycodes[modifier * mapping.keycodes_per_modifier + i] == keycode) {
                return std::uint16_t(1U << modifier);
            }
        }
    }
    return 0;
}

} // namespace

std::string TopLevelWindow::describe() const
{
    std::ostringstream text;
    text << '"' << name.toStdString() << "\" " << frame.width() << 'x' << frame.height() << '+'
         << frame.x() << '+' << frame.y() << (isShown ? " shown" : " hidden")
         << (isOverrideRedirect ? " override-redirect" : "");
    return text.str();
}

XWindows::XWindows(const QString &display)
{
    // xcb would take an empty name to mean $DISPLAY, the desktop of whoever runs the tests.
    if (display.isEmpty()) {
        return;
    }
    const QByteArray name = display.toLatin1();
    int screenNumber = 0;
    m_connection.reset(xcb_connect(name.constData(), &screenNumber));
    if (!isConnected()) {
        return;
    }
    m_root = screenOf(m_connection.get(), screenNumber)->root;
    // Structure events of the root's children are what tells a wait that something changed.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection.get(), m_root, XCB_CW_EVENT_MASK, &mask);
    m_netWmName = atom("_NET_WM_NAME");
    m_utf8String = atom("UTF8_STRING");
    m_wmState = atom("WM_STATE");
}

XWindows::~XWindows() = default;

bool XWindows::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection.get());
}

std::vector<TopLevelWindow> XWindows::topLevel()
{
    std::vector<TopLevelWindow> result;
    if (!isConnected()) {
        return result;
    }
    const XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(
        m_connection.get(), xcb_query_tree(m_connection.get(), m_root), nullptr));
    if (!tree) {
        return result;
    }
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count; ++i) {
        // A window may be destroyed while we look; it is then simply not there.
        if (const auto window = inspect(children[i])) {
            result.push_back(*window);
        }
    }
    return result;
}

std::set<std::uint32_t> XWindows::shownIds()
{
    std::set<std::uint32_t> ids;
    for (const TopLevelWindow &window : topLevel()) {
        if (window.isShown) {
            ids.insert(window.id);
        }
    }
    return ids;
}

std::optional<TopLevelWindow> XWindows::shown(const QString &name)
{
    for (const TopLevelWindow &window : topLevel()) {
        if (window.isShown && window.name == name) {
            return window;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> XWindows::parentOf(std::uint32_t window)
{
    if (!isConnected()) {
        return std::nullopt;
    }
    const XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(
        m_connection.get(), xcb_query_tree(m_connection.get(), window), nullptr));
    if (!tree) {
        return std::nullopt;
    }
    return tree->parent;
}

QStringList XWindows::statesOf(std::uint32_t window)
{
    QStringList names;
    if (!isConnected()) {
        return names;
    }
    xcb_connection_t *connection = m_connection.get();
    const XcbReply<xcb_get_property_reply_t> states(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64),
        nullptr));
    if (!states || states->type != XCB_ATOM_ATOM) {
        return names;
    }
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(states.get()));
    const int count = xcb_get_property_value_length(states.get()) / 4;
    for (int i = 0; i < count; ++i) {
        const XcbReply<xcb_get_atom_name_reply_t> name(
            xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atoms[i]), nullptr));
        if (name) {
            names << QString::fromLatin1(xcb_get_atom_name_name(name.get()),
                                         xcb_get_atom_name_name_length(name.get()));
        }
    }
    return names;
}

std::optional<std::uint32_t> XWindows::transientFor(std::uint32_t window)
{
    if (!isConnected()) {
        return std::nullopt;
    }
    xcb_connection_t *connection = m_connection.get();
    const XcbReply<xcb_get_property_reply_t> owner(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!owner || owner->type != XCB_ATOM_WINDOW
        || xcb_get_property_value_length(owner.get()) != 4) {
        return std::nullopt;
    }
    return *static_cast<const std::uint32_t *>(xcb_get_property_value(owner.get()));
}

QRect XWindows::framed(const TopLevelWindow &window)
{
    if (!isConnected()) {
        return window.frame;
    }
    xcb_connection_t *connection = m_connection.get();
    const XcbReply<xcb_get_property_reply_t> extents(xcb_get_property_reply(
        connection,
        xcb_get_property(
            connection, 0, window.id, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4),
        nullptr));
    if (!extents || extents->type != XCB_ATOM_CARDINAL
        || xcb_get_property_value_length(extents.get()) != 16) {
        return window.frame;
    }
    // Left, right, top, bottom.
    const auto *sides = static_cast<const std::uint32_t *>(xcb_get_property_value(extents.get()));
    return window.frame.adjusted(-int(sides[0]), -int(sides[2]), int(sides[1]), int(sides[3]));
}

bool XWindows::isWithin(std::uint32_t inner, std::uint32_t window)
{
    for (std::optional<std::uint32_t> at = inner; at && *at != XCB_NONE && *at != m_root;
         at = parentOf(*at)) {
        if (*at == window) {
            return true;
        }
    }
    return false;
}

std::uint32_t XWindows::topLevelHolding(std::uint32_t window)
{
    for (;;) {
        const std::optional<std::uint32_t> parent = parentOf(window);
        if (!parent || *parent == m_root || *parent == XCB_NONE) {
            return window;
        }
        window = *parent;
    }
}

bool XWindows::waitForKeyboard(std::uint32_t window, QDeadlineTimer deadline)
{
    for (;;) {
        if (!isConnected()) {
            return false;
        }
        const XcbReply<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(
            m_connection.get(), xcb_get_input_focus(m_connection.get()), nullptr));
        // Not the pointer's root: keys would follow the pointer, and programs do not count
        // that as having the keyboard. Nor the frame around the window, which a window manager
        // may hold a moment as it hands the keyboard over: keys go nowhere then.
        if (focus && focus->focus != XCB_NONE && focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT
            && focus->focus != m_root && isWithin(focus->focus, window)) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        waitForChange(deadline);
    }
}

bool XWindows::waitForKeyboardToLeave(std::uint32_t topLevel, QDeadlineTimer deadline)
{
    for (;;) {
        if (!isConnected()) {
            return false;
        }
        const XcbReply<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(
            m_connection.get(), xcb_get_input_focus(m_connection.get()), nullptr));
        if (focus && focus->focus != XCB_NONE && topLevelHolding(focus->focus) != topLevel) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        waitForChange(deadline);
    }
}

bool XWindows::waitForKeyboardGrab(QDeadlineTimer deadline)
{
    for (;;) {
        if (isKeyboardGrabbed()) {
            return true;
        }
        if (deadline.hasExpired() || !isConnected()) {
            return false;
        }
        waitForChange(deadline);
    }
}

bool XWindows::isKeyboardGrabbed()
{
    if (!isConnected()) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    // The server waits for us meanwhile, so a program grabbing just now is not refused for our
    // trial: its grab comes after ours has ended.
    xcb_grab_server(connection);
    const XcbReply<xcb_grab_keyboard_reply_t> trial(xcb_grab_keyboard_reply(
        connection,
        xcb_grab_keyboard(
            connection, 0, m_root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    if (trial && trial->status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    }
    xcb_ungrab_server(connection);
    xcb_flush(connection);
    return trial && trial->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}

std::optional<std::uint32_t> XWindows::topLevelUnderPointer()
{
    if (!isConnected()) {
        return std::nullopt;
    }
    const XcbReply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(
        m_connection.get(), xcb_query_pointer(m_connection.get(), m_root), nullptr));
    if (!pointer || pointer->child == XCB_NONE) {
        return std::nullopt;
    }
    return pointer->child;
}

std::optional<TopLevelWindow> XWindows::waitForShown(const QString &name, QDeadlineTimer deadline)
{
    for (;;) {
        if (auto window = shown(name)) {
            return window;
        }
        if (deadline.hasExpired() || !isConnected()) {
            return std::nullopt;
        }
        waitForChange(deadline);
    }
}

bool XWindows::waitUntilNotShown(const QString &name, QDeadlineTimer deadline)
{
    for (;;) {
        if (!shown(name)) {
            return true;
        }
        if (deadline.hasExpired() || !isConnected()) {
            return false;
        }
        waitForChange(deadline);
    }
}

bool XWindows::waitUntilNotShown(std::uint32_t window, QDeadlineTimer deadline)
{
    for (;;) {
        const std::optional<TopLevelWindow> found = inspect(window);
        if (!found || !found->isShown) {
            return true;
        }
        if (deadline.hasExpired() || !isConnected()) {
            return false;
        }
        waitForChange(deadline);
    }
}

std::optional<TopLevelWindow> XWindows::waitForNewPopup(const std::set<std::uint32_t> &shownBefore,
                                                        QDeadlineTimer deadline)
{
    for (;;) {
        std::optional<TopLevelWindow> largest;
        for (const TopLevelWindow &window : topLevel()) {
            const bool isNewPopup =
                window.isShown && window.isOverrideRedirect && !shownBefore.contains(window.id);
            const auto area = [](const QRect &frame) {
                return qint64(frame.width()) * frame.height();
            };
            if (isNewPopup && (!largest || area(window.frame) > area(largest->frame))) {
                largest = window;
            }
        }
        if (largest || deadline.hasExpired() || !isConnected()) {
            return largest;
        }
        waitForChange(deadline);
    }
}

std::string XWindows::describeShown()
{
    std::string text;
    for (const TopLevelWindow &window : topLevel()) {
        if (window.isShown) {
            text += "\n  " + window.describe();
        }
    }
    return text.empty() ? std::string("no windows shown") : "windows shown:" + text;
}

bool XWindows::isCapsLockOn()
{
    if (!isConnected()) {
        return false;
    }
    const XcbReply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(
        m_connection.get(), xcb_query_pointer(m_connection.get(), m_root), nullptr));
    return pointer && (pointer->mask & XCB_KEY_BUT_MASK_LOCK) != 0;
}

bool XWindows::isKeyTaken(const QString &combination)
{
    if (!isConnected()) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const auto keyboardCookie = xcb_get_keyboard_mapping(
        connection, setup->min_keycode, std::uint8_t(setup->max_keycode - setup->min_keycode + 1));
    const auto modifierCookie = xcb_get_modifier_mapping(connection);
    const XcbReply<xcb_get_keyboard_mapping_reply_t> keyboard(
        xcb_get_keyboard_mapping_reply(connection, keyboardCookie, nullptr));
    const XcbReply<xcb_get_modifier_mapping_reply_t> modifierKeys(
        xcb_get_modifier_mapping_reply(connection, modifierCookie, nullptr));
    if (!keyboard || !modifierKeys) {
        return false;
    }
    QStringList names = combination.split(QLatin1Char('+'));
    const QString last = names.takeLast();
    // A letter's keysym is its code; F1 to F12 follow one another from XK_F1.
    constexpr std::uint32_t firstFunctionKeysym = 0xffbe;
    bool isFunctionKey = false;
    const int functionKey =
        last.startsWith(QLatin1Char('F')) ? last.mid(1).toInt(&isFunctionKey) : 0;
    std::uint32_t lastKeysym = 0;
    if (isFunctionKey && functionKey >= 1 && functionKey <= 12) {
        lastKeysym = firstFunctionKeysym + std::uint32_t(functionKey - 1);
    } else if (last.size() == 1 && last.front() >= QLatin1Char('a')
               && last.front() <= QLatin1Char('z')) {
        lastKeysym = last.front().unicode();
    } else {
        return false;
    }
    const std::uint8_t key = keycodeOf(connection, *keyboard, lastKeysym);
    std::uint16_t modifiers = 0;
    for (const QString &name : names) {
        const auto keysym = modifierKeysyms.find(name);
        const std::uint16_t bit =
            keysym == modifierKeysyms.end()
                ? 0
                : modifierOf(*modifierKeys, keycodeOf(connection, *keyboard, keysym->second));
        if (bit == 0) {
            return false;
        }
        modifiers |= bit;
    }
    if (key == 0) {
        return false;
    }
    // A grab of our own is refused while another program holds the same one. The server waits
    // for us meanwhile, so our brief grab never keeps the program from taking its own.
    xcb_grab_server(connection);
    const XcbReply<xcb_generic_error_t> refused(xcb_request_check(
        connection,
        xcb_grab_key_checked(
            connection, 1, m_root, modifiers, key, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    if (!refused) {
        xcb_ungrab_key(connection, key, m_root, modifiers);
    }
    xcb_ungrab_server(connection);
    xcb_flush(connection);
    return refused && refused->error_code == XCB_ACCESS;
}

bool XWindows::askToClose(std::uint32_t window)
{
    if (!isConnected()) {
        return false;
    }
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection.get(),
                   0,
                   window,
                   XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
    return xcb_flush(m_connection.get()) > 0;
}

bool XWindows::close(std::uint32_t window, QDeadlineTimer deadline)
{
    const std::uint32_t holder = topLevelHolding(window);
    return askToClose(window) && waitUntilNotShown(window, deadline)
           && waitForKeyboardToLeave(holder, deadline);
}

std::optional<TopLevelWindow> XWindows::inspect(std::uint32_t window)
{
    xcb_connection_t *connection = m_connection.get();
    const std::uint32_t client = clientOf(window);
    const auto attributesCookie = xcb_get_window_attributes(connection, client);
    const auto geometryCookie = xcb_get_geometry(connection, client);
    const auto originCookie = xcb_translate_coordinates(connection, client, m_root, 0, 0);
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, attributesCookie, nullptr));
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, geometryCookie, nullptr));
    const XcbReply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(connection, originCookie, nullptr));
    if (!attributes || !geometry || !origin) {
        return std::nullopt;
    }
    TopLevelWindow result;
    result.id = client;
    result.name = nameOf(client);
    result.frame = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    // Viewable only while the window and every frame around it are mapped.
    result.isShown = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    result.isOverrideRedirect = attributes->override_redirect != 0;
    return result;
}

std::uint32_t XWindows::clientOf(std::uint32_t topLevel)
{
    // Window managers nest the program's window at most a few levels inside their frame.
    constexpr int deepestFrame = 3;
    std::vector<std::uint32_t> level{topLevel};
    for (int depth = 0; depth <= deepestFrame && !level.empty(); ++depth) {
        std::vector<std::uint32_t> next;
        for (const std::uint32_t window : level) {
            if (hasWmState(window)) {
                return window;
            }
            const XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(
                m_connection.get(), xcb_query_tree(m_connection.get(), window), nullptr));
            if (tree) {
                const xcb_window_t *children = xcb_query_tree_children(tree.get());
                next.insert(
                    next.end(), children, children + xcb_query_tree_children_length(tree.get()));
            }
        }
        level = std::move(next);
    }
    return topLevel;
}

bool XWindows::hasWmState(std::uint32_t window)
{
    const XcbReply<xcb_get_property_reply_t> state(xcb_get_property_reply(
        m_connection.get(),
        xcb_get_property(m_connection.get(), 0, window, m_wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr));
    return state && state->type != XCB_NONE;
}

// Qt sets both titles; the UTF-8 one is the true one, the other a Latin-1 fallback.
QString XWindows::nameOf(std::uint32_t window)
{
    xcb_connection_t *connection = m_connection.get();
    constexpr std::uint32_t maximumLength = 1024;
    const XcbReply<xcb_get_property_reply_t> utf8(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, m_netWmName, m_utf8String, 0, maximumLength),
        nullptr));
    if (utf8 && utf8->type == m_utf8String) {
        return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(utf8.get())),
                                 xcb_get_property_value_length(utf8.get()));
    }
    const XcbReply<xcb_get_property_reply_t> latin1(xcb_get_property_reply(
        connection,
        xcb_get_property(
            connection, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, maximumLength),
        nullptr));
    if (latin1 && latin1->type == XCB_ATOM_STRING) {
        return QString::fromLatin1(static_cast<const char *>(xcb_get_property_value(latin1.get())),
                                   xcb_get_property_value_length(latin1.get()));
    }
    return {};
}

std::uint32_t XWindows::atom(const char *name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection.get(),
        xcb_intern_atom(m_connection.get(), 0, std::uint16_t(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
}

void XWindows::waitForChange(QDeadlineTimer deadline)
{
    xcb_connection_t *connection = m_connection.get();
    bool changed = false;
    // Replies we waited for may have queued events already; those count at once.
    while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
        std::free(event);
        changed = true;
    }
    if (changed) {
        return;
    }
    pollfd waiting{xcb_get_file_descriptor(connection), POLLIN, 0};
    const qint64 remaining = deadline.isForever() ? pollSliceMs : deadline.remainingTime();
    const qint64 slice = std::clamp(remaining, qint64(0), pollSliceMs);
    if (poll(&waiting, 1, int(slice)) < 0 && errno != EINTR) {
        return;
    }
    while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
        std::free(event);
    }
}

} // namespace zentrel
