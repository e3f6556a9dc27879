#pragma once

#include "sessions/session_store.h"

#include <filesystem>

namespace zentrel {

class Clock;

// "Sessions" in the application's data folder. Nothing is created here.
std::filesystem::path defaultSessionsRoot();

// A store on the default root with random identifiers; `clock` must outlive it.
SessionStore makeDefaultSessionStore(const Clock &clock);

} // namespace zentrel
