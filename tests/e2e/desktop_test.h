#pragma once

#include "e2e/child_process.h"
#include "e2e/tray_host_process.h"
#include "e2e/window_manager.h"
#include "e2e/x_input.h"
#include "e2e/x_windows.h"
#include "e2e/xvfb_session.h"
#include "e2e/zentrel_process.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zentrel {

testing::AssertionResult exitedCleanly(const ProcessExit &exit);

// Screenshots are kept for a person to look at when a test fails; CTest says where.
void keepScreenshot(const QImage &screen, const QString &name);

// A mapped window is black until its program paints it; a painted dialog or menu shows text.
bool isPainted(const QImage &screen, const QRect &area);

// A private desktop for one test: its own X server with a tray host, a home for zentrel, and
// eyes and hands on the screen.
class DesktopTest : public testing::Test
{
protected:
    explicit DesktopTest(QSize screen = QSize(XvfbSession::screenWidth, XvfbSession::screenHeight));

    void SetUp() override;
    // Keeps the screen of a failed test under its name: most steps go by keyboard focus, which a
    // screenshot shows best when one goes astray.
    void TearDown() override;

    // Runs the window manager on the display from here on, as the user's desktop does; a fatal
    // failure when it does not take the display.
    void startWindowManager(WindowManager manager);

    // Starts zentrel and keeps the icon it docked in m_icon; a fatal failure when it docks none.
    void startZentrel();

    // Presses each space-separated key combination in turn, as xdotool names them.
    void press(const QString &keys);

    // An xdotool command line for what XInput has no call for; a fatal failure when it fails or
    // takes longer than timeoutMs.
    void xdotool(const QStringList &arguments, int timeoutMs = XInput::defaultTimeoutMs);

    // Runs `zentrel url` beside the running program, as a launcher or script would.
    testing::AssertionResult handOver(const QString &url);

    // Has another program grab Ctrl+Alt+letter, as a desktop's own shortcut would, for as long
    // as holder lives; it says "pressed" each time the combination reaches it.
    void holdElsewhere(ChildProcess &holder, const QString &letter);

    // The settings window, opened through the tray menu (where Up wraps to "Quit Zentrel" and
    // one more reaches "Settings..."), with the keyboard focus in it; none with the failure
    // reported when it does not come.
    std::optional<TopLevelWindow> openSettings();

    // Starts zentrel and returns the icon window it docked, or nothing when it docked none in
    // time or ended first.
    std::optional<std::uint32_t> startAndWaitForDock();

    // The screen once area shows more than one colour, or the last try when it never does.
    QImage grabOncePainted(const QRect &area);

    // What a failure message needs to tell what went wrong: the screen and the program's words.
    std::string situation();

    // Left-clicks the docked tray icon and returns the menu once it is painted and holds the
    // keyboard, as an open menu does. The screen with the open menu is kept under screenshotName.
    std::optional<TopLevelWindow> openTrayMenu(std::uint32_t icon, const QString &screenshotName);

    std::string stopAndDescribe() { return m_zentrel.stop().describe().toStdString(); }

    XvfbSession m_xvfb;
    std::unique_ptr<TrayHostProcess> m_host;
    std::unique_ptr<WindowManagerProcess> m_windowManager;
    ZentrelProcess m_zentrel;
    XWindows m_windows;
    XInput m_input;
    std::uint32_t m_icon = 0;
};

} // namespace zentrel
