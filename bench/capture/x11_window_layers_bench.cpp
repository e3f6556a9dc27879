#include "platform/x11/capture/x11_window_layers.h"

#include "e2e/processes/child_process.h"
#include "e2e/x11/bare_window.h"
#include "e2e/x11/xcb_screen.h"
#include "e2e/x11/xvfb_session.h"
#include "platform/x11/capture/x11_own_top_levels.h"
#include "platform/x11/capture/x11_screen_composer.h"
#include "platform/x11/x11_window_tree.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QRect>
#include <QThread>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
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
// them); where `composited`, under xcompmgr.
class FramedDesk
{
public:
    explicit FramedDesk(bool composited = false)
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
        if (composited) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("DISPLAY"), m_server.display());
            m_compositingManager.start(QStringLiteral("xcompmgr"), {}, environment);
            const QDeadlineTimer started(5000);
            while (!x11CompositingManagerRuns(c(), screenNumber) && !started.hasExpired()) {
                QThread::msleep(20);
            }
            m_composited = x11CompositingManagerRuns(c(), screenNumber);
        }
    }

    bool isReady() const { return m_connection && !xcb_connection_has_error(c()); }

    bool isComposited() const { return m_composited; }

    QByteArray display() const { return m_server.display().toLatin1(); }

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
    ChildProcess m_compositingManager;
    bool m_composited = false;
};

FramedDesk &desk()
{
    static FramedDesk desk;
    return desk;
}

FramedDesk &compositedDesk()
{
    static FramedDesk desk(true);
    return desk;
}

// The windows within `area` and their shapes, as a frame composed over the screen asks them.
std::optional<X11Layers> layersWithShapes(const QRect &area, X11OwnTopLevels &ownTopLevels)
{
    auto layers = x11LayersWithin(desk().c(), desk().root(), area, desk().own(), ownTopLevels);
    if (layers) {
        x11FindShapes(desk().c(), layers->others);
    }
    return layers;
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
        benchmark::DoNotOptimize(layersWithShapes(area, ownTopLevels));
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
        benchmark::DoNotOptimize(layersWithShapes(area, ownTopLevels));
    }
}

// One frame of the loupe's stream under a compositing manager while nothing else changes: the
// windows listed and the area under a moving pointer composed over the remembered screen. The CPU
// time is all this program's threads', its calls to the X server included, not the server's.
// budget: < 0.3 ms of CPU per frame (20 other windows, 168 × 168 points)
void BM_X11ScreenComposer_FrameUnderCompositingManager(benchmark::State &state)
{
    if (!compositedDesk().isReady() || !compositedDesk().isComposited()) {
        state.SkipWithError("no Xvfb or no xcompmgr");
        return;
    }
    auto composer = X11ScreenComposer::open(compositedDesk().display());
    if (!composer) {
        state.SkipWithError("no composer");
        return;
    }
    (*composer)->useSharedMemory();
    (*composer)->rememberScreen(compositedDesk().own());
    int step = 0;
    for (auto _ : state) {
        const double angle = 0.07 * step++;
        const QRect area(
            int(400 + 120 * std::cos(angle)), int(300 + 120 * std::sin(angle)), 168, 168);
        benchmark::DoNotOptimize((*composer)->compose(area, compositedDesk().own()));
    }
}

} // namespace

BENCHMARK(BM_X11ScreenComposer_FrameUnderCompositingManager)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_X11WindowLayers_OwnFramesKept)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_X11WindowLayers_OwnFramesFoundAnew)->Unit(benchmark::kMicrosecond)->UseRealTime();
