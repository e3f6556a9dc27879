#include "common/window_placement.h"

#include "common/qt_path.h"
#include "common/qt_shell_ports.h"
#include "shell/active_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zentrel {

void centerOnActiveScreen(QWidget &window)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const std::optional<std::size_t> active = QtScreenLocator().activeScreen();
    if (!active || *active >= std::size_t(screens.size())) {
        return;
    }
    const QSize size = window.size();
    const RectF frame =
        centeredWindowFrame(toRectF(QRectF(screens[qsizetype(*active)]->availableGeometry())),
                            SizeF{double(size.width()), double(size.height())});
    window.move(int(frame.x), int(frame.y));
}

} // namespace zentrel
