#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

using Timestamp = std::chrono::system_clock::time_point;

// "2026-12-06T20:50:46Z": UTC, whole seconds, as every file of the program stores dates.
std::string formatIsoDate(Timestamp time);

// Reads "YYYY-MM-DDTHH:MM:SS" with optional fractional seconds and a "Z" or "±HH:MM" offset.
// Nothing for a date a Timestamp cannot hold exactly (before about 1678 or after 2262).
std::optional<Timestamp> parseIsoDate(std::string_view text);

} // namespace zentrel
