#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

namespace zentrel {

// The frame the window manager tells it puts around the window (_NET_FRAME_EXTENTS), in pixels;
// none before it tells.
std::optional<QMargins> x11FrameExtents(std::uint32_t window);

// Calls back as the window manager tells the frame of a window of ours anew, whichever X window
// Qt gives it by then: Qt looks again only on a ConfigureNotify, and a busy window manager names
// the frame after the last one.
class X11FrameExtentsWatch final : public QObject, public QAbstractNativeEventFilter
{
public:
    X11FrameExtentsWatch(QWidget &window, std::function<void()> told);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    QPointer<QWidget> m_window;
    std::function<void()> m_told;
};

} // namespace zentrel
