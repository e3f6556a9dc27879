#pragma once

#include <cstdio>
#include <string>

namespace zentrel {

// The test tools report each step as one line, flushed at once, so the test waiting on their
// output sees it as it happens.
inline void say(const std::string &line)
{
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}

} // namespace zentrel
