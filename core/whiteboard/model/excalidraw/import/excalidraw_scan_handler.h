#pragma once

#include "whiteboard/model/excalidraw/excalidraw_error.h"
#include "whiteboard/model/excalidraw/import/excalidraw_element_reader.h"
#include "whiteboard/model/excalidraw/import/excalidraw_json_reader.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// What import needs of a whole document, gathered in one pass over its bytes.
struct ExcalidrawScannedDocument
{
    // An object whose "type" is "excalidraw" and whose "elements" is an array of objects.
    bool isExcalidraw = false;
    // Every element object in document order, deleted ones included for their ids.
    std::vector<ExcalidrawPendingElement> elements;
    bool blackBackground = false; // "appState" names a dark view background
    bool showsGrid = false;       // "appState" has a numeric "gridSize"
    // The object entries of "files": file id to the entry's text, as read.
    std::map<std::string, std::string_view> files;
};

// Parser events in, converted elements out: builds nothing but what import reads, converting
// each element object as soon as it ends, and stops the parse as soon as arrays and objects nest
// deeper than allowed. Later duplicate keys win, as they do in the library's own tree.
class ExcalidrawScanHandler
{
public:
    using json = nlohmann::json;

    explicit ExcalidrawScanHandler(std::size_t maxDepth, ExcalidrawContentLimits limits = {});

    // One past the token being reported; kept up to date by the reader (readJsonEvents).
    const char *reach = nullptr;

    bool null() { return scalar(json(nullptr)); }

    bool boolean(bool value) { return scalar(json(value)); }

    bool number_integer(json::number_integer_t value)
    {
        return tookNumber(static_cast<double>(value)) || scalar(json(value));
    }

    bool number_unsigned(json::number_unsigned_t value)
    {
        return tookNumber(static_cast<double>(value)) || scalar(json(value));
    }

    bool number_float(json::number_float_t value, const std::string &)
    {
        return tookNumber(value) || scalar(json(value));
    }

    // Strings are the only values that cost an allocation to keep, so unread ones are not kept.
    bool string(std::string &value)
    {
        if (tookText(value)) {
            return true;
        }
        if (wantsString()) {
            return scalar(json(value));
        }
        endMember();
        return true;
    }

    bool key(std::string &text);

    bool start_object(std::size_t) { return open(true); }

    bool start_array(std::size_t) { return open(false); }

    bool end_object() { return close(); }

    bool end_array() { return close(); }

    bool isTooDeep() const { return m_tooDeep; }

    // Why the parse was stopped short of a limit on the content, if it was.
    const std::optional<ExcalidrawError> &refusal() const { return m_refusal; }

    ExcalidrawScannedDocument takeResult();

private:
    enum class Scope : std::uint8_t {
        skipped, // contents that cannot matter
        root,
        elements,
        element,
        points,
        point,
        groups,
        binding,
        roundness,
        appState,
        files,
    };

    struct Frame
    {
        Scope scope;
        std::uint8_t key; // of the value being read; array frames have 0
    };

    bool wantsString() const;
    // Takes a number where it needs no JSON value of its own: in a point, or where it cannot
    // matter. Most numbers of a document are in strokes' points.
    bool tookNumber(double value);
    // Takes the string of a key that matters only as text into the element's fields.
    bool tookText(const std::string &value);
    // Values are passed on, not copied: most are moved into the element's fields.
    bool scalar(json &&value);
    void elementScalar(json &&value);
    bool open(bool isObject);
    Scope openInElement(bool isObject, bool isContainer);
    bool close();
    // Notes where the element member being read ends.
    void endMember();

    std::size_t m_maxDepth;
    ExcalidrawContentLimits m_limits;
    std::size_t m_pointCount = 0; // of the elements array being read
    std::optional<ExcalidrawError> m_refusal;
    std::vector<Frame> m_stack;
    bool m_tooDeep = false;

    bool m_rootIsObject = false;
    bool m_typeIsExcalidraw = false;
    bool m_hasElementArray = false;
    bool m_elementsAreObjects = false;
    ExcalidrawScannedDocument m_document;

    ExcalidrawElementFields m_fields; // of the element being read
    const char *m_elementStart = nullptr;
    const char *m_memberStart = nullptr; // where the next element member may begin
    const char *m_keyEnd = nullptr;      // just past the closing quote of its key
    std::string m_fileKey;               // of the "files" entry being read
    const char *m_fileStart = nullptr;
    std::optional<std::string> *m_binding = nullptr; // the binding being read
    json m_roundnessType;
    std::size_t m_pointEntries = 0; // of the "points" entry being read
    std::array<double, 2> m_point{};
};

} // namespace zentrel
