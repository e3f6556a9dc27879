#pragma once

#include <string>

namespace zentrel {

// Why an Excalidraw document could not be read or written.
struct ExcalidrawError
{
    enum class Kind {
        notJson,            // the bytes do not parse as JSON
        notExcalidraw,      // JSON, but no "excalidraw" type or no array of element objects
        tooLarge,           // refused before parsing
        tooManyElements,    // refused while parsing; the detail is the limit
        tooManyPoints,      // refused while parsing; the detail is the limit
        nestedTooDeeply,    // refused while parsing
        numberNotEncodable, // a board value is infinite or NaN
        geometryOutOfRange, // an element's position or size would not stay finite
    };

    Kind kind = Kind::notJson;
    std::string detail; // the parser's text, or where the bad number is

    friend bool operator==(const ExcalidrawError &, const ExcalidrawError &) = default;
};

std::string message(const ExcalidrawError &error);

} // namespace zentrel
