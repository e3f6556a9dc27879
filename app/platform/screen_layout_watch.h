#pragma once

#include <QObject>

class QScreen;

namespace zentrel {

// Tells of every change to the monitors: one added, removed, switched off or on, resized, moved
// or made the main one. What Qt reports is heard here; a desktop's own watch adds what Qt keeps
// to itself.
class ScreenLayoutWatch : public QObject
{
    Q_OBJECT

public:
    explicit ScreenLayoutWatch(QObject *parent = nullptr);

Q_SIGNALS:
    void layoutChanged();

private:
    void watchScreen(QScreen *screen);
};

} // namespace zentrel
