#pragma once

#include <QEvent>
#include <QObject>

class QWidget;

#include <functional>

namespace zentrel {

// Sees every key or mouse event of one type that reaches the watched windows of the program;
// the events the swallow test picks are handled here and go no further.
class EventMonitor : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QEvent *)>;
    using SwallowTest = std::function<bool(QEvent *)>;
    using WindowTest = std::function<bool(const QWidget *window)>;

    EventMonitor(QEvent::Type type,
                 WindowTest isWatched,
                 SwallowTest shouldSwallow,
                 Handler handler);
    ~EventMonitor() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QEvent::Type m_type;
    WindowTest m_isWatched;
    SwallowTest m_shouldSwallow;
    Handler m_handler;
};

} // namespace zentrel
