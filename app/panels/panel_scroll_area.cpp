#include "panels/panel_scroll_area.h"

#include <QEvent>
#include <QScrollBar>

namespace zentrel {

PanelScrollArea::PanelScrollArea(QWidget *content, int heightLimit, QWidget *parent)
    : QScrollArea(parent)
    , m_heightLimit(heightLimit)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setWidget(content);
    // The panel's own rounded background shows through, as it does without a scroll area.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    content->installEventFilter(this);
}

QSize PanelScrollArea::sizeHint() const
{
    const QSize content = widget()->sizeHint().expandedTo(widget()->minimumSize());
    if (content.height() <= m_heightLimit) {
        return content;
    }
    return {content.width() + verticalScrollBar()->sizeHint().width(), m_heightLimit};
}

QSize PanelScrollArea::minimumSizeHint() const
{
    return sizeHint();
}

// The window takes this area's size: it hears of the content's new size, which the content's
// layout announces to the content, only from here. Also while hidden, so it shows at its new size.
bool PanelScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        updateGeometry();
    }
    return QScrollArea::eventFilter(watched, event);
}

} // namespace zentrel
