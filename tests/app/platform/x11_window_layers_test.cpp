#include "platform/x11/capture/x11_window_layers.h"

#include "e2e/x11/bare_window.h"
#include "e2e/x11/xvfb_session.h"
#include "platform/x11/capture/x11_own_top_levels.h"
#include "platform/x11/x11_window_tree.h"

#include <QRect>
#include <QRegion>

#include <gtest/gtest.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace zentrel {
namespace {

// A private X server on which windows are framed and shaped by hand, as window managers and
// programs such as xeyes do.
class WindowLayers : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        server = new XvfbSession;
        ASSERT_TRUE(server->isRunning());
        connection = xcb_connect(server->display().toLatin1().constData(), nullptr);
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    }

    static void TearDownTestSuite()
    {
        xcb_disconnect(connection);
        delete server;
    }

    void TearDown() override
    {
        for (const std::uint32_t window : m_windows) {
            xcb_destroy_window(connection, window);
        }
        x11RoundTrip(connection);
    }

    std::uint32_t window(std::uint32_t parent, const QRect &frame, int border = 0)
    {
        const std::uint32_t id = mapBareWindow(connection, parent, frame, border);
        if (parent == root) {
            m_windows.push_back(id);
        }
        return id;
    }

    void reparent(std::uint32_t child, std::uint32_t parent)
    {
        xcb_reparent_window(connection, child, parent, 0, 0);
        x11RoundTrip(connection);
    }

    X11Layers layersFor(const std::vector<std::uint32_t> &ours)
    {
        return x11LayersWithin(connection, root, QRect(0, 0, 1280, 800), ours, m_ownTopLevels)
            .value_or(X11Layers{});
    }

    static bool listsOther(const X11Layers &layers, std::uint32_t window)
    {
        return std::any_of(layers.others.begin(), layers.others.end(), [window](const auto &layer) {
            return layer.window == window;
        });
    }

    static inline XvfbSession *server = nullptr;
    static inline xcb_connection_t *connection = nullptr;
    static inline std::uint32_t root = 0;
    X11OwnTopLevels m_ownTopLevels{connection, root};
    std::vector<std::uint32_t> m_windows;
};

// Kept from one listing to the next, the frame that holds a window of ours follows the window
// from the root into a frame, and from that frame into another while the first still stands.
TEST_F(WindowLayers, OursAreToldApartWhereverAWindowManagerPutsThem)
{
    const std::uint32_t client = window(root, QRect(100, 100, 200, 150));
    x11RoundTrip(connection);
    X11Layers layers = layersFor({client});
    EXPECT_EQ(layers.ours, std::vector<QRect>{QRect(100, 100, 200, 150)});
    EXPECT_FALSE(listsOther(layers, client));

    const std::uint32_t first = window(root, QRect(400, 100, 200, 170));
    reparent(client, first);
    layers = layersFor({client});
    EXPECT_EQ(layers.ours, std::vector<QRect>{QRect(400, 100, 200, 170)});
    EXPECT_FALSE(listsOther(layers, first));

    const std::uint32_t second = window(root, QRect(700, 100, 220, 180));
    const std::uint32_t wrapper = window(second, QRect(10, 20, 200, 150));
    reparent(client, wrapper);
    layers = layersFor({client});
    EXPECT_EQ(layers.ours, std::vector<QRect>{QRect(700, 100, 220, 180)});
    EXPECT_TRUE(listsOther(layers, first));
    EXPECT_FALSE(listsOther(layers, second));
}

// A shaped window shows only within its shape, offset by its border; others show whole.
TEST_F(WindowLayers, OthersShowWithinTheirBoundingShape)
{
    const std::uint32_t plain = window(root, QRect(50, 400, 100, 100));
    const std::uint32_t shaped = window(root, QRect(300, 400, 100, 100), 2);
    // Two squares on a diagonal, in the window's own coordinates (inside its border).
    const std::array<xcb_rectangle_t, 2> squares{xcb_rectangle_t{0, 0, 50, 50},
                                                 xcb_rectangle_t{50, 50, 50, 50}};
    xcb_shape_rectangles(connection,
                         XCB_SHAPE_SO_SET,
                         XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_UNSORTED,
                         shaped,
                         0,
                         0,
                         squares.size(),
                         squares.data());
    x11RoundTrip(connection);
    X11Layers layers = layersFor({});
    for (const X11Layer &layer : layers.others) {
        EXPECT_EQ(layer.shown, QRegion(layer.frame)); // until asked
    }
    x11FindShapes(connection, layers.others);
    for (const X11Layer &layer : layers.others) {
        if (layer.window == plain) {
            EXPECT_EQ(layer.shown, QRegion(layer.frame));
        } else if (layer.window == shaped) {
            EXPECT_EQ(layer.frame, QRect(300, 400, 104, 104));
            EXPECT_EQ(layer.shown, QRegion(302, 402, 50, 50) + QRegion(352, 452, 50, 50));
        }
    }
    EXPECT_TRUE(listsOther(layers, plain) && listsOther(layers, shaped));
}

} // namespace
} // namespace zentrel
