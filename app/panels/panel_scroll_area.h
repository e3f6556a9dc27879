#pragma once

#include <QScrollArea>

class QScrollBar;

namespace zentrel {

// The body of a floating panel: its content whole up to a height, and scrolled beyond it, so a
// panel taller than the room below the toolbar keeps every control in reach. It grows and shrinks
// with its content, which lays out its controls with a layout and paints the panel's rounded
// frame. While the content scrolls, a thin bar lies over the content's trailing padding, inside
// that frame.
//
// The wheel anywhere over the panel scrolls it and never changes a control's value, also in a
// panel that fits: a presenter scrolling past a slider would not expect it to move.
class PanelScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    PanelScrollArea(QWidget *content, int heightLimit, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The bar shown while the content scrolls, which also takes drags.
    QScrollBar *panelScrollBar() const { return m_bar; }

    // Between the bar and the frame's trailing edge, clear of its outline.
    static constexpr int barInset = 3;
    static constexpr int barThickness = 6;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void watchWheelOf(QWidget *widget);
    bool isOwnControl(const QObject *watched) const;
    void followScrolling();
    void paintBarInPanelColours();

    int m_heightLimit;
    QScrollBar *m_bar;
};

} // namespace zentrel
