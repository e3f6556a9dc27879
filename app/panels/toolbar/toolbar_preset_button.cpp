#include "panels/toolbar/toolbar_preset_button.h"

#include "panels/panel_style.h"

#include <QPainter>

namespace zentrel {

namespace {

constexpr QSize buttonSize(44, 24);
constexpr int titlePixelSize = 11;

} // namespace

ToolbarPresetButton::ToolbarPresetButton(const QString &title, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(title);
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(buttonSize);
    setFont(panelFont(*this, titlePixelSize, QFont::DemiBold));
}

QSize ToolbarPresetButton::sizeHint() const
{
    return buttonSize;
}

void ToolbarPresetButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const QPalette &colors = palette();
    const QRectF capsule(rect());
    const qreal radius = capsule.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isSelected() ? panelAccentColor(colors)
                                  : withOpacity(panelPrimaryColor(colors), 0.1));
    painter.drawRoundedRect(capsule, radius, radius);
    painter.setPen(isSelected() ? QColor(Qt::white) : panelPrimaryColor(colors));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void ToolbarPresetButton::nextCheckState()
{
    // The caller's model decides the selection; a click only reports the press.
}

} // namespace zentrel
