#pragma once

#include "platform/screen_capture.h"

#include <QByteArray>
#include <QImage>
#include <QRect>

#include <cstdint>
#include <memory>
#include <vector>

namespace zentrel {

class X11RenderCanvas;
struct X11Layer;

// One X connection that rebuilds what an area of the screen shows from the other top-level
// windows' own contents, because a plain read of the root would include our windows. Used by one
// thread at a time; the stream's worker has its own.
class X11ScreenComposer
{
public:
    // Opens the display (empty: $DISPLAY). Where no compositing manager runs, it redirects the
    // root's windows automatically while it lives, so the server keeps every window's contents.
    static tl::expected<std::unique_ptr<X11ScreenComposer>, CaptureError>
    open(const QByteArray &display);
    ~X11ScreenComposer();
    X11ScreenComposer(const X11ScreenComposer &) = delete;
    X11ScreenComposer &operator=(const X11ScreenComposer &) = delete;

    // Whether windows can be left out (the server offers Composite and Render).
    bool canLeaveOut() const;
    QRect rootRect() const;
    // Reads through a shared memory segment when the server offers MIT-SHM; for many reads.
    void useSharedMemory();
    // Keeps track from here on of what the windows under each composed area draw, for
    // hasChangedWithin; only where windows can be left out.
    void watchChanges();
    // Whether what `area` shows may have changed since the last call; always true when changes
    // are not watched.
    bool hasChangedWithin(const QRect &area);

    // Where a compositing manager runs: keeps what the screen shows once it has settled, with
    // leftOut made transparent for the moment, as the picture every later compose starts from.
    // Call it once, before the windows to leave out from then on map.
    void rememberScreen(const std::vector<std::uint32_t> &leftOut);
    // The connection's socket: readable when reports of changes arrive, which takeReports reads
    // so they do not pile up between composes.
    int socket() const;
    void takeReports();
    // Composes from the picture `from` remembered, as if this one had; `from` must outlive it.
    void shareRememberedScreen(X11ScreenComposer &from);
    // For a live picture: a window that changed since the screen was remembered shows its frame
    // as it is now where the frame itself holds its title bar and borders. A still picture keeps
    // them as the screen showed them, before a run of ours took the keyboard and greyed them.
    void showFramesAsTheyAre();

    // area in root pixels, inside rootRect(). Without Composite the root is read as it is.
    tl::expected<QImage, CaptureError> compose(const QRect &area,
                                               const std::vector<std::uint32_t> &leftOut);

private:
    struct State;
    explicit X11ScreenComposer(std::unique_ptr<State> state);

    tl::expected<QImage, CaptureError> composeOverScreen(const QRect &area,
                                                         const std::vector<std::uint32_t> &leftOut);
    tl::expected<QImage, CaptureError>
    composeOverRemembered(const QRect &area, const std::vector<std::uint32_t> &leftOut);

    void repaintChangedContents(X11RenderCanvas &canvas, const std::vector<X11Layer> &others);

    std::unique_ptr<State> m_state;
};

} // namespace zentrel
