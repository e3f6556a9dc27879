#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QWidget>

namespace zentrel {

// The small painted controls of the countdown card. Each is drawn in the colours the card hands
// it, since the card's text and background colours are the user's choice. Each takes the size
// the card lays it out at; `scale`, the card's, sizes what it draws inside (symbols, padding).

// A design size at a scale, in whole pixels and never nothing.
int scaledSize(double designSize, double scale);

// A round symbol button: settings and close in the header, − and + in the duration chooser.
// Only the circle takes clicks.
class BreakTimerCircleButton : public QAbstractButton
{
    Q_OBJECT

public:
    BreakTimerCircleButton(const QString &symbol,
                           int diameter,
                           double scale,
                           QWidget *parent = nullptr);

    void setTextColor(const QColor &color);
    // The opacities of the text colour for the filled circle, its outline (0: none) and the
    // symbol.
    void setOpacities(double fill, double outline, double symbol);

    double fillOpacity() const { return m_fill; }

    QSize sizeHint() const override { return {m_diameter, m_diameter}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    QString m_symbol;
    int m_diameter;
    int m_symbolSize;
    QColor m_textColor = Qt::white;
    double m_fill = 0.08;
    double m_outline = 0;
    double m_symbolOpacity = 1;
};

// A capsule button with a title and an optional leading symbol: start, pause or resume,
// "+1 min", and the quick-duration chips.
class BreakTimerCapsuleButton : public QAbstractButton
{
    Q_OBJECT

public:
    BreakTimerCapsuleButton(const QSize &size,
                            int fontSize,
                            double scale,
                            QWidget *parent = nullptr);

    void setSymbol(const QString &symbol);
    void setColors(const QColor &fill, const QColor &foreground);

    QColor fillColor() const { return m_fill; }

    QSize sizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize m_size;
    double m_scale;
    QString m_symbol;
    QColor m_fill;
    QColor m_foreground;
};

// The state badge: a dot in the state's accent colour and the state's title in upper case on
// a faint capsule.
class BreakTimerBadge : public QWidget
{
    Q_OBJECT

public:
    explicit BreakTimerBadge(double scale, QWidget *parent = nullptr);

    void showState(const QString &title, const QColor &accent, const QColor &textColor);

    QString title() const { return m_title; }

    QColor accent() const { return m_accent; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont badgeFont() const;

    double scaled(double designSize) const { return designSize * m_scale; }

    double m_scale;
    QString m_title;
    QColor m_accent;
    QColor m_textColor;
};

// Text centred on at most two lines within a width: it shrinks down to 0.72 of its font size
// before the second line is cut short with an ellipsis.
class BreakTimerMessageLabel : public QWidget
{
    Q_OBJECT

public:
    BreakTimerMessageLabel(int fontSize, int maximumWidth, QWidget *parent = nullptr);

    void setMessage(const QString &message, const QColor &color);
    // Wraps the message within that width from now on.
    void setMaximumTextWidth(int width);

    QString message() const { return m_message; }

    // The lines as drawn, after shrinking and cutting.
    QStringList lines() const { return m_lines; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void layOut();
    QStringList wrapped(const QFont &font) const;

    int m_fontSize;
    int m_maximumWidth;
    QString m_message;
    QColor m_color;
    QFont m_fittedFont;
    QStringList m_lines;
};

} // namespace zentrel
