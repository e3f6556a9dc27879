#include "whiteboard/model/store/library_json_writer.h"

#include "common/json/json_text.h"
#include "whiteboard/model/whiteboard_board_json.h"
#include "whiteboard/model/whiteboard_element_json.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

using json = nlohmann::json;
using Written = tl::expected<void, ModelEncodeError>;

// Every level of the file sits two spaces further in, as prettyJson writes it.
constexpr int indent = 2;

// `path` is spelt as nonFiniteNumberPath spells one, so an error names what the whole tree's
// check would name.
Written checked(const json &value, const std::string &path)
{
    if (auto error = nonFiniteNumberError(value, path)) {
        return tl::unexpected(std::move(*error));
    }
    return {};
}

void newLine(std::string &out, int level)
{
    out += '\n';
    out.append(static_cast<std::size_t>(level), ' ');
}

// `object` as the dump writes it at `level`, but its member `key`, an array, by `writeItems`:
// the object's members are already in the dump's order, so the streamed one takes its place.
template <typename WriteItems>
Written writeObject(TextSink &sink,
                    const json &object,
                    const std::string &path,
                    int level,
                    const std::string &key,
                    const WriteItems &writeItems)
{
    sink.text() += '{';
    bool first = true;
    for (auto it = object.begin(); it != object.end(); ++it) {
        std::string &out = sink.text();
        out += first ? "" : ",";
        first = false;
        newLine(out, level + indent);
        appendJsonString(out, it.key());
        out += ": ";
        const std::string memberPath = path + "." + it.key();
        if (it.key() == key) {
            if (auto written = writeItems(memberPath, level + indent); !written) {
                return written;
            }
            continue;
        }
        if (auto valid = checked(it.value(), memberPath); !valid) {
            return valid;
        }
        appendJsonText(out, it.value(), indent, level + indent);
    }
    newLine(sink.text(), level);
    sink.text() += '}';
    return {};
}

// An array of `count` items, each written by `writeItem` after its indentation; the sink may
// hand the text on after each.
template <typename WriteItem>
Written writeArray(TextSink &sink, std::size_t count, int level, const WriteItem &writeItem)
{
    if (count == 0) {
        sink.text() += "[]";
        return {};
    }
    sink.text() += '[';
    for (std::size_t i = 0; i < count; ++i) {
        sink.text() += i == 0 ? "" : ",";
        newLine(sink.text(), level + indent);
        if (auto written = writeItem(i, level + indent); !written) {
            return written;
        }
        sink.pause();
    }
    newLine(sink.text(), level);
    sink.text() += ']';
    return {};
}

// An element as an entry of its board's array: the separator and indentation, then its text.
Written appendElement(std::string &out,
                      const WhiteboardElement &element,
                      std::size_t index,
                      const std::string &arrayPath,
                      int level)
{
    const json object = whiteboardElementJson(element);
    return checked(object, arrayPath + "[" + std::to_string(index) + "]").map([&] {
        out += index == 0 ? "" : ",";
        newLine(out, level);
        appendJsonText(out, object, indent, level);
    });
}

// The elements' text is put together side by side a batch at a time, and each batch goes into
// the sink in order: most of a save's time, spread over the cores, in little memory.
Written writeElements(TextSink &sink,
                      const std::vector<const WhiteboardElement *> &elements,
                      const std::string &path,
                      int level,
                      const ParallelWork &run)
{
    if (elements.empty()) {
        sink.text() += "[]";
        return {};
    }
    constexpr std::size_t chunkSize = 256;
    constexpr std::size_t chunksPerBatch = 64;
    const std::size_t chunkCount = (elements.size() + chunkSize - 1) / chunkSize;
    sink.text() += '[';
    for (std::size_t batch = 0; batch < chunkCount; batch += chunksPerBatch) {
        const std::size_t count = std::min(chunksPerBatch, chunkCount - batch);
        std::vector<std::string> texts(count);
        std::vector<Written> results(count);
        run(count, [&](std::size_t chunk) {
            const std::size_t begin = (batch + chunk) * chunkSize;
            const std::size_t end = std::min(elements.size(), begin + chunkSize);
            for (std::size_t i = begin; i < end && results[chunk]; ++i) {
                results[chunk] = appendElement(texts[chunk], *elements[i], i, path, level + indent);
            }
        });
        for (std::size_t chunk = 0; chunk < count; ++chunk) {
            if (!results[chunk]) {
                return results[chunk];
            }
            sink.text() += texts[chunk];
            sink.pause();
        }
    }
    newLine(sink.text(), level);
    sink.text() += ']';
    return {};
}

Written writeBoard(TextSink &sink,
                   const WhiteboardBoard &board,
                   const std::string &path,
                   int level,
                   const ParallelWork &run)
{
    // Elements that are missing are left out, as the tree leaves them out.
    std::vector<const WhiteboardElement *> elements;
    elements.reserve(board.elements.size());
    for (const ElementPtr &element : board.elements) {
        if (element) {
            elements.push_back(element.get());
        }
    }
    const auto writeAll = [&](const std::string &arrayPath, int arrayLevel) {
        return writeElements(sink, elements, arrayPath, arrayLevel, run);
    };
    return writeObject(
        sink, whiteboardBoardJsonWithoutElements(board), path, level, "elements", writeAll);
}

} // namespace

tl::expected<void, ModelEncodeError> writeWhiteboardLibraryJson(TextSink &sink,
                                                                const WhiteboardLibrary &library,
                                                                const ParallelWork &run)
{
    const auto writeBoards = [&](const std::string &path, int level) {
        return writeArray(sink, library.boards.size(), level, [&](std::size_t i, int itemLevel) {
            return writeBoard(
                sink, library.boards[i], path + "[" + std::to_string(i) + "]", itemLevel, run);
        });
    };
    auto written = writeObject(
        sink, whiteboardLibraryJsonWithoutBoards(library), "", 0, "boards", writeBoards);
    if (written) {
        sink.text() += '\n';
    }
    return written;
}

} // namespace zentrel
