#pragma once

#include "common/geometry.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QScreen;
class QWidget;

namespace zentrel {

// Fits a window of ours that the user dragged onto another screen to that screen once it is let
// go (droppedWindowFit): Qt keeps a window's pixels as it crosses screens, so on a screen of
// another scale or size it would stay twice as large or small, or reach past the screen.
class DroppedWindowFitter : public QObject
{
public:
    explicit DroppedWindowFitter(QWidget &window);

    // It was fitted on `screen`, where it may be no smaller than `minimum`.
    void fittedOn(QScreen &screen, SizeF minimum);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitDropped();

    QWidget &m_window;
    QPointer<QScreen> m_screen;
    SizeF m_minimum;
    // Its size on that screen, as the user left it.
    SizeF m_size;
    // A window manager moves a dragged window step by step: it is let go once it rests.
    QTimer m_rest;
};

} // namespace zentrel
