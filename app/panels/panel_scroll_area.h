#pragma once

#include <QScrollArea>

namespace zentrel {

// The body of a floating panel: its content whole up to a height, and scrolled beyond it, so a
// panel taller than the room below the toolbar keeps every control in reach. It grows and shrinks
// with its content, which lays out its controls with a layout; the scroll bar takes room beside
// the content only while it is needed.
class PanelScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    PanelScrollArea(QWidget *content, int heightLimit, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_heightLimit;
};

} // namespace zentrel
