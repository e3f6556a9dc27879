#pragma once

#include "common/uuid.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"

#include <nlohmann/json.hpp>

namespace zentrel {

inline Uuid uuid(const char *text)
{
    return *Uuid::parse(text);
}

} // namespace zentrel
