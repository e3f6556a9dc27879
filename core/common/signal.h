#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace zentrel {

// Disconnects its handler when destroyed; subscribers keep it as a member so a handler never
// outlives the object it calls into.
class ScopedConnection
{
public:
    ScopedConnection() = default;

    explicit ScopedConnection(std::function<void()> disconnect)
        : m_disconnect(std::move(disconnect))
    {}

    ScopedConnection(ScopedConnection &&other) noexcept
        : m_disconnect(std::exchange(other.m_disconnect, nullptr))
    {}

    ScopedConnection &operator=(ScopedConnection &&other) noexcept
    {
        if (this != &other) {
            disconnect();
            m_disconnect = std::exchange(other.m_disconnect, nullptr);
        }
        return *this;
    }

    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;

    ~ScopedConnection() { disconnect(); }

    void disconnect()
    {
        if (m_disconnect) {
            std::exchange(m_disconnect, nullptr)();
        }
    }

private:
    std::function<void()> m_disconnect;
};

// A single-threaded observer list. Emitting copes with handlers that connect or disconnect
// (themselves or others) while it runs; a connection may outlive the signal.
template <typename... Args>
class Signal
{
public:
    using Handler = std::function<void(Args...)>;

    Signal() = default;
    Signal(const Signal &) = delete;
    Signal &operator=(const Signal &) = delete;

    [[nodiscard]] ScopedConnection connect(Handler handler)
    {
        auto slot = std::make_shared<Slot>(Slot{std::move(handler), true});
        m_state->slots.push_back(slot);
        std::weak_ptr<State> weakState = m_state;
        std::weak_ptr<Slot> weakSlot = slot;
        return ScopedConnection([weakState, weakSlot] {
            auto slotToRemove = weakSlot.lock();
            if (!slotToRemove) {
                return;
            }
            slotToRemove->connected = false;
            if (auto state = weakState.lock()) {
                std::erase(state->slots, slotToRemove);
            }
        });
    }

    void notify(Args... args) const
    {
        const auto snapshot = m_state->slots;
        for (const auto &slot : snapshot) {
            if (slot->connected) {
                slot->handler(args...);
            }
        }
    }

private:
    struct Slot
    {
        Handler handler;
        bool connected;
    };

    struct State
    {
        std::vector<std::shared_ptr<Slot>> slots;
    };

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace zentrel
