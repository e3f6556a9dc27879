#include "common/qt_shell_ports.h"

#include "common/qt_path.h"
#include "shell/active_screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <vector>

namespace zentrel {

std::optional<std::size_t> QtScreenLocator::activeScreen() const
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    std::vector<RectF> frames;
    std::optional<std::size_t> primary;
    for (QScreen *screen : screens) {
        if (screen == QGuiApplication::primaryScreen()) {
            primary = frames.size();
        }
        frames.push_back(toRectF(screen->geometry()));
    }
    return activeScreenIndex(frames, toPointF(QCursor::pos()), primary);
}

QtScheduler::QtScheduler(QObject *context)
    : m_context(context)
{}

void QtScheduler::post(std::function<void()> task)
{
    QTimer::singleShot(0, m_context, std::move(task));
}

void QtScheduler::postAfter(std::chrono::milliseconds delay, std::function<void()> task)
{
    QTimer::singleShot(delay, m_context, std::move(task));
}

} // namespace zentrel
