#pragma once

#include <QWidget>

class QLabel;
class QSlider;

namespace zentrel {

// A titled slider of a settings panel: the title and the caller's formatted value above a
// slider that moves in whole steps over a range of doubles.
class ToolbarSliderRow : public QWidget
{
    Q_OBJECT

public:
    ToolbarSliderRow(const QString &title,
                     double minimum,
                     double maximum,
                     double step,
                     QWidget *parent = nullptr);

    QString title() const;
    QString formattedValue() const;
    // The value of the step the slider stands on.
    double value() const;

    // Both leave valueChanged silent: they show the model, they do not change it.
    void setValue(double value);
    void setFormattedValue(const QString &text);

    QSlider *slider() const { return m_slider; }

Q_SIGNALS:
    // The user moved the slider to a new step.
    void valueChanged(double value);

private:
    void onSliderMoved(int position);

    double m_minimum;
    double m_step;
    QLabel *m_title;
    QLabel *m_value;
    QSlider *m_slider;
};

} // namespace zentrel
