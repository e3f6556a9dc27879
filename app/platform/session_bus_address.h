#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// A local socket a D-Bus address names: a file, or a name in Linux's abstract namespace.
struct BusSocket
{
    std::string name;
    bool isAbstract = false;

    bool operator==(const BusSocket &) const = default;
};

// The local sockets of a D-Bus address (entries split by ';', unescaped), in the order a client
// tries them; entries of other transports are left out.
std::vector<BusSocket> busSockets(std::string_view address);

} // namespace zentrel
