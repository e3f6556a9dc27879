#pragma once

#include "shell/onboarding/permission_manager.h"

namespace zentrel {

// Answers what the test sets and counts the reads.
class FakePermissionProbe final : public PermissionProbe
{
public:
    PermissionStatus screenRecording() const override
    {
        ++reads;
        return screen;
    }

    PermissionStatus accessibility() const override
    {
        ++reads;
        return keys;
    }

    PermissionStatus screen{true, {}};
    PermissionStatus keys{true, {}};
    mutable int reads = 0;
};

} // namespace zentrel
