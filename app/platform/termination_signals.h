#pragma once

#include <QObject>

class QSocketNotifier;

namespace zentrel {

// Turns SIGTERM and SIGINT into an orderly quit of the event loop: the handler only writes to a
// pipe, and the loop reads it, since nothing else is safe inside a signal handler.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received();

private:
    void onReadable();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zentrel
