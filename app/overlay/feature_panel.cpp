#include "overlay/feature_panel.h"

#include <QKeyEvent>
#include <QPainter>

namespace zentrel {

FeaturePanel::FeaturePanel(const QString &title, const QRect &screenGeometry)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool)
    , m_title(title)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(title);
    setGeometry(screenGeometry);
    setFocusPolicy(Qt::StrongFocus);
}

void FeaturePanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT escapePressed();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FeaturePanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Nearly clear, but not fully: a fully transparent pixel would let clicks fall through
    // on some compositors, and the run would look like it never started.
    painter.fillRect(rect(), QColor(0, 0, 0, 40));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(14);
    painter.setFont(font);
    painter.drawText(rect().adjusted(0, 40, 0, 0),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("%1 — press Esc to close").arg(m_title));
}

} // namespace zentrel
