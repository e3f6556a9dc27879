#include "whiteboard/toolbar/whiteboard_button.h"

#include "common/symbol_icon.h"
#include "panels/panel_style.h"
#include "whiteboard/toolbar/whiteboard_button_styles.h"

#include <QPainter>

#include <algorithm>

namespace zentrel {

namespace {

constexpr double disabledOpacity = 0.4;
constexpr int symbolInset = 2;
constexpr int badgePixelSize = 8;
constexpr int badgeOffset = 3;
constexpr int textPixelSize = 13;

} // namespace

WhiteboardButton::WhiteboardButton(Look look, QSize labelSize, QWidget *parent)
    : QAbstractButton(parent)
    , m_look(look)
    , m_labelSize(labelSize)
{
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setFont(panelFont(*this, textPixelSize, QFont::Medium));
    setFixedSize(sizeHint());
}

void WhiteboardButton::setSymbol(const QString &symbol)
{
    // The toolbar re-applies its symbols on every model change; loading the icon is the cost.
    if (symbol == m_symbol) {
        return;
    }
    m_symbol = symbol;
    setIcon(symbolIcon(symbol));
    update();
}

void WhiteboardButton::setBadge(const QString &badge)
{
    m_badge = badge;
    update();
}

void WhiteboardButton::setLabelPainter(LabelPainter painter)
{
    m_labelPainter = std::move(painter);
    update();
}

QColor WhiteboardButton::foregroundColor() const
{
    return m_look == Look::compact
               ? WhiteboardCompactButtonStyle{isSelected()}.foreground(palette())
               : WhiteboardPropertyButtonStyle{isSelected()}.foreground(palette());
}

QColor WhiteboardButton::backgroundColor() const
{
    return m_look == Look::compact
               ? WhiteboardCompactButtonStyle{isSelected()}.background(palette(), isDown())
               : WhiteboardPropertyButtonStyle{isSelected()}.background(palette(), isDown());
}

int WhiteboardButton::padding() const
{
    return m_look == Look::compact ? WhiteboardCompactButtonStyle::padding
                                   : WhiteboardPropertyButtonStyle::padding;
}

QSize WhiteboardButton::sizeHint() const
{
    return m_labelSize + QSize(2 * padding(), 2 * padding());
}

void WhiteboardButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(disabledOpacity);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(backgroundColor());
    painter.drawRoundedRect(
        QRectF(rect()), whiteboardButtonCornerRadius, whiteboardButtonCornerRadius);

    QRectF frame{QPointF(), QSizeF(m_labelSize)};
    frame.moveCenter(QRectF(rect()).center());
    paintLabel(painter, frame, foregroundColor());
}

void WhiteboardButton::paintLabel(QPainter &painter,
                                  const QRectF &frame,
                                  const QColor &foreground) const
{
    if (m_labelPainter) {
        m_labelPainter(painter, frame, foreground);
        return;
    }
    if (icon().isNull()) {
        painter.setPen(foreground);
        painter.drawText(frame, Qt::AlignCenter, text());
        return;
    }
    // Symbols sit inside their frame with a little air, as the desktop's symbol images do.
    const int side = std::min(m_labelSize.width(), m_labelSize.height()) - 2 * symbolInset;
    QRectF symbolFrame{QPointF(), QSizeF(side, side)};
    symbolFrame.moveCenter(frame.center());
    painter.drawPixmap(symbolFrame.topLeft(),
                       tintedPixmap(icon(), side, devicePixelRatioF(), foreground));
    if (!m_badge.isEmpty()) {
        painter.setFont(panelFont(*this, badgePixelSize, QFont::Normal));
        painter.setPen(panelSecondaryColor(palette()));
        painter.drawText(
            frame.translated(badgeOffset, badgeOffset), Qt::AlignRight | Qt::AlignBottom, m_badge);
    }
}

void WhiteboardButton::nextCheckState()
{
    // The model decides the selection; a click only reports the press.
}

} // namespace zentrel
