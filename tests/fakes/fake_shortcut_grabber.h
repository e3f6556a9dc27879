#pragma once

#include "hotkeys/shortcut_grabber.h"

#include <map>
#include <set>
#include <vector>

namespace zentrel {

// Records grabs; a combination can be made to be refused as if another program held it.
class FakeShortcutGrabber final : public hotkeys::ShortcutGrabber
{
public:
    tl::expected<void, int> grab(const hotkeys::Shortcut &shortcut) override
    {
        ++grabCalls;
        if (const auto refusal = refusals.find(shortcut); refusal != refusals.end()) {
            return tl::unexpected(refusal->second);
        }
        grabbed.insert(shortcut);
        return {};
    }

    void ungrab(const hotkeys::Shortcut &shortcut) override
    {
        ++ungrabCalls;
        grabbed.erase(shortcut);
    }

    bool isHeldElsewhere(const hotkeys::Shortcut &shortcut) override
    {
        return refusals.contains(shortcut);
    }

    std::set<hotkeys::Shortcut> grabbed;
    std::map<hotkeys::Shortcut, int> refusals;
    int grabCalls = 0;
    int ungrabCalls = 0;
};

} // namespace zentrel
