#pragma once

#include "shell/shell_ports.h"

#include <QObject>

namespace zentrel {

// The active screen among QGuiApplication::screens(): the one under the pointer, else the
// primary one.
class QtScreenLocator final : public ScreenLocator
{
public:
    std::optional<std::size_t> activeScreen() const override;
};

// Runs posted work from the event loop, after the current event has been handled.
class QtScheduler final : public Scheduler
{
public:
    explicit QtScheduler(QObject *context);

    void post(std::function<void()> task) override;
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;

private:
    QObject *m_context;
};

} // namespace zentrel
