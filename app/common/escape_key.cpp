#include "common/escape_key.h"

#include <QKeyEvent>

namespace zentrel {

bool takeEscapeKey(QKeyEvent *event, const std::function<void()> &onEscape)
{
    if (event->key() != Qt::Key_Escape) {
        return false;
    }
    if (onEscape) {
        onEscape();
    }
    event->accept();
    return true;
}

} // namespace zentrel
