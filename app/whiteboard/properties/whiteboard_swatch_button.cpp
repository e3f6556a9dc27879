#include "whiteboard/properties/whiteboard_swatch_button.h"

#include "common/qt_conversions.h"
#include "panels/panel_style.h"
#include "whiteboard/toolbar/whiteboard_checkerboard.h"

#include <QPainter>
#include <QPainterPath>

namespace zentrel {

namespace {

constexpr int side = 30;
// Room for the selection ring around the swatch: its 2-point line is centred 2 points out, so
// it ends 3 points out, on the button's edge.
constexpr int margin = 2;
constexpr qreal swatchRadius = 5;
constexpr qreal ringRadius = 6;
constexpr qreal ringGap = 2;

} // namespace

WhiteboardSwatchButton::WhiteboardSwatchButton(const QString &name,
                                               std::optional<Color> color,
                                               QWidget *parent)
    : QAbstractButton(parent)
    , m_color(color)
{
    if (m_color) {
        m_colorText = hexString(*m_color);
    }
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(name);
    setAccessibleName(name);
    setFixedSize(sizeHint());
}

void WhiteboardSwatchButton::showCurrent(const std::optional<std::string> &colorText)
{
    setChecked(m_colorText ? colorText == m_colorText : !colorText);
}

QSize WhiteboardSwatchButton::sizeHint() const
{
    return QSize(side + 2 * margin, side + 2 * margin);
}

void WhiteboardSwatchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const QRectF swatch(margin, margin, side, side);
    QPainterPath shape;
    shape.addRoundedRect(swatch, swatchRadius, swatchRadius);
    if (m_color) {
        painter.fillPath(shape, toQColor(*m_color));
    } else {
        painter.save();
        painter.setClipPath(shape);
        paintCheckerboard(painter, swatch, palette());
        painter.restore();
    }
    painter.setBrush(Qt::NoBrush);
    if (isSelected()) {
        painter.setPen(QPen(panelAccentColor(palette()), 2));
        painter.drawRoundedRect(
            swatch.adjusted(-ringGap, -ringGap, ringGap, ringGap), ringRadius, ringRadius);
    } else {
        painter.setPen(QPen(withOpacity(panelSecondaryColor(palette()), 0.22), 1));
        painter.drawRoundedRect(swatch.adjusted(0.5, 0.5, -0.5, -0.5), ringRadius, ringRadius);
    }
}

void WhiteboardSwatchButton::nextCheckState()
{
    // The panel marks the current colour; a click only reports the choice.
}

} // namespace zentrel
