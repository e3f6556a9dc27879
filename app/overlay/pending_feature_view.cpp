#include "overlay/pending_feature_view.h"

#include <QPainter>

namespace zentrel {

PendingFeatureView::PendingFeatureView(const QString &title)
    : m_title(title)
{
    setFocusPolicy(Qt::StrongFocus);
}

void PendingFeatureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Nearly clear, not fully: a fully transparent pixel lets clicks fall through on some
    // compositors, and the run would look as if it never started.
    painter.fillRect(rect(), QColor(0, 0, 0, 40));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(14);
    painter.setFont(font);
    painter.drawText(rect().adjusted(0, 40, 0, 0),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("%1 \u2014 press Esc to close").arg(m_title));
}

} // namespace zentrel
