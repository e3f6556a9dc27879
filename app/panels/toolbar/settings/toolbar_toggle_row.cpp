#include "panels/toolbar/settings/toolbar_toggle_row.h"

#include "panels/panel_style.h"

#include <QPainter>

#include <algorithm>

namespace zentrel {

namespace {

constexpr int textPixelSize = 12;
constexpr QSize switchSize(26, 15);
constexpr int knobInset = 2;
constexpr int titleGap = 8;

} // namespace

ToolbarToggleRow::ToolbarToggleRow(const QString &title, QWidget *parent)
    : QCheckBox(title, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setFont(panelFont(*this, textPixelSize, QFont::Medium));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ToolbarToggleRow::sizeHint() const
{
    const QSize title = fontMetrics().size(Qt::TextSingleLine, text());
    return QSize(title.width() + titleGap + switchSize.width(),
                 std::max(title.height(), switchSize.height()));
}

void ToolbarToggleRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const QPalette &colors = palette();
    QRect track(QPoint(), switchSize);
    track.moveCenter(rect().center());
    track.moveRight(rect().right());
    const QRect title = rect().adjusted(0, 0, -(switchSize.width() + titleGap), 0);

    painter.setPen(panelPrimaryColor(colors));
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter, text());

    const qreal radius = track.height() / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? panelAccentColor(colors)
                                 : withOpacity(panelPrimaryColor(colors), 0.15));
    painter.drawRoundedRect(QRectF(track), radius, radius);

    const qreal knobDiameter = track.height() - 2 * knobInset;
    const qreal knobX =
        isChecked() ? track.right() + 1 - knobInset - knobDiameter : track.left() + knobInset;
    painter.setPen(QPen(withOpacity(panelPrimaryColor(colors), 0.15), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(knobX, track.top() + knobInset, knobDiameter, knobDiameter));
}

bool ToolbarToggleRow::hitButton(const QPoint &position) const
{
    return rect().contains(position);
}

} // namespace zentrel
