#pragma once

#include <functional>

class QKeyEvent;

namespace zentrel {

// Every full-screen view and panel leaves on Escape: true when event is Escape, after calling
// onEscape (if set) and accepting it, so the key goes no further; false for any other key.
bool takeEscapeKey(QKeyEvent *event, const std::function<void()> &onEscape);

} // namespace zentrel
