#pragma once

#include <QMargins>
#include <QRect>
#include <QWindow>

#include <functional>
#include <memory>
#include <optional>

class QRegion;
class QWidget;

namespace zentrel {

class KeyGrabber;
class KeyHold;

// The one place that picks the desktop's implementations: X11 ones in an X11 session,
// "unsupported" ones that report through the program's own error texts elsewhere.
std::unique_ptr<KeyGrabber> makeKeyGrabber();

// Escape taken from every program until the hold goes; none where the desktop gives no way to
// take it, or where it is held already (by another program, or as a hot key of ours).
std::unique_ptr<KeyHold> holdEscapeKey();

// Whether translucent windows show what lies below them: on X11 only while a compositing
// manager runs; elsewhere the desktop always composites.
bool isCompositingActive();

// Gives the keyboard back to a window of ours, as the user's own choice: after one of our
// dialogs closed, window managers that guard against focus stealing refuse a program's request.
void activateOwnWindow(QWidget *window);

// The window that has the keyboard now, where no window manager runs: there, once a window of
// ours that took the keyboard goes, the X server gives it to the root, and keys go to whatever
// lies under the pointer. Nothing where a window manager hands the keyboard on by itself.
std::optional<WId> keyboardHolderWithoutWindowManager();

// Gives the keyboard back to the holder if it has gone to no window since and the holder is
// still shown.
void giveKeyboardBack(WId holder);

// The window the window manager has active on the screen of a window of ours: the program in
// use. Nothing where no window manager runs or none is active.
std::optional<WId> activeWindowOnScreenOf(QWidget *window);

// Asks the window manager to stack a shown window of ours just below the other window.
void stackBelow(QWidget *window, WId other);

// Keeps a window out of the taskbar, the pager and the window switcher; call before it is
// first shown.
void keepOutOfTaskLists(QWidget *window);

// The rectangle the screen's monitor takes in the display's pixels, as the display lists it:
// Qt's size in points times the scale may miss it by a pixel. None where the desktop does not
// tell, or where no monitor is that screen any more.
std::optional<QRect> monitorPixels(const QRect &screenGeometry);

// Has a full-screen window cover the screen of that geometry (Qt's), to the pixel, and tells the
// window manager which one it is: some (xfwm4) otherwise make it cover the first monitor
// wherever it asked to be. Call before it is first shown, and again once shown.
void keepFullScreenOn(QWidget *window, const QRect &screenGeometry);

// Lets the clicks that a window of ours lets through (Qt::WindowTransparentForInput) pass the
// frame a window manager puts around it too. Call once, before it is first shown.
void letClicksThroughFrame(QWidget *window);

// The frame the window manager says it puts around a window of ours, in the window's device
// pixels; none before it says, or where it does not.
std::optional<QMargins> windowManagerFrame(const QWidget &window);

// Whether a window manager runs, which frames ordinary windows.
bool windowManagerRuns();

// Calls `told` each time the window manager says anew what frame it puts around the window, as
// long as the window lives.
void followWindowManagerFrame(QWidget &window, std::function<void()> told);

// Cuts a window of ours to `screenPixels`, a region in the pixels of the screen it shows on: a
// Qt mask is in logical pixels and scaled a whole rectangle at a time, so at twice the scale it
// steps a curve by two pixels. An empty region gives the window its whole rectangle back.
// Nothing where the desktop composites every window, as it does outside X11.
void shapeWindow(QWidget *window, const QRegion &screenPixels);

} // namespace zentrel

namespace zentrel {

class GlobalInputMonitor;

// Left and right clicks anywhere on the screen; none where the desktop does not tell them.
std::unique_ptr<GlobalInputMonitor> makeGlobalInputMonitor();

} // namespace zentrel

namespace zentrel {

class ScreenCapture;

// Capture through the X server in an X11 session; elsewhere, or when the server cannot be
// reached, one whose every request fails with the reason.
std::unique_ptr<ScreenCapture> makeScreenCapture();

} // namespace zentrel

namespace zentrel {

class SoundPlayer;

// Theme sounds through libcanberra. With ZENTREL_TEST_TRACE_SOUNDS set, every request is also
// printed to standard output as a line starting "sound: ", for end-to-end tests.
std::unique_ptr<SoundPlayer> makeSoundPlayer();

} // namespace zentrel

namespace zentrel {

class PermissionProbe;

// What the session lets the program do: asked of the X server in an X11 session, never granted
// elsewhere.
std::unique_ptr<PermissionProbe> makePermissionProbe();

} // namespace zentrel

namespace zentrel {

class TrayHostWatch;

// Follows the XEmbed tray selection in an X11 session; elsewhere, or where Qt shows its icon
// through a D-Bus tray, what Qt finds at start.
std::unique_ptr<TrayHostWatch> makeTrayHostWatch();

} // namespace zentrel

namespace zentrel {

class ScreenLayoutWatch;

// Follows the monitors through Qt, and in an X11 session through the server's RandR notices too.
std::unique_ptr<ScreenLayoutWatch> makeScreenLayoutWatch();

} // namespace zentrel
