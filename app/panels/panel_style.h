#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>

class QIcon;
class QPainter;
class QPalette;
class QRectF;
class QToolButton;
class QWidget;

namespace zentrel {

// The few colours, fonts and shapes that every overlay toolbar and settings panel shares, so
// that all features look alike.

// Text and symbols.
QColor panelPrimaryColor(const QPalette &palette);

// Captions, values and outlines: the primary colour, dimmed.
QColor panelSecondaryColor(const QPalette &palette);

// The selected tool, switches that are on.
QColor panelAccentColor(const QPalette &palette);

QColor withOpacity(QColor color, double opacity);

// The widget's font at a size given in logical pixels and the given weight.
QFont panelFont(const QWidget &widget, int pixelSize, QFont::Weight weight);

// The icon drawn in one flat colour, for symbols that follow the foreground.
QPixmap tintedPixmap(const QIcon &icon, int size, qreal devicePixelRatio, const QColor &color);

// The light, slightly translucent rounded panel behind a toolbar strip or settings panel,
// outlined at 22 % of the secondary colour.
void paintPanelBackground(QPainter &painter,
                          const QRectF &rect,
                          qreal cornerRadius,
                          const QPalette &palette);

// A plain symbol button of a toolbar (undo, close, …): help text and accessibility label set.
QToolButton *makeToolbarButton(const QString &symbol,
                               const QString &helpText,
                               const QString &accessibleName,
                               QWidget *parent);

// The short upright line between groups of a toolbar.
QWidget *makeToolbarDivider(QWidget *parent);

} // namespace zentrel
