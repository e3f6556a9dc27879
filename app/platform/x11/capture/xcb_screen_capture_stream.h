#pragma once

#include "platform/screen_capture.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace zentrel {

class X11ScreenComposer;

// Where one screen lies, in Qt's coordinates and in the X server's pixels.
struct ScreenArea
{
    QRect geometry;
    QRect pixels;
    qreal pixelRatio = 1.0;

    // The pixels of a part of geometry; empty when it lies off the screen.
    QRect pixelsOf(const QRect &part) const;
};

// Composes frames on a worker thread with a connection of its own and hands each to the main
// thread through a queued call. At most one frame waits there, so a busy main thread makes the
// worker skip frames instead of piling them up. A frame is made only when the region moved or
// the screen there may have changed, so a still pointer over a still screen costs nothing.
class XcbScreenCaptureStream final : public ScreenCaptureStream
{
public:
    XcbScreenCaptureStream(std::unique_ptr<X11ScreenComposer> composer,
                           const ScreenArea &screen,
                           const QRect &region,
                           const std::vector<WId> &ownWindows,
                           ScreenCapture::FrameHandler onFrame);
    ~XcbScreenCaptureStream() override;

    void setRegion(const QRect &region) override;
    void setOwnWindows(const std::vector<WId> &ownWindows) override;
    void stop() override;

private:
    void run();
    void deliverLater(QImage frame, const QRect &area);
    void deliver(const QImage &frame);

    std::unique_ptr<X11ScreenComposer> m_composer;
    const ScreenArea m_screen;
    ScreenCapture::FrameHandler m_onFrame;
    // Lives on the main thread; frames queued to it vanish with it.
    QObject m_receiver;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    QRect m_region;
    std::vector<std::uint32_t> m_ownWindows;
    bool m_stopping = false;

    std::atomic<bool> m_stopped = false;
    std::atomic<bool> m_frameWaiting = false;
    std::thread m_worker;
};

} // namespace zentrel
