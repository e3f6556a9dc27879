#include "common/escape_key.h"

#include <QKeyEvent>
#include <QWidget>

namespace zentrel {

namespace {

constexpr const char *letsEscapeThrough = "zentrelLetsEscapeThrough";

} // namespace

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

void letEscapeThrough(QWidget *window)
{
    window->setProperty(letsEscapeThrough, true);
}

bool keepsEscape(const QWidget *window)
{
    return window->isVisible() && window->windowType() != Qt::Popup
           && !window->property(letsEscapeThrough).toBool();
}

} // namespace zentrel
