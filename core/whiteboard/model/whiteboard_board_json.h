#pragma once

#include "whiteboard/model/model_json.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_library.h"

#include <nlohmann/json.hpp>

#include <string>

namespace zentrel {

// The model JSON of boards and the library. Every key is written and every key is required;
// dates are ISO 8601 text. An error anywhere inside fails the whole value, and nothing is
// repaired here (the library store decides what a bad file means).
ModelEncoded encodeWhiteboardBoard(const WhiteboardBoard &board);
ModelEncoded encodeWhiteboardLibrary(const WhiteboardLibrary &library);

// The same with an empty "elements" (or "boards") array, for writers that put a large board's
// elements in one at a time.
nlohmann::json whiteboardBoardJsonWithoutElements(const WhiteboardBoard &board);
nlohmann::json whiteboardLibraryJsonWithoutBoards(const WhiteboardLibrary &library);

// "white" for white; black and image both write "black", as images are never stored.
nlohmann::json encodeWhiteboardBackground(const WhiteboardBackground &background);

ModelDecoded<WhiteboardViewport> decodeWhiteboardViewport(const nlohmann::json &value,
                                                          const std::string &path = {});
// Null and any string but exactly "white" read as black; other JSON types are errors.
ModelDecoded<WhiteboardBackground> decodeWhiteboardBackground(const nlohmann::json &value,
                                                              const std::string &path = {});
ModelDecoded<WhiteboardBoard> decodeWhiteboardBoard(const nlohmann::json &value,
                                                    const std::string &path = {});
ModelDecoded<WhiteboardLibrary> decodeWhiteboardLibrary(const nlohmann::json &value,
                                                        const std::string &path = {});

} // namespace zentrel
