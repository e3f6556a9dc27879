#include "capture/break_timer/break_timer_controls.h"

#include "common/symbol_icon.h"
#include "panels/panel_style.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

constexpr double symbolSize = 13;
constexpr double smallestMessageScale = 0.72;
constexpr int messageLineLimit = 2;

void paintSymbol(QPainter &painter,
                 const QWidget &widget,
                 const QString &symbol,
                 int size,
                 const QPointF &centre,
                 const QColor &color)
{
    const QPixmap pixmap =
        tintedPixmap(symbolIcon(symbol), size, widget.devicePixelRatioF(), color);
    painter.drawPixmap(QRectF(centre - QPointF(size / 2.0, size / 2.0), QSizeF(size, size)),
                       pixmap,
                       QRectF(pixmap.rect()));
}

} // namespace

int scaledSize(double designSize, double scale)
{
    return std::max(1, static_cast<int>(std::lround(designSize * scale)));
}

BreakTimerCircleButton::BreakTimerCircleButton(const QString &symbol,
                                               int diameter,
                                               double scale,
                                               QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_diameter(diameter)
    , m_symbolSize(scaledSize(symbolSize, scale))
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(m_diameter, m_diameter);
}

void BreakTimerCircleButton::setTextColor(const QColor &color)
{
    m_textColor = color;
    update();
}

void BreakTimerCircleButton::setOpacities(double fill, double outline, double symbol)
{
    m_fill = fill;
    m_outline = outline;
    m_symbolOpacity = symbol;
    update();
}

void BreakTimerCircleButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(m_outline > 0 ? QPen(withOpacity(m_textColor, m_outline), 1) : Qt::NoPen);
    painter.setBrush(withOpacity(m_textColor, m_fill));
    painter.drawEllipse(circle);
    // A disabled button dims its symbol as well as its circle.
    const double symbolOpacity = isEnabled() ? m_symbolOpacity : m_symbolOpacity * 0.4;
    paintSymbol(painter,
                *this,
                m_symbol,
                m_symbolSize,
                QRectF(rect()).center(),
                withOpacity(m_textColor, symbolOpacity));
}

bool BreakTimerCircleButton::hitButton(const QPoint &position) const
{
    const QPointF offset = QPointF(position) - QRectF(rect()).center();
    return std::hypot(offset.x(), offset.y()) <= m_diameter / 2.0;
}

BreakTimerCapsuleButton::BreakTimerCapsuleButton(const QSize &size,
                                                 int fontSize,
                                                 double scale,
                                                 QWidget *parent)
    : QAbstractButton(parent)
    , m_size(size)
    , m_scale(scale)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(m_size);
    setFont(panelFont(*this, fontSize, QFont::DemiBold));
}

void BreakTimerCapsuleButton::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    update();
}

void BreakTimerCapsuleButton::setColors(const QColor &fill, const QColor &foreground)
{
    m_fill = fill;
    m_foreground = foreground;
    update();
}

void BreakTimerCapsuleButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape(rect());
    const qreal radius = shape.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isDown() ? m_fill.darker(115) : m_fill);
    painter.drawRoundedRect(shape, radius, radius);

    const QFontMetricsF metrics(font());
    const double textWidth = metrics.horizontalAdvance(text());
    const int symbol = scaledSize(symbolSize, m_scale);
    const double gap = 6 * m_scale;
    const double symbolWidth = m_symbol.isEmpty() ? 0 : symbol + gap;
    const double left = shape.center().x() - (symbolWidth + textWidth) / 2;
    if (!m_symbol.isEmpty()) {
        paintSymbol(painter,
                    *this,
                    m_symbol,
                    symbol,
                    QPointF(left + symbol / 2.0, shape.center().y()),
                    m_foreground);
    }
    painter.setPen(m_foreground);
    painter.drawText(QRectF(left + symbolWidth, 0, textWidth + 1, shape.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     text());
}

BreakTimerBadge::BreakTimerBadge(double scale, QWidget *parent)
    : QWidget(parent)
    , m_scale(scale)
{}

void BreakTimerBadge::showState(const QString &title, const QColor &accent, const QColor &textColor)
{
    m_title = title;
    m_accent = accent;
    m_textColor = textColor;
    setAccessibleName(title);
    updateGeometry();
    update();
}

QFont BreakTimerBadge::badgeFont() const
{
    return panelFont(*this, scaledSize(10, m_scale), QFont::Bold);
}

QSize BreakTimerBadge::sizeHint() const
{
    const QFontMetrics metrics(badgeFont());
    // 12 points each side, a dot of 8 and 7 between dot and title; 7 above and below.
    const double width = scaled(12 + 8 + 7 + 12) + metrics.horizontalAdvance(m_title.toUpper());
    return {static_cast<int>(std::ceil(width)),
            static_cast<int>(std::ceil(metrics.height() + scaled(14)))};
}

void BreakTimerBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(withOpacity(m_textColor, 0.1));
    painter.drawRoundedRect(shape, shape.height() / 2, shape.height() / 2);
    painter.setBrush(m_accent);
    painter.drawEllipse(QRectF(scaled(12), shape.center().y() - scaled(4), scaled(8), scaled(8)));
    painter.setFont(badgeFont());
    painter.setPen(withOpacity(m_textColor, 0.78));
    painter.drawText(
        shape.adjusted(scaled(27), 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, m_title.toUpper());
}

BreakTimerMessageLabel::BreakTimerMessageLabel(int fontSize, int maximumWidth, QWidget *parent)
    : QWidget(parent)
    , m_fontSize(fontSize)
    , m_maximumWidth(maximumWidth)
{}

void BreakTimerMessageLabel::setMessage(const QString &message, const QColor &color)
{
    m_color = color;
    if (message != m_message || m_lines.isEmpty()) {
        m_message = message;
        setAccessibleName(message);
        layOut();
    }
    update();
}

void BreakTimerMessageLabel::setMaximumTextWidth(int width)
{
    if (width != m_maximumWidth) {
        m_maximumWidth = width;
        layOut();
        update();
    }
}

QStringList BreakTimerMessageLabel::wrapped(const QFont &font) const
{
    QStringList lines;
    QTextLayout layout(m_message, font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(m_maximumWidth);
        lines << m_message.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

void BreakTimerMessageLabel::layOut()
{
    QFont font = panelFont(*this, m_fontSize, QFont::DemiBold);
    for (double scale = 1; scale >= smallestMessageScale - 1e-9; scale -= 0.04) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(m_fontSize * scale))));
        m_lines = wrapped(font);
        if (m_lines.size() <= messageLineLimit) {
            break;
        }
    }
    m_fittedFont = font;
    if (m_lines.size() > messageLineLimit) {
        const QString rest = m_lines.mid(messageLineLimit - 1).join(QLatin1Char(' '));
        m_lines = m_lines.mid(0, messageLineLimit - 1);
        m_lines << QFontMetrics(font).elidedText(rest, Qt::ElideRight, m_maximumWidth);
    }
    updateGeometry();
}

QSize BreakTimerMessageLabel::sizeHint() const
{
    const QFontMetrics metrics(m_fittedFont);
    int width = 0;
    for (const QString &line : m_lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    return {std::min(width, m_maximumWidth),
            metrics.lineSpacing() * static_cast<int>(std::max<qsizetype>(m_lines.size(), 1))};
}

void BreakTimerMessageLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(m_fittedFont);
    painter.setPen(m_color);
    const QFontMetrics metrics(m_fittedFont);
    int top = (height() - metrics.lineSpacing() * static_cast<int>(m_lines.size())) / 2;
    for (const QString &line : m_lines) {
        painter.drawText(QRect(0, top, width(), metrics.lineSpacing()), Qt::AlignCenter, line);
        top += metrics.lineSpacing();
    }
}

} // namespace zentrel
