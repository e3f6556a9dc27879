#pragma once

#include <QColor>
#include <QToolButton>

namespace zentrel {

// A colour picker of a toolbar or settings panel: a rounded swatch of the colour that opens a
// colour dialog. It shows what the caller sets and reports a picked colour; it stores nothing.
// It offers no opacity: every colour setting keeps red, green and blue only.
class ColorWellButton : public QToolButton
{
    Q_OBJECT

public:
    explicit ColorWellButton(const QString &title, QWidget *parent = nullptr);

    QColor color() const { return m_color; }

    // Leaves colorPicked silent: it shows the model, it does not change it.
    void setColor(const QColor &color);

    QSize sizeHint() const override { return m_size; }

    void setSwatchSize(const QSize &size);

Q_SIGNALS:
    void colorPicked(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void pickColor();

    QString m_title;
    QColor m_color = Qt::black;
    QSize m_size{28, 24};
};

} // namespace zentrel
