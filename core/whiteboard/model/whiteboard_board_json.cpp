#include "whiteboard/model/whiteboard_board_json.h"

#include "whiteboard/model/whiteboard_element_json.h"

namespace zentrel {
namespace {

nlohmann::json viewportJson(const WhiteboardViewport &viewport)
{
    return {{"scale", viewport.scale}, {"translation", whiteboardPointJson(viewport.translation)}};
}

nlohmann::json boardJson(const WhiteboardBoard &board)
{
    nlohmann::json object = whiteboardBoardJsonWithoutElements(board);
    nlohmann::json &elements = object["elements"];
    for (const ElementPtr &element : board.elements) {
        if (element) {
            elements.push_back(whiteboardElementJson(*element));
        }
    }
    return object;
}

ModelDecoded<std::map<std::string, std::string>> decodeFiles(const nlohmann::json &value,
                                                             const std::string &path)
{
    if (!value.is_object()) {
        return tl::unexpected(ModelDecodeError{path, "expected an object"});
    }
    std::map<std::string, std::string> files;
    for (auto it = value.begin(); it != value.end(); ++it) {
        auto text = decodeModelString(it.value(), modelKeyPath(path, it.key()));
        if (!text) {
            return tl::unexpected(std::move(text.error()));
        }
        files.emplace(it.key(), std::move(*text));
    }
    return files;
}

ModelDecoded<ElementPtr> decodeElementPtr(const nlohmann::json &value, const std::string &path)
{
    return decodeWhiteboardElement(value, path).map(makeElement);
}

} // namespace

nlohmann::json whiteboardBoardJsonWithoutElements(const WhiteboardBoard &board)
{
    nlohmann::json object = {
        {"id", board.id.text()},
        {"name", board.name},
        {"elements", nlohmann::json::array()},
        {"viewport", viewportJson(board.viewport)},
        {"background", encodeWhiteboardBackground(board.background)},
        {"showsGrid", board.showsGrid},
        {"createdAt", formatIsoDate(board.createdAt)},
        {"updatedAt", formatIsoDate(board.updatedAt)},
    };
    // Written only when there are any, so a board without images costs nothing more.
    if (!board.excalidrawFiles.empty()) {
        object["excalidrawFiles"] = board.excalidrawFiles;
    }
    return object;
}

nlohmann::json whiteboardLibraryJsonWithoutBoards(const WhiteboardLibrary &library)
{
    return {
        {"version", library.version},
        {"boards", nlohmann::json::array()},
        {"currentBoardID", library.currentBoardID.text()},
        {"migrationCompleted", library.migrationCompleted},
    };
}

nlohmann::json encodeWhiteboardBackground(const WhiteboardBackground &background)
{
    return background.kind == WhiteboardBackground::Kind::white ? "white" : "black";
}

ModelEncoded encodeWhiteboardBoard(const WhiteboardBoard &board)
{
    return checkedModelJson(boardJson(board));
}

ModelEncoded encodeWhiteboardLibrary(const WhiteboardLibrary &library)
{
    nlohmann::json object = whiteboardLibraryJsonWithoutBoards(library);
    nlohmann::json &boards = object["boards"];
    for (const WhiteboardBoard &board : library.boards) {
        boards.push_back(boardJson(board));
    }
    return checkedModelJson(std::move(object));
}

ModelDecoded<WhiteboardViewport> decodeWhiteboardViewport(const nlohmann::json &value,
                                                          const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardViewport viewport;
    reader.readRequired("scale", viewport.scale, decodeModelDouble);
    reader.readRequired("translation", viewport.translation, decodeWhiteboardPoint);
    return reader.finish(viewport);
}

ModelDecoded<WhiteboardBackground> decodeWhiteboardBackground(const nlohmann::json &value,
                                                              const std::string &path)
{
    if (value.is_null()) {
        return WhiteboardBackground::black();
    }
    if (!value.is_string()) {
        return tl::unexpected(ModelDecodeError{path, "expected a string or null"});
    }
    return value.get_ref<const std::string &>() == "white" ? WhiteboardBackground::white()
                                                           : WhiteboardBackground::black();
}

ModelDecoded<WhiteboardBoard> decodeWhiteboardBoard(const nlohmann::json &value,
                                                    const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardBoard board;
    reader.readRequired("id", board.id, decodeModelUuid);
    reader.readRequired("name", board.name, decodeModelString);
    reader.readRequired("elements", board.elements, modelArrayDecoder(decodeElementPtr));
    reader.readRequired("viewport", board.viewport, decodeWhiteboardViewport);
    // Null is a stored background of its own (black), not an absent one.
    reader.readRequiredOrNull("background", board.background, decodeWhiteboardBackground);
    reader.readRequired("showsGrid", board.showsGrid, decodeModelBool);
    reader.readRequired("createdAt", board.createdAt, decodeModelDate);
    reader.readRequired("updatedAt", board.updatedAt, decodeModelDate);
    std::optional<std::map<std::string, std::string>> files;
    reader.readOptional("excalidrawFiles", files, decodeFiles);
    board.excalidrawFiles = std::move(files).value_or(std::map<std::string, std::string>{});
    return reader.finish(std::move(board));
}

ModelDecoded<WhiteboardLibrary> decodeWhiteboardLibrary(const nlohmann::json &value,
                                                        const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardLibrary library;
    reader.readRequired("version", library.version, decodeModelInteger);
    reader.readRequired("boards", library.boards, modelArrayDecoder(decodeWhiteboardBoard));
    reader.readRequired("currentBoardID", library.currentBoardID, decodeModelUuid);
    reader.readRequired("migrationCompleted", library.migrationCompleted, decodeModelBool);
    return reader.finish(std::move(library));
}

} // namespace zentrel
