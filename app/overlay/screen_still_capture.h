#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <vector>

namespace zentrel {

// One still picture of a screen without our own panels in it: the panels step aside for the
// moment of the grab and come back.
class ScreenStillCapture : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(const QImage &)>;

    // `done` gets a null image when the screen could not be read. Nothing is called when the
    // capture is destroyed before it finishes.
    ScreenStillCapture(const QRect &screenGeometry, std::vector<QWidget *> panels, Done done);

    // Nothing more happens: no picture is delivered and the panels stay as they are now.
    void cancel();

private:
    void grab();

    QRect m_screen;
    std::vector<QPointer<QWidget>> m_hidden;
    Done m_done;
};

} // namespace zentrel
