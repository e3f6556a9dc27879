#include "platform/x11/capture/x11_window_layers.h"

#include "e2e/x11/bare_window.h"
#include "e2e/x11/xcb_screen.h"
#include "e2e/x11/xvfb_session.h"
#include "platform/x11/capture/x11_own_top_levels.h"
#include "platform/x11/x11_window_tree.h"

#include <QRect>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <vector>

using namespace zentrel;

namespace {

constexpr int otherWindows = 20;
constexpr int ownWindows = 3;

struct Disconnect
{
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};

// A private X server with a desk as a window manager leaves it: other programs' windows, and the
// loupe's overlay, toolbar and tray icon, each a client in a wrapper in a frame (as KWin nests
// them).
class FramedDesk
{
public:
    FramedDesk()
    {
        if (!m_server.isRunning()) {
            return;
        }
        int screenNumber = 0;
        m_connection.reset(xcb_connect(m_server.display().toLatin1().constData(), &screenNumber));
        if (xcb_connection_has_error(c())) {
            return;
        }
        m_root = screenOf(c(), screenNumber)->root;
        for (int i = 0; i < otherWindows; ++i) {
            window(m_root, QRect(40 * i, 20 * i, 400, 300));
        }
        for (int i = 0; i < ownWindows; ++i) {
            const std::uint32_t frame = window(m_root, QRect(100 * i, 0, 300, 200));
            const std::uint32_t wrapper = window(frame, QRect(0, 20, 300, 180));
            m_own.push_back(window(wrapper, QRect(0, 0, 300, 180)));
        }
        x11RoundTrip(c());
    }

    bool isReady() const { return m_connection && !xcb_connection_has_error(c()); }

    xcb_connection_t *c() const { return m_connection.get(); }

    std::uint32_t root() const { return m_root; }

    const std::vector<std::uint32_t> &own() const { return m_own; }

private:
    std::uint32_t window(std::uint32_t parent, const QRect &frame)
    {
        return mapBareWindow(c(), parent, frame);
    }

    XvfbSession m_server;
    std::unique_ptr<xcb_connection_t, Disconnect> m_connection;
    std::uint32_t m_root = 0;
    std::vector<std::uint32_t> m_own;
};

FramedDesk &desk()
{
    static FramedDesk desk;
    return desk;
}

// The windows listed for one frame of the loupe's stream, its own windows told apart by their
// frames, which are kept from frame to frame.
// budget: < 0.3 ms per frame (20 other windows, 3 of ours framed 2 deep)
void BM_X11WindowLayers_OwnFramesKept(benchmark::State &state)
{
    if (!desk().isReady()) {
        state.SkipWithError("no Xvfb");
        return;
    }
    X11OwnTopLevels ownTopLevels(desk().c(), desk().root());
    const QRect area(200, 200, 168, 168);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            x11LayersWithin(desk().c(), desk().root(), area, desk().own(), ownTopLevels));
    }
}

// The same with every frame found anew, walking up from each window of ours.
void BM_X11WindowLayers_OwnFramesFoundAnew(benchmark::State &state)
{
    if (!desk().isReady()) {
        state.SkipWithError("no Xvfb");
        return;
    }
    const QRect area(200, 200, 168, 168);
    for (auto _ : state) {
        X11OwnTopLevels ownTopLevels(desk().c(), desk().root());
        benchmark::DoNotOptimize(
            x11LayersWithin(desk().c(), desk().root(), area, desk().own(), ownTopLevels));
    }
}

} // namespace

BENCHMARK(BM_X11WindowLayers_OwnFramesKept)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_X11WindowLayers_OwnFramesFoundAnew)->Unit(benchmark::kMicrosecond)->UseRealTime();
