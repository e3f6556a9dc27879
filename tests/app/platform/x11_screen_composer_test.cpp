#include "platform/x11/capture/x11_screen_composer.h"

#include "e2e/processes/child_process.h"
#include "e2e/x11/xvfb_session.h"
#include "platform/x11/x11_window_tree.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QProcessEnvironment>
#include <QRect>
#include <QThread>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <memory>

namespace zentrel {
namespace {

constexpr std::uint32_t magenta = 0xff00ff;
constexpr std::uint32_t blue = 0x2040e0;
constexpr std::uint32_t green = 0x30a040;
constexpr int managerTimeoutMs = 5000;
constexpr int pollMs = 20;
const QRect oursFrame(900, 600, 100, 100);
const QRect otherFrame(200, 200, 120, 80);
const QPoint bareDesktop(600, 100);

// A compositing manager on a private X server whose selection it may lose, as xcompmgr does
// when metacity, started before it, tries to composite and gives up.
class ComposerUnderCompositingManager : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.isRunning());
        m_connection.reset(xcb_connect(m_server.display().toLatin1().constData(), nullptr));
        ASSERT_FALSE(xcb_connection_has_error(c()));
        m_root = xcb_setup_roots_iterator(xcb_get_setup(c())).data->root;
        m_selection = x11Atom(c(), "_NET_WM_CM_S0");
    }

    void TearDown() override { m_manager.stop(QDeadlineTimer(managerTimeoutMs)); }

    xcb_connection_t *c() const { return m_connection.get(); }

    void startManager()
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DISPLAY"), m_server.display());
        ASSERT_TRUE(
            m_manager.start(QStringLiteral("xcompmgr"), {QStringLiteral("-n")}, environment));
        ASSERT_TRUE(waitForSelection(true)) << m_manager.output().toStdString();
    }

    // The selection freed while the manager goes on compositing.
    void takeSelectionAway()
    {
        xcb_set_selection_owner(c(), XCB_NONE, m_selection, XCB_CURRENT_TIME);
        ASSERT_TRUE(waitForSelection(false));
    }

    bool waitForSelection(bool owned)
    {
        const QDeadlineTimer deadline(managerTimeoutMs);
        for (;;) {
            if (x11CompositingManagerRuns(c(), 0) == owned) {
                return true;
            }
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::msleep(pollMs);
        }
    }

    // A desktop that black, as where the root's background was not taken, cannot pass for.
    void paintRoot(std::uint32_t color)
    {
        xcb_change_window_attributes(c(), m_root, XCB_CW_BACK_PIXEL, &color);
        xcb_clear_area(c(), 0, m_root, 0, 0, 0, 0);
        x11RoundTrip(c());
    }

    std::uint32_t showWindow(const QRect &frame, std::uint32_t color)
    {
        const std::uint32_t window = xcb_generate_id(c());
        const std::array<std::uint32_t, 2> values{color, 1};
        xcb_create_window(c(),
                          XCB_COPY_FROM_PARENT,
                          window,
                          m_root,
                          int16_t(frame.x()),
                          int16_t(frame.y()),
                          uint16_t(frame.width()),
                          uint16_t(frame.height()),
                          0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT,
                          values.data());
        xcb_map_window(c(), window);
        x11RoundTrip(c());
        return window;
    }

    // As a capture does it: remembered where a compositing manager runs, then composed, with
    // `ours` left out.
    static QImage capture(X11ScreenComposer &composer, std::uint32_t ours)
    {
        composer.rememberScreen({ours});
        return composer.compose(composer.rootRect(), {ours}).value_or(QImage());
    }

    static void expectDesktopInOurPlace(const QImage &picture)
    {
        ASSERT_FALSE(picture.isNull());
        const QColor desktop = picture.pixelColor(bareDesktop);
        EXPECT_NE(desktop, QColor(Qt::black));
        EXPECT_EQ(picture.pixelColor(oursFrame.center()), desktop);
        EXPECT_EQ(picture.pixel(otherFrame.center()), 0xff000000u | blue);
    }

    struct Disconnect
    {
        void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
    };

    XvfbSession m_server;
    std::unique_ptr<xcb_connection_t, Disconnect> m_connection;
    std::uint32_t m_root = 0;
    std::uint32_t m_selection = 0;
    ChildProcess m_manager;
};

TEST_F(ComposerUnderCompositingManager, WithoutTheSelectionOurPlaceShowsTheDesktop)
{
    ASSERT_NO_FATAL_FAILURE(startManager());
    ASSERT_NO_FATAL_FAILURE(takeSelectionAway());
    showWindow(otherFrame, blue);
    const std::uint32_t ours = showWindow(oursFrame, magenta);
    auto composer = X11ScreenComposer::open(m_server.display().toLatin1());
    ASSERT_TRUE(composer.has_value());
    expectDesktopInOurPlace(capture(**composer, ours));
}

TEST_F(ComposerUnderCompositingManager, StartedAfterOpeningOurPlaceShowsTheDesktop)
{
    auto composer = X11ScreenComposer::open(m_server.display().toLatin1());
    ASSERT_TRUE(composer.has_value());
    ASSERT_NO_FATAL_FAILURE(startManager());
    showWindow(otherFrame, blue);
    const std::uint32_t ours = showWindow(oursFrame, magenta);
    expectDesktopInOurPlace(capture(**composer, ours));
    // Later pictures start from the same screen.
    expectDesktopInOurPlace(capture(**composer, ours));
}

TEST_F(ComposerUnderCompositingManager, APictureWithoutOneLetsAManagerStartAfterIt)
{
    paintRoot(green);
    showWindow(otherFrame, blue);
    const std::uint32_t ours = showWindow(oursFrame, magenta);
    auto composer = X11ScreenComposer::open(m_server.display().toLatin1());
    ASSERT_TRUE(composer.has_value());
    const QImage first = capture(**composer, ours);
    EXPECT_EQ(first.pixel(oursFrame.center()), 0xff000000u | green);
    EXPECT_EQ(first.pixel(bareDesktop), 0xff000000u | green);
    ASSERT_NO_FATAL_FAILURE(startManager());
    // One that cannot redirect the root's windows quits at once.
    QThread::msleep(managerTimeoutMs / 10);
    EXPECT_TRUE(m_manager.isRunning()) << m_manager.output().toStdString();
    expectDesktopInOurPlace(capture(**composer, ours));
}

} // namespace
} // namespace zentrel
