#pragma once

#include "whiteboard/model/excalidraw/import/excalidraw_element_reader.h"

#include <cstdint>
#include <string_view>

namespace zentrel {

// The keys import reads, as small numbers the document scan keeps per open object.

// A key that matters nowhere.
inline constexpr std::uint8_t excalidrawIgnoredKey = 0xFF;

// Element keys past the scalar ones (ExcalidrawScalarKey): values with structure of their own.
inline constexpr std::uint8_t excalidrawPointsKey =
    static_cast<std::uint8_t>(ExcalidrawScalarKey::count);
inline constexpr std::uint8_t excalidrawGroupIdsKey = excalidrawPointsKey + 1;
inline constexpr std::uint8_t excalidrawStartBindingKey = excalidrawPointsKey + 2;
inline constexpr std::uint8_t excalidrawEndBindingKey = excalidrawPointsKey + 3;
inline constexpr std::uint8_t excalidrawRoundnessKey = excalidrawPointsKey + 4;

// Keys of the document object, and of "appState".
inline constexpr std::uint8_t excalidrawTypeKey = 0;
inline constexpr std::uint8_t excalidrawElementsKey = 1;
inline constexpr std::uint8_t excalidrawAppStateKey = 2;
inline constexpr std::uint8_t excalidrawFilesKey = 3;
inline constexpr std::uint8_t excalidrawBackgroundKey = 0;
inline constexpr std::uint8_t excalidrawGridKey = 1;

std::uint8_t excalidrawElementKey(std::string_view text);
std::uint8_t excalidrawDocumentKey(std::string_view text);
std::uint8_t excalidrawAppStateKeyOf(std::string_view text);

} // namespace zentrel
