#pragma once

#include <QRectF>
#include <QWidget>

#include <vector>

class QPainter;

namespace zentrel {

// The pattern behind a colour choice that stands for "no colour": 7-point squares in a faint
// secondary colour over a fainter primary wash, filling whatever frame it is given.
class WhiteboardCheckerboard : public QWidget
{
    Q_OBJECT

public:
    explicit WhiteboardCheckerboard(QWidget *parent = nullptr);

    // The filled squares for a frame of `size`, from the top-left corner. The last row and column
    // are included even where they lie partly or wholly outside; the caller clips.
    static std::vector<QRectF> squares(QSizeF size);

    static void paint(QPainter &painter, const QRectF &frame, const QPalette &palette);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zentrel
