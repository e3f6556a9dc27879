#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

// Standard alphabet with "=" padding, as byte fields are stored in model JSON.
std::string toBase64(std::string_view bytes);

// Strict: padded, standard alphabet, no white space; anything else gives no value.
std::optional<std::string> fromBase64(std::string_view text);

} // namespace zentrel
