#pragma once

#include "common/clock.h"
#include "common/uuid.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <memory>

namespace zentrel {

class FixedClock final : public Clock
{
public:
    explicit FixedClock(std::int64_t milliseconds)
        : m_now(std::chrono::milliseconds(milliseconds))
    {}

    Timestamp now() const override { return m_now; }

private:
    Timestamp m_now;
};

// A repeatable sequence, so fresh ids differ from each other but not between runs.
inline UuidRandomSource countingRandom()
{
    auto counter = std::make_shared<std::uint64_t>(0x1234);
    return [counter] {
        return (*counter += 0x9E3779B97F4A7C15ull);
    };
}

inline Uuid uuid(const char *text)
{
    return *Uuid::parse(text);
}

} // namespace zentrel
