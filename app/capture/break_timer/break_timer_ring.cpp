#include "capture/break_timer/break_timer_ring.h"

#include "panels/panel_style.h"

#include <QConicalGradient>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace zentrel {
namespace {

// Our fonts' digits are wider than the rounded system font the sizes were chosen for: the time
// shrinks as far as it must, since a cut-short time would be no use.
constexpr double timeShrinkLimit = 0.4;
constexpr double statusShrinkLimit = 0.82;

// The largest font, down to limit × size, in which text fits width on one line.
QFont fittingFont(QFont font, double size, double limit, const QString &text, double width)
{
    for (double scale = 1; scale >= limit - 1e-9; scale -= 0.02) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size * scale))));
        if (QFontMetricsF(font).horizontalAdvance(text) <= width) {
            break;
        }
    }
    return font;
}

} // namespace

BreakTimerRing::BreakTimerRing(const BreakTimerMetrics &metrics, QWidget *parent)
    : QWidget(parent)
    , m_metrics(metrics)
    , m_progressAnimation(new QVariantAnimation(this))
{
    const int side = static_cast<int>(metrics.ringDiameter);
    setFixedSize(side, side);
    m_progressAnimation->setDuration(200);
    m_progressAnimation->setEasingCurve(QEasingCurve::OutQuad);
    connect(
        m_progressAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
            m_shownProgress = value.toDouble();
            update();
        });
    fitFonts();
}

void BreakTimerRing::setContent(const Content &content)
{
    const bool progressChanged = content.progress != m_content.progress;
    const bool textsChanged = content.time != m_content.time || content.status != m_content.status;
    m_content = content;
    if (textsChanged) {
        fitFonts();
    }
    setAccessibleName(content.time);
    if (progressChanged && isVisible()) {
        m_progressAnimation->stop();
        m_progressAnimation->setStartValue(m_shownProgress);
        m_progressAnimation->setEndValue(content.progress);
        m_progressAnimation->start();
    } else if (progressChanged) {
        m_shownProgress = content.progress;
    }
    update();
}

QSize BreakTimerRing::sizeHint() const
{
    const int side = static_cast<int>(m_metrics.ringDiameter);
    return {side, side};
}

void BreakTimerRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double inset = m_metrics.ringLineWidth / 2;
    const QRectF circle = QRectF(rect()).adjusted(inset, inset, -inset, -inset);

    QPen track(withOpacity(m_content.textColor, 0.14), m_metrics.ringLineWidth);
    track.setCapStyle(Qt::FlatCap);
    painter.setPen(track);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);

    paintArc(painter, circle);
    paintTexts(painter);
}

void BreakTimerRing::paintArc(QPainter &painter, const QRectF &circle) const
{
    if (!(m_shownProgress > 0)) {
        return;
    }
    // Clockwise from the top: the accent faded, the text colour half-way round, the full accent
    // at the end. Qt's conical gradient turns the other way, so its stops run backwards.
    QConicalGradient gradient(circle.center(), 90);
    gradient.setColorAt(0, m_content.accent);
    gradient.setColorAt(0.5, m_content.textColor);
    gradient.setColorAt(1, withOpacity(m_content.accent, 0.72));
    QPen arc(QBrush(gradient), m_metrics.ringLineWidth);
    arc.setCapStyle(Qt::RoundCap);
    painter.setPen(arc);
    const int span = -static_cast<int>(std::lround(std::min(m_shownProgress, 1.0) * 360 * 16));
    painter.drawArc(circle, 90 * 16, span);
}

// Fitting measures the text at up to a few dozen sizes; the ring repaints on every frame of its
// arc's easing, the texts change once a second.
void BreakTimerRing::fitFonts()
{
    const double width = m_metrics.ringDiameter - 2 * m_metrics.ringPadding;
    m_timeFont = fittingFont(panelFont(*this, 10, QFont::Bold),
                             m_metrics.timeFontSize,
                             timeShrinkLimit,
                             m_content.time,
                             width);
    m_statusFont = fittingFont(panelFont(*this, 10, QFont::Medium),
                               m_metrics.statusFontSize,
                               statusShrinkLimit,
                               m_content.status,
                               width);
}

void BreakTimerRing::paintTexts(QPainter &painter) const
{
    const double width = m_metrics.ringDiameter - 2 * m_metrics.ringPadding;
    const QFont &timeFont = m_timeFont;
    const QFont &statusFont = m_statusFont;
    const QFontMetricsF timeMetrics(timeFont);
    const QFontMetricsF statusMetrics(statusFont);
    const double total =
        timeMetrics.height() + m_metrics.timeStatusSpacing + statusMetrics.height();
    const QRectF bounds(rect());
    double top = bounds.center().y() - total / 2;
    painter.setFont(timeFont);
    painter.setPen(m_content.textColor);
    painter.drawText(QRectF(m_metrics.ringPadding, top, width, timeMetrics.height()),
                     Qt::AlignCenter,
                     m_content.time);
    top += timeMetrics.height() + m_metrics.timeStatusSpacing;
    painter.setFont(statusFont);
    painter.setPen(withOpacity(m_content.textColor, 0.68));
    painter.drawText(QRectF(m_metrics.ringPadding, top, width, statusMetrics.height()),
                     Qt::AlignCenter,
                     m_content.status);
}

} // namespace zentrel
