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

// Shows one error alert; calls `closed` once the user has dismissed it.
class AlertPresenter
{
public:
    virtual ~AlertPresenter() = default;
    virtual void present(const std::string &text, std::function<void()> closed) = 0;
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
