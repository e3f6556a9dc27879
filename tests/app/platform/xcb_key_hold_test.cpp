#include "platform/x11/input/xcb_key_hold.h"

#include "e2e/x11/xvfb_session.h"
#include "hotkeys/key.h"
#include "platform/x11/input/x11_combination.h"
#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdint>

namespace zentrel {
namespace {

const int escape = hotkeys::keys::escape.rawValue;

// Escape held for a run on a private X server, beside another client that tries to take it.
class KeyHoldDisplay : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        server = new XvfbSession;
        ASSERT_TRUE(server->isRunning());
        qputenv("DISPLAY", server->display().toLatin1());
        static int argc = 1;
        static char name[] = "xcb_key_hold_test";
        static char *argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
        other = xcb_connect(nullptr, nullptr);
        root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    }

    static void TearDownTestSuite()
    {
        xcb_disconnect(other);
        delete application;
        delete server;
    }

    // Whether the other client could take Escape now; it lets go of it at once.
    static bool otherCouldTakeEscape()
    {
        const std::uint8_t keycode = *x11Keycode(escape);
        const XcbReply<xcb_generic_error_t> error(xcb_request_check(
            other,
            xcb_grab_key_checked(
                other, 1, root, 0, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
        xcb_ungrab_key(other, keycode, root, 0);
        xcb_flush(other);
        return !error;
    }

    // The server drops a closed connection's grabs once it reads the close, in its own time.
    static bool waitUntilOtherCouldTakeEscape()
    {
        const QDeadlineTimer deadline(5000);
        while (!otherCouldTakeEscape()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

    static inline XvfbSession *server = nullptr;
    static inline QCoreApplication *application = nullptr;
    static inline xcb_connection_t *other = nullptr;
    static inline std::uint32_t root = 0;
};

// Our own hot keys hold theirs through Qt's connection, which counts as another client.
TEST_F(KeyHoldDisplay, YieldsToAClientHoldingEscapeAndHandsItBackWhenItGoes)
{
    const std::uint8_t keycode = *x11Keycode(escape);
    ASSERT_FALSE(XcbReply<xcb_generic_error_t>(xcb_request_check(
        other,
        xcb_grab_key_checked(
            other, 1, root, 0, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC))));
    EXPECT_EQ(XcbKeyHold::create(escape), nullptr);
    xcb_ungrab_key(other, keycode, root, 0);
    x11RoundTrip(other);

    auto hold = XcbKeyHold::create(escape);
    ASSERT_NE(hold, nullptr);
    EXPECT_FALSE(otherCouldTakeEscape()) << "another client could take the held Escape";
    hold.reset();
    EXPECT_TRUE(waitUntilOtherCouldTakeEscape()) << "Escape stayed taken after the hold went";
}

} // namespace
} // namespace zentrel
