#include "common/pool_thread_painting.h"

#include <QSemaphore>
#include <QThreadPool>

namespace zentrel {

void paintOnPoolThread(const std::function<void()> &paint)
{
    QSemaphore done;
    const bool started = QThreadPool::globalInstance()->tryStart([&paint, &done] {
        paint();
        done.release();
    });
    if (!started) {
        paint();
        return;
    }
    done.acquire();
}

} // namespace zentrel
