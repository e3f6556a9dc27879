#pragma once

#include <QObject>

namespace zentrel {

// One key taken from every program for as long as the hold lives: its presses come here alone,
// whichever window has the keyboard, and every other key still goes where it went.
class KeyHold : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    void pressed();
};

} // namespace zentrel
