#include "panels/toolbar/toolbar_selection_button.h"

#include "panels/panel_style.h"

#include <QPainter>

namespace zentrel {

namespace {

constexpr int horizontalPadding = 8;
constexpr int verticalPadding = 6;
constexpr qreal cornerRadius = 7;
constexpr int symbolSize = 22;
constexpr int badgePixelSize = 8;
constexpr int badgeOffset = 3;
constexpr int textPixelSize = 12;

} // namespace

ToolbarSelectionButton::ToolbarSelectionButton(QWidget *parent)
    : QToolButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(symbolSize, symbolSize));
    setFont(panelFont(*this, textPixelSize, QFont::Medium));
}

void ToolbarSelectionButton::setBadge(const QString &badge)
{
    m_badge = badge;
    update();
}

QSize ToolbarSelectionButton::sizeHint() const
{
    return contentSize() + QSize(2 * horizontalPadding, 2 * verticalPadding);
}

QSize ToolbarSelectionButton::contentSize() const
{
    if (!icon().isNull()) {
        return iconSize();
    }
    return fontMetrics().size(Qt::TextSingleLine, text());
}

void ToolbarSelectionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const QPalette &colors = palette();
    const QColor background = isSelected()
                                  ? withOpacity(panelAccentColor(colors), isDown() ? 0.75 : 1.0)
                                  : withOpacity(panelPrimaryColor(colors), isDown() ? 0.18 : 0.1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);

    const QColor foreground = foregroundColor();
    QRect content(QPoint(), contentSize());
    content.moveCenter(rect().center());
    if (icon().isNull()) {
        painter.setPen(foreground);
        painter.drawText(content, Qt::AlignCenter, text());
        return;
    }
    painter.drawPixmap(content.topLeft(),
                       tintedPixmap(icon(), iconSize().width(), devicePixelRatioF(), foreground));
    if (!m_badge.isEmpty()) {
        // The digit's bottom-right corner sits 3 px right of and below the symbol's.
        painter.setFont(panelFont(*this, badgePixelSize, QFont::Normal));
        painter.setPen(withOpacity(foreground, 0.6));
        const QRect badgeArea = content.translated(badgeOffset, badgeOffset);
        painter.drawText(badgeArea, Qt::AlignRight | Qt::AlignBottom, m_badge);
    }
}

void ToolbarSelectionButton::nextCheckState()
{
    // The caller's model decides the selection; a click only reports the press.
}

QColor ToolbarSelectionButton::foregroundColor() const
{
    return isSelected() ? QColor(Qt::white) : panelPrimaryColor(palette());
}

} // namespace zentrel
