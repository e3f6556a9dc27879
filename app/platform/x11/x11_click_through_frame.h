#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>
#include <vector>

namespace zentrel {

// Lets the clicks that a window of ours lets through pass the window manager's frame around it as
// well: openbox and xfwm4 frame even a borderless full-screen window, and their frame would take
// every click the window itself lets through. Follows the window into each frame it is put in.
class X11ClickThroughFrame final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    X11ClickThroughFrame(std::uint32_t window, QObject *parent);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void letClicksThroughAncestors();
    bool isAncestor(std::uint32_t window) const;

    std::uint32_t m_window;
    // The frame and any wrappers between it and the window, as last found.
    std::vector<std::uint32_t> m_ancestors;
    std::uint8_t m_shapeEventBase = 0;
    // A window manager that kept giving its frame the input back would have us answer forever.
    int m_frameReturns = 0;
};

} // namespace zentrel
