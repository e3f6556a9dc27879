#include "platform/screen_layout_watch.h"

#include <QGuiApplication>
#include <QScreen>

namespace zentrel {

ScreenLayoutWatch::ScreenLayoutWatch(QObject *parent)
    : QObject(parent)
{
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watchScreen(screen);
        Q_EMIT layoutChanged();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &ScreenLayoutWatch::layoutChanged);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &ScreenLayoutWatch::layoutChanged);
    for (QScreen *screen : QGuiApplication::screens()) {
        watchScreen(screen);
    }
}

void ScreenLayoutWatch::watchScreen(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &ScreenLayoutWatch::layoutChanged);
}

} // namespace zentrel
