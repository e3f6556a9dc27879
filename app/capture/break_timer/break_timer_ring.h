#pragma once

#include "capture/break_timer_appearance.h"

#include <QColor>
#include <QFont>
#include <QWidget>

class QVariantAnimation;

namespace zentrel {

// The round countdown: a faint track, the passed share of the break as an arc from the top
// running clockwise, and the remaining time with the state's line below it.
class BreakTimerRing : public QWidget
{
    Q_OBJECT

public:
    BreakTimerRing(const BreakTimerMetrics &metrics, QWidget *parent = nullptr);

    struct Content
    {
        double progress = 0; // 0…1
        QString time;
        QString status;
        QColor accent;
        QColor textColor;
    };

    void setContent(const Content &content);

    const Content &content() const { return m_content; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintArc(QPainter &painter, const QRectF &circle) const;
    void fitFonts();
    void paintTexts(QPainter &painter) const;

    BreakTimerMetrics m_metrics;
    Content m_content;
    QFont m_timeFont;
    QFont m_statusFont;
    // The arc eases to each new progress over 0.2 s instead of jumping.
    QVariantAnimation *m_progressAnimation;
    double m_shownProgress = 0;
};

} // namespace zentrel
