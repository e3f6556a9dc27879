#pragma once

namespace zentrel {

// Whether a compositing manager runs, so that translucent windows show what lies below them.
bool isX11CompositingActive();

} // namespace zentrel
