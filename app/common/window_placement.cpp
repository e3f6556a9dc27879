#include "common/window_placement.h"

#include "common/qt_path.h"
#include "common/qt_shell_ports.h"
#include "shell/active_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zentrel {
namespace {

// As far from the corner as a launcher keeps from a screen's edges.
constexpr double cornerMargin = 16;

SizeF frameSizeOf(const QWidget &window)
{
    const QSize size = window.frameGeometry().size();
    return SizeF{double(size.width()), double(size.height())};
}

// On the screen before it takes its place: Qt turns a place into X pixels at the scale of the
// window's screen, so a window left on a screen of another scale would land elsewhere, at the
// wrong size.
void placeOn(QWidget &window, QScreen &screen, const RectF &frame)
{
    if (window.screen() != &screen) {
        window.setScreen(&screen);
    }
    window.move(int(frame.x), int(frame.y));
}

} // namespace

QScreen *activeScreen()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const std::optional<std::size_t> active = QtScreenLocator().activeScreen();
    if (!active || *active >= std::size_t(screens.size())) {
        return nullptr;
    }
    return screens[qsizetype(*active)];
}

void centerOnActiveScreen(QWidget &window)
{
    if (QScreen *screen = activeScreen()) {
        placeOn(
            window,
            *screen,
            centeredWindowFrame(toRectF(QRectF(screen->availableGeometry())), frameSizeOf(window)));
    }
}

void placeInCorner(QWidget &window, QScreen &screen)
{
    placeOn(window,
            screen,
            cornerWindowFrame(
                toRectF(QRectF(screen.availableGeometry())), frameSizeOf(window), cornerMargin));
}

} // namespace zentrel
