#pragma once

#include "common/uuid.h"
#include "whiteboard/model/excalidraw/import/excalidraw_element_reader.h"
#include "whiteboard/model/whiteboard_element.h"

#include <cstdint>
#include <string>

namespace zentrel {

// Import's half of "what we do not model, we keep" (export's half is excalidraw_kept_merge.h).

// The members of an element object that the writer would not give back as they were read: keys
// the model does not hold and values it holds differently (an id that is not UUID text, a legacy
// type word, a stroke's exact points). One compact JSON object's text; empty when the writer
// gives back every member. `element` is what was read from `fields`, references unresolved.
std::string excalidrawKeptMembers(const ExcalidrawElementFields &fields,
                                  const WhiteboardElement &element);

// The kept members with the hashes of the element as imported, ids and references resolved.
ExcalidrawSourceKeys excalidrawSourceKeys(std::string members, const WhiteboardElement &element);

// What kept members depend on. A member tied to one of these is written back only while the
// element's hash still matches the one it was read with: its identity (a copy gets a new id),
// its shape (frame, rotation, points, font, references), its text, its style.
std::uint32_t excalidrawIdentityHash(const Uuid &id);
std::uint32_t excalidrawShapeHash(const WhiteboardElement &element);
std::uint32_t excalidrawTextHash(const WhiteboardElement &element);
std::uint32_t excalidrawStyleHash(const WhiteboardElement &element);

// Whether an element read from a document is no longer what it was read as, a copy of it
// included: export writes it as a newer version of that element. False for other elements.
bool isExcalidrawEdited(const WhiteboardElement &element);

} // namespace zentrel
