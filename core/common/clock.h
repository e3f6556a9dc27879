#pragma once

#include "common/iso_date.h"

namespace zentrel {

// Where core code gets the current time, so tests can hand in a fixed one.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual Timestamp now() const = 0;
};

class SystemClock final : public Clock
{
public:
    Timestamp now() const override { return std::chrono::system_clock::now(); }
};

} // namespace zentrel
