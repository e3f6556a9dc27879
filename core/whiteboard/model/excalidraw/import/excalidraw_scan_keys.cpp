#include "whiteboard/model/excalidraw/import/excalidraw_scan_keys.h"

#include <array>
#include <vector>

namespace zentrel {
namespace {

struct KeyName
{
    std::string_view name;
    std::uint8_t key;
};

// Every key of every element is looked up, so names are grouped by length and a lookup compares
// only the few of the key's length.
class ElementKeys
{
public:
    ElementKeys()
    {
        static constexpr std::string_view scalarNames[] = {"id",
                                                           "type",
                                                           "isDeleted",
                                                           "x",
                                                           "y",
                                                           "width",
                                                           "height",
                                                           "angle",
                                                           "strokeColor",
                                                           "backgroundColor",
                                                           "strokeWidth",
                                                           "opacity",
                                                           "roughness",
                                                           "strokeStyle",
                                                           "fillStyle",
                                                           "fontFamily",
                                                           "text",
                                                           "fontSize",
                                                           "textAlign",
                                                           "lineHeight",
                                                           "link",
                                                           "locked",
                                                           "seed",
                                                           "version",
                                                           "versionNonce",
                                                           "index",
                                                           "updated",
                                                           "containerId",
                                                           "strokeSharpness"};
        static_assert(std::size(scalarNames) == excalidrawPointsKey);
        for (std::uint8_t key = 0; key < std::size(scalarNames); ++key) {
            add({scalarNames[key], key});
        }
        add({"points", excalidrawPointsKey});
        add({"groupIds", excalidrawGroupIdsKey});
        add({"startBinding", excalidrawStartBindingKey});
        add({"endBinding", excalidrawEndBindingKey});
        add({"roundness", excalidrawRoundnessKey});
    }

    std::uint8_t find(std::string_view text) const
    {
        if (text.size() >= m_byLength.size()) {
            return excalidrawIgnoredKey;
        }
        for (const KeyName &entry : m_byLength[text.size()]) {
            // Most candidates differ in their first letter, which saves the call comparing the
            // rest.
            if (entry.name.front() == text.front() && entry.name == text) {
                return entry.key;
            }
        }
        return excalidrawIgnoredKey;
    }

private:
    void add(KeyName entry) { m_byLength[entry.name.size()].push_back(entry); }

    std::array<std::vector<KeyName>, 16> m_byLength;
};

} // namespace

std::uint8_t excalidrawElementKey(std::string_view text)
{
    static const ElementKeys keys;
    return keys.find(text);
}

std::uint8_t excalidrawDocumentKey(std::string_view text)
{
    return text == "type"       ? excalidrawTypeKey
           : text == "elements" ? excalidrawElementsKey
           : text == "appState" ? excalidrawAppStateKey
           : text == "files"    ? excalidrawFilesKey
                                : excalidrawIgnoredKey;
}

std::uint8_t excalidrawAppStateKeyOf(std::string_view text)
{
    return text == "viewBackgroundColor" ? excalidrawBackgroundKey
           : text == "gridSize"          ? excalidrawGridKey
                                         : excalidrawIgnoredKey;
}

} // namespace zentrel
