#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace zentrel {

// The screen a feature opens on: the one under the pointer, else the main one.
class ScreenLocator
{
public:
    virtual ~ScreenLocator() = default;
    virtual std::optional<std::size_t> activeScreen() const = 0;
};

// How an alert ended: closed, by the user or by whoever else, or given up on because no window
// for it ever stayed on screen, so nobody has read it.
enum class AlertOutcome {
    closed,
    notShown
};

// Shows one error alert; calls `onScreen` the first time it is on screen, if ever, and `closed`
// once, when it has ended.
class AlertPresenter
{
public:
    virtual ~AlertPresenter() = default;
    virtual void present(const std::string &text,
                         std::function<void()> onScreen,
                         std::function<void(AlertOutcome)> closed) = 0;
};

// Runs work later on the main loop: after the current event, so an object never destroys its
// caller, or after a delay.
class Scheduler
{
public:
    virtual ~Scheduler() = default;
    virtual void post(std::function<void()> task) = 0;
    virtual void postAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};

} // namespace zentrel
