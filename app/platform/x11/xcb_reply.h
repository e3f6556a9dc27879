#pragma once

#include <cstdlib>
#include <memory>

namespace zentrel {

struct XcbFree
{
    void operator()(void *pointer) const { std::free(pointer); }
};

// Replies and errors from xcb are malloc'd and belong to the caller.
template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

} // namespace zentrel
