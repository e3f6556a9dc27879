#include "platform/session_bus_address.h"

#include <charconv>
#include <cstddef>
#include <optional>
#include <utility>

namespace zentrel {
namespace {

constexpr std::string_view unixTransport = "unix:";

// Values escape bytes as %XX; nothing for a broken escape.
std::optional<std::string> unescaped(std::string_view value)
{
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            text += value[i];
            continue;
        }
        unsigned byte = 0;
        const char *digits = value.data() + i + 1;
        if (i + 2 >= value.size()
            || std::from_chars(digits, digits + 2, byte, 16).ptr != digits + 2) {
            return std::nullopt;
        }
        text += char(byte);
        i += 2;
    }
    return text;
}

std::optional<BusSocket> unixSocket(std::string_view entry)
{
    if (entry.substr(0, unixTransport.size()) != unixTransport) {
        return std::nullopt;
    }
    std::string_view keys = entry.substr(unixTransport.size());
    while (!keys.empty()) {
        const std::size_t end = keys.find(',');
        const std::string_view pair = keys.substr(0, end);
        keys = end == std::string_view::npos ? std::string_view() : keys.substr(end + 1);
        const std::size_t equals = pair.find('=');
        const std::string_view key = pair.substr(0, equals);
        if (equals == std::string_view::npos || (key != "path" && key != "abstract")) {
            continue;
        }
        if (const auto name = unescaped(pair.substr(equals + 1)); name && !name->empty()) {
            return BusSocket{*name, key == "abstract"};
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<BusSocket> busSockets(std::string_view address)
{
    std::vector<BusSocket> sockets;
    while (!address.empty()) {
        const std::size_t end = address.find(';');
        if (auto socket = unixSocket(address.substr(0, end))) {
            sockets.push_back(std::move(*socket));
        }
        address = end == std::string_view::npos ? std::string_view() : address.substr(end + 1);
    }
    return sockets;
}

} // namespace zentrel
