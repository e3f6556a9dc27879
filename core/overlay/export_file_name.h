#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace zentrel {

// The default name of a saved picture or board: "Zentrel Draw 2026-03-14 09.05.07.png", the
// feature word and the local date and time (dots between hours, minutes and seconds).
std::string
exportFileName(std::string_view featureWord, std::string_view extension, const std::tm &localTime);

} // namespace zentrel
