#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QtGui/qwindowdefs.h>

#include <tl/expected.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace zentrel {

struct CaptureError
{
    enum class Kind {
        DisplayUnavailable,
        // The desktop lacks what capture needs; detail says what.
        Platform,
    };

    Kind kind = Kind::DisplayUnavailable;
    QString detail;

    QString message() const;

    friend bool operator==(const CaptureError &, const CaptureError &) = default;
};

// A running live capture. Destroying it stops it; frames reach onFrame on the main thread only
// while it runs.
class ScreenCaptureStream
{
public:
    virtual ~ScreenCaptureStream() = default;

    // The area to read from now on, in the same coordinates as the screen's geometry; it is
    // clipped to that screen. Safe to call from any thread, also while frames are being made.
    virtual void setRegion(const QRect &region) = 0;
    // Windows of ours that appear after the start (a loupe shown later) stay out as well.
    virtual void setOwnWindows(const std::vector<WId> &ownWindows) = 0;
    // A second call does nothing; no frame reaches onFrame after it returns.
    virtual void stop() = 0;
};

// Reads what one screen shows, leaving the program's own windows out. Images are at the screen's
// full pixel size (their device pixel ratio says how many pixels one point is), RGB32, opaque,
// without the pointer.
class ScreenCapture
{
public:
    using FrameHandler = std::function<void(const QImage &frame)>;

    virtual ~ScreenCapture() = default;

    // Takes what the screen shows now, ownWindows left out, as what lies behind the windows a
    // run is about to show: call it before they map. It first waits, briefly, until windows
    // that just closed have left the screen. The first capture does it if nothing did before;
    // a failure shows in the captures that follow.
    virtual void rememberScreen(const QRect &screenGeometry,
                                const std::vector<WId> &ownWindows) = 0;

    // screenGeometry is a QScreen's geometry(); the image covers all of it.
    virtual tl::expected<QImage, CaptureError> captureStill(const QRect &screenGeometry,
                                                            const std::vector<WId> &ownWindows) = 0;

    // Frames of region (clipped to the screen) come up to 60 times a second, and only when the
    // region moved or what it shows may have changed; the whole screen when region is empty. A
    // frame's offset() is where it lies in the screen's full picture, in pixels, since the region
    // may have moved since it was asked for. Reading happens on a worker thread; onFrame runs on
    // the main thread.
    virtual tl::expected<std::unique_ptr<ScreenCaptureStream>, CaptureError>
    startStream(const QRect &screenGeometry,
                const QRect &region,
                const std::vector<WId> &ownWindows,
                FrameHandler onFrame) = 0;
};

} // namespace zentrel
