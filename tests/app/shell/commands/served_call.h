#pragma once

#include <QCoreApplication>

#include <chrono>
#include <future>
#include <utility>

namespace zentrel {

// Runs a call that blocks on the command socket on a thread of its own while this thread serves
// the socket, and returns what the call returned.
template <typename Call>
auto whileServing(Call call)
{
    auto result = std::async(std::launch::async, std::move(call));
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return result.get();
}

} // namespace zentrel
