#include "platform/platform_services.h"

#include "hotkeys/key.h"
#include "platform/unsupported_key_grabber.h"
#include "platform/x11/compositing.h"
#include "platform/x11/input/xcb_key_grabber.h"
#include "platform/x11/input/xcb_key_hold.h"
#include "platform/x11/input/xcb_keyboard_setup.h"
#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/x11_click_through_frame.h"
#include "platform/x11/x11_frame_extents.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_window_states.h"
#include "platform/x11/x11_window_tree.h"

#include <QGuiApplication>
#include <QRect>
#include <QRegion>
#include <QScreen>
#include <QWidget>

#include <xcb/xcb.h>

namespace zentrel {
namespace {

bool isX11Session()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

std::unique_ptr<KeyGrabber> makeKeyGrabber()
{
    if (isX11Session()) {
        if (auto grabber = XcbKeyGrabber::create()) {
            return grabber;
        }
    }
    return std::make_unique<UnsupportedKeyGrabber>();
}

std::unique_ptr<KeyHold> holdEscapeKey()
{
    if (!isX11Session()) {
        return nullptr;
    }
    return XcbKeyHold::create(hotkeys::keys::escape.rawValue);
}

} // namespace zentrel

namespace zentrel {

bool isCompositingActive()
{
    return !isX11Session() || isX11CompositingActive();
}

void activateOwnWindow(QWidget *window)
{
    if (isX11Session()) {
        x11ActivateOwnWindow(window->winId());
    } else {
        window->activateWindow();
    }
}

std::optional<WId> keyboardHolderWithoutWindowManager()
{
    if (!isX11Session()) {
        return std::nullopt;
    }
    return x11KeyboardHolderWithoutWindowManager();
}

void giveKeyboardBack(WId holder)
{
    if (isX11Session()) {
        x11GiveKeyboardBack(std::uint32_t(holder));
    }
}

std::optional<WId> activeWindowOnScreenOf(QWidget *window)
{
    if (!isX11Session()) {
        return std::nullopt;
    }
    return x11ActiveWindowOnScreenOf(window->winId());
}

void stackBelow(QWidget *window, WId other)
{
    if (isX11Session()) {
        x11StackBelow(window->winId(), std::uint32_t(other));
    }
}

void keepOutOfTaskLists(QWidget *window)
{
    if (isX11Session()) {
        x11KeepOutOfTaskLists(window->winId());
    }
}

std::optional<QRect> monitorPixels(const QRect &screenGeometry)
{
    if (!isX11Session()) {
        return std::nullopt;
    }
    const auto screen = x11ScreenWithPixels(screenGeometry);
    return screen ? std::optional(screen->second) : std::nullopt;
}

void keepFullScreenOn(QWidget *window, const QRect &screenGeometry)
{
    if (!isX11Session()) {
        return;
    }
    if (const auto pixels = monitorPixels(screenGeometry)) {
        x11KeepFullScreenOn(window->winId(), *pixels);
    }
}

void letClicksThroughFrame(QWidget *window)
{
    if (isX11Session()) {
        new X11ClickThroughFrame(std::uint32_t(window->winId()), window);
    }
}

std::optional<QMargins> windowManagerFrame(const QWidget &window)
{
    const QWindow *handle = window.windowHandle();
    if (!isX11Session() || !handle) {
        return std::nullopt;
    }
    return x11FrameExtents(std::uint32_t(handle->winId()));
}

bool windowManagerRuns()
{
    xcb_connection_t *connection = isX11Session() ? qtX11Connection() : nullptr;
    return connection
           && x11WindowManagerCheckWindow(connection, defaultRootWindow(connection)) != XCB_NONE;
}

void followWindowManagerFrame(QWidget &window, std::function<void()> told)
{
    if (isX11Session()) {
        new X11FrameExtentsWatch(window, std::move(told));
    }
}

void shapeWindow(QWidget *window, const QRegion &screenPixels)
{
    if (isX11Session()) {
        x11ShapeWindow(window->winId(), screenPixels);
    }
}

} // namespace zentrel

#include "platform/x11/input/xinput_monitor.h"

namespace zentrel {

std::unique_ptr<GlobalInputMonitor> makeGlobalInputMonitor()
{
    if (isX11Session()) {
        return XinputMonitor::create();
    }
    return nullptr;
}

} // namespace zentrel

#include "platform/unsupported_screen_capture.h"
#include "platform/x11/capture/xcb_screen_capture.h"

namespace zentrel {

std::unique_ptr<ScreenCapture> makeScreenCapture()
{
    if (!isX11Session()) {
        return std::make_unique<UnsupportedScreenCapture>(CaptureError{
            CaptureError::Kind::Platform, QStringLiteral("Screen capture needs an X11 session.")});
    }
    // Qt's xcb platform opens the display named by $DISPLAY too, unless given -display.
    auto capture = XcbScreenCapture::create(qgetenv("DISPLAY"));
    if (!capture) {
        return std::make_unique<UnsupportedScreenCapture>(capture.error());
    }
    return std::move(*capture);
}

} // namespace zentrel

#include "platform/canberra_sound_player.h"

#include <cstdio>

namespace zentrel {
namespace {

// Tells each request on standard output before passing it on, for end-to-end tests, which
// cannot listen to the sound card.
class TracingSoundPlayer final : public SoundPlayer
{
public:
    explicit TracingSoundPlayer(std::unique_ptr<SoundPlayer> player)
        : m_player(std::move(player))
    {}

    bool startLoop(const QString &soundName) override
    {
        const bool started = m_player->startLoop(soundName);
        trace(QStringLiteral("loop %1 %2")
                  .arg(soundName, QLatin1String(started ? "started" : "failed")));
        return started;
    }

    void stopLoop() override
    {
        m_player->stopLoop();
        trace(QStringLiteral("loop stopped"));
    }

    void beep() override
    {
        m_player->beep();
        trace(QStringLiteral("beep"));
    }

private:
    static void trace(const QString &line)
    {
        std::printf("sound: %s\n", line.toUtf8().constData());
        std::fflush(stdout);
    }

    std::unique_ptr<SoundPlayer> m_player;
};

} // namespace

std::unique_ptr<SoundPlayer> makeSoundPlayer()
{
    auto player = std::make_unique<CanberraSoundPlayer>();
    if (qEnvironmentVariableIsSet("ZENTREL_TEST_TRACE_SOUNDS")) {
        return std::make_unique<TracingSoundPlayer>(std::move(player));
    }
    return player;
}

} // namespace zentrel

#include "platform/unsupported_permission_probe.h"
#include "platform/x11/x11_permission_probe.h"

namespace zentrel {

std::unique_ptr<PermissionProbe> makePermissionProbe()
{
    if (isX11Session()) {
        return std::make_unique<X11PermissionProbe>();
    }
    return std::make_unique<UnsupportedPermissionProbe>();
}

} // namespace zentrel

#include "platform/unfollowed_tray_host_watch.h"
#include "platform/x11/xcb_tray_host_watch.h"

namespace zentrel {

std::unique_ptr<TrayHostWatch> makeTrayHostWatch()
{
    auto unfollowed = std::make_unique<UnfollowedTrayHostWatch>();
    if (!isX11Session()) {
        return unfollowed;
    }
    auto watch = XcbTrayHostWatch::create();
    // A tray Qt reaches over D-Bus (StatusNotifierItem) owns no X selection; it is taken as it
    // was found at start, as before.
    if (!watch || (unfollowed->hasTrayHost() && !watch->hasTrayHost())) {
        return unfollowed;
    }
    return watch;
}

} // namespace zentrel

#include "platform/x11/xcb_screen_layout_watch.h"

namespace zentrel {

std::unique_ptr<ScreenLayoutWatch> makeScreenLayoutWatch()
{
    if (isX11Session()) {
        if (auto watch = XcbScreenLayoutWatch::create()) {
            return watch;
        }
    }
    return std::make_unique<ScreenLayoutWatch>();
}

} // namespace zentrel
