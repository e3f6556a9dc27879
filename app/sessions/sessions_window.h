#pragma once

#include <QWidget>

namespace zentrel {

// The "Sessions" window: the saved sessions and their frames.
class SessionsWindow : public QWidget
{
    Q_OBJECT

public:
    SessionsWindow();
};

} // namespace zentrel
