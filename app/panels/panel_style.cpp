#include "panels/panel_style.h"

#include "common/symbol_icon.h"

#include <QFrame>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QToolButton>

#include <algorithm>

namespace zentrel {

namespace {

constexpr double outlineOpacity = 0.22;
constexpr double panelOpacity = 0.9;
constexpr int plainIconSize = 18;
constexpr int dividerHeight = 22;

} // namespace

// Disabled controls are drawn at reduced opacity instead, so the colours come from the active
// group whatever the widget's state.
QColor panelPrimaryColor(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::WindowText);
}

QColor panelSecondaryColor(const QPalette &palette)
{
    return withOpacity(panelPrimaryColor(palette), 0.55);
}

QColor panelAccentColor(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::Highlight);
}

QColor withOpacity(QColor color, double opacity)
{
    color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
    return color;
}

QFont panelFont(const QWidget &widget, int pixelSize, QFont::Weight weight)
{
    QFont font = widget.font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QPixmap tintedPixmap(const QIcon &icon, int size, qreal devicePixelRatio, const QColor &color)
{
    QPixmap pixmap = icon.pixmap(QSize(size, size), devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    return pixmap;
}

void paintPanelBackground(QPainter &painter,
                          const QRectF &rect,
                          qreal cornerRadius,
                          const QPalette &palette)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The fill reaches the widget's edge at every scale and the outline lies on it, so no pixel
    // at the edge holds the faint outline alone: where no compositing manager blends the
    // window, such a pixel shows nearly black.
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        withOpacity(palette.color(QPalette::Active, QPalette::Window).lighter(104), panelOpacity));
    painter.drawRoundedRect(rect, cornerRadius, cornerRadius);
    // Half a pixel in, so the 1 px outline lies on whole pixels inside the widget.
    const qreal outlineRadius = std::max<qreal>(0, cornerRadius - 0.5);
    painter.setPen(QPen(withOpacity(panelSecondaryColor(palette), outlineOpacity), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), outlineRadius, outlineRadius);
    painter.restore();
}

QToolButton *makeToolbarButton(const QString &symbol,
                               const QString &helpText,
                               const QString &accessibleName,
                               QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(symbolIcon(symbol));
    button->setIconSize(QSize(plainIconSize, plainIconSize));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(helpText);
    button->setAccessibleName(accessibleName);
    return button;
}

QWidget *makeToolbarDivider(QWidget *parent)
{
    auto *divider = new QFrame(parent);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setFixedHeight(dividerHeight);
    QPalette palette = divider->palette();
    palette.setColor(QPalette::WindowText,
                     withOpacity(panelPrimaryColor(divider->palette()), 0.18));
    divider->setPalette(palette);
    return divider;
}

} // namespace zentrel
