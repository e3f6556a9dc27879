#include "overlay/overlay_panel.h"

#include "common/escape_key.h"

#include <QVBoxLayout>

namespace zentrel {

OverlayPanel::OverlayPanel(Level level, QWidget *content)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_level(level)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Zentrel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

void OverlayPanel::raiseInOrder()
{
    show();
    raise();
}

void OverlayPanel::keyPressEvent(QKeyEvent *event)
{
    if (!takeEscapeKey(event, onEscape)) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace zentrel
