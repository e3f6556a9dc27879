#pragma once

#include "shell/shell_ports.h"

#include <cstddef>
#include <optional>

namespace zentrel {

class FakeScreenLocator final : public ScreenLocator
{
public:
    std::optional<std::size_t> activeScreen() const override { return screen; }

    std::optional<std::size_t> screen = 0;
};

} // namespace zentrel
