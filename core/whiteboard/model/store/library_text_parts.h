#pragma once

#include "common/parallel_work.h"
#include "whiteboard/model/whiteboard_library.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// A library file's text cut where it can be read in parts: the text of every board's element
// objects, and the rest with each board's element list left empty. Nearly all of a large library
// is elements, and each can be parsed and decoded on its own, side by side.
struct LibraryTextParts
{
    std::string skeleton;
    // For each board in the skeleton's "boards", in order: the text of each of its elements.
    std::vector<std::vector<std::string_view>> boardElements;
};

// How deep an element object lies: in the root object, its "boards", a board, its "elements".
inline constexpr std::size_t libraryElementDepth = 5;

// The parts of `text`, which they point into; nothing unless the text is shaped as the store
// writes a library: an object whose "boards" holds objects, each with an "elements" list of
// objects. A repeated or escaped key of those names, or anything else unexpected, gives nothing
// too. Checks only what it needs to cut; parsing the parts checks the rest.
std::optional<LibraryTextParts> splitLibraryText(std::string_view text);

// The library in `text`, read in parts with its elements parsed and decoded through `run`. It is
// exactly what parsing and decoding the whole text gives; nothing when the text does not split or
// a part fails to read, so that reading the whole text reports the error as it always did.
std::optional<WhiteboardLibrary> decodeLibraryInParts(std::string_view text,
                                                      const ParallelWork &run);

} // namespace zentrel
