#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// What an Excalidraw document lost on its way through Zentrel and back out, one line per loss:
// an element missing or added, a key of an element lost or changed, an image's "files" entry
// not written back in the very bytes it was read in. A label of a line or arrow may move, but
// only onto its line's label point, the middle of its ends, where Excalidraw draws it whatever
// place the label stores. Elements keep their order; deleted ones are left out. Empty when
// nothing was lost.
std::vector<std::string> excalidrawLosses(std::string_view original, std::string_view written);

} // namespace zentrel
