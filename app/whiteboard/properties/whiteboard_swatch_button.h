#pragma once

#include "common/color.h"

#include <QAbstractButton>

#include <optional>
#include <string>

namespace zentrel {

// One colour choice of the property panel: a rounded square of the colour, or a checkerboard for
// "Transparent" (no colour), ringed in the accent colour while it is the current choice.
class WhiteboardSwatchButton : public QAbstractButton
{
    Q_OBJECT

public:
    // The swatch and its ring are 4 points wider than the 30-point colour square, so rows of
    // swatches use 4 points less spacing for the same pitch.
    static constexpr int ringMargin = 4;

    // Without a colour the button stands for the transparent fill.
    WhiteboardSwatchButton(const QString &name, std::optional<Color> color, QWidget *parent);

    const std::optional<Color> &color() const { return m_color; }

    bool isSelected() const { return isChecked(); }

    // Selected when the current colour text names this colour; the transparent swatch when there
    // is no current colour.
    void showCurrent(const std::optional<std::string> &colorText);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void nextCheckState() override;

private:
    std::optional<Color> m_color;
    std::optional<std::string> m_colorText;
};

} // namespace zentrel
