#pragma once

#include <QObject>

class QSocketNotifier;

namespace zentrel {

// SIGTERM and SIGINT end the program at any moment of its life. Until the event loop runs,
// nothing is open to lose and the loop may be far off (the start can wait on a desktop service),
// so they end the process at once. Once it runs, they quit it in order, so that what is open is
// saved: the handler only writes to a socket the loop reads, since nothing else is safe there.
// A second signal during that quit ends the process at once.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // Called just before the event loop runs: from its first turn on, a signal is received().
    void deliverOnceLoopRuns();

Q_SIGNALS:
    void received();

private:
    void deliverFromNowOn();
    void onReadable();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zentrel
