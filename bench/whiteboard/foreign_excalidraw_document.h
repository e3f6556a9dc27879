#pragma once

#include <string>

namespace zentrel {

// An Excalidraw document as another editor writes one: short random-looking ids, groups, frames,
// shapes with bound labels and arrows (focus, gap, arrowheads, three points), custom data,
// closed polylines, strokes with pressures and images with their files. Every key the whiteboard
// does not model is there to be kept.
inline std::string foreignExcalidrawDocument(int elementCount)
{
    const auto id = [](const char *prefix, int index) {
        return "\"" + std::string(prefix) + std::to_string(index) + "_Kq7xZ\"";
    };
    const auto common = [&](const char *type, int i, double x, double y) {
        return "{\"id\":" + id(type, i) + ",\"type\":\"" + type + "\",\"x\":" + std::to_string(x)
               + ",\"y\":" + std::to_string(y)
               + ",\"angle\":0,\"strokeColor\":\"#1e1e1e\",\"backgroundColor\":\"#ffc9c9\","
                 "\"fillStyle\":\"solid\",\"strokeWidth\":2,\"strokeStyle\":\"solid\","
                 "\"roughness\":1,\"opacity\":100,\"groupIds\":["
               + id("g", i / 4) + "],\"frameId\":" + id("frame", i / 100) + ",\"index\":\"a"
               + std::to_string(i)
               + "\",\"roundness\":{\"type\":3},\"seed\":" + std::to_string(1000 + i)
               + ",\"version\":12,\"versionNonce\":" + std::to_string(7000 + i)
               + ",\"isDeleted\":false,\"updated\":1749717923920,\"link\":null,\"locked\":false";
    };
    std::string elements;
    std::string separator;
    for (int i = 0; i < elementCount; ++i) {
        const double x = (i % 100) * 60.5;
        const double y = (i / 100) * 80.25;
        std::string element;
        switch (i % 10) {
        case 0:
            element = common("rectangle", i, x, y)
                      + ",\"width\":50,\"height\":40,"
                        "\"boundElements\":[{\"type\":\"text\",\"id\":"
                      + id("text", i + 1) + "},{\"type\":\"arrow\",\"id\":" + id("arrow", i + 2)
                      + "}]}";
            break;
        case 1:
            element = common("text", i, x + 5, y + 10)
                      + ",\"width\":40,\"height\":25,\"boundElements\":null,\"text\":\"Label\\n"
                      + std::to_string(i)
                      + "\",\"fontSize\":20,\"fontFamily\":5,"
                        "\"textAlign\":\"center\",\"verticalAlign\":\"middle\",\"containerId\":"
                      + id("rectangle", i - 1) + ",\"originalText\":\"Label " + std::to_string(i)
                      + "\",\"autoResize\":true,\"lineHeight\":1.25}";
            break;
        case 2:
            element =
                common("arrow", i, x + 50, y + 20)
                + ",\"width\":60,\"height\":30,\"boundElements\":[],\"points\":[[0,0],"
                  "[30,30],[60,0]],\"lastCommittedPoint\":null,\"startBinding\":"
                  "{\"elementId\":"
                + id("rectangle", i - 2)
                + ",\"focus\":0.125,\"gap\":4.5},\"endBinding\":null,"
                  "\"startArrowhead\":\"dot\",\"endArrowhead\":\"triangle\",\"elbowed\":false}";
            break;
        case 3:
            element = common("ellipse", i, x, y)
                      + ",\"width\":45,\"height\":35,\"boundElements\":null,\"customData\":"
                        "{\"owner\":\"ana\",\"tags\":[\"plan\",\"q3\"]}}";
            break;
        case 4:
            element = common("line", i, x, y)
                      + ",\"width\":30,\"height\":30,\"boundElements\":null,\"points\":[[0,0],"
                        "[30,0],[15,30],[0,0]],\"polygon\":true,\"lastCommittedPoint\":null,"
                        "\"startBinding\":null,\"endBinding\":null,\"startArrowhead\":null,"
                        "\"endArrowhead\":null}";
            break;
        case 5: {
            std::string points = "[0,0]";
            std::string pressures = "0.5";
            for (int p = 1; p < 30; ++p) {
                points +=
                    ",[" + std::to_string(p * 1.5) + "," + std::to_string((p % 7) * 2.25) + "]";
                pressures += "," + std::to_string(0.3 + (p % 5) * 0.1);
            }
            element = common("freedraw", i, x, y)
                      + ",\"width\":43.5,\"height\":13.5,\"boundElements\":null,\"points\":["
                      + points + "],\"pressures\":[" + pressures
                      + "],\"simulatePressure\":false,\"lastCommittedPoint\":null}";
            break;
        }
        case 6:
            element = common("text", i, x, y)
                      + ",\"width\":80,\"height\":25,\"boundElements\":null,\"text\":\"Note "
                      + std::to_string(i)
                      + "\",\"fontSize\":20,\"fontFamily\":8,"
                        "\"textAlign\":\"left\",\"verticalAlign\":\"top\",\"containerId\":null,"
                        "\"originalText\":\"Note "
                      + std::to_string(i) + "\",\"autoResize\":true,\"lineHeight\":1.25}";
            break;
        case 7:
            element = common("image", i, x, y)
                      + ",\"width\":40,\"height\":40,\"boundElements\":null,\"fileId\":"
                        "\"file-"
                      + std::to_string(i % 3)
                      + "\",\"status\":\"saved\",\"scale\":[1,1],"
                        "\"crop\":null}";
            break;
        default:
            element = common("diamond", i, x, y)
                      + ",\"width\":40,\"height\":40,"
                        "\"boundElements\":null}";
            break;
        }
        elements += separator + element;
        separator = ",\n";
    }
    std::string files;
    for (int f = 0; f < 3; ++f) {
        files += (f == 0 ? "" : ",") + std::string("\"file-") + std::to_string(f)
                 + "\":{\"mimeType\":\"image/png\",\"id\":\"file-" + std::to_string(f)
                 + "\",\"dataURL\":\"data:image/png;base64," + std::string(4000, 'A')
                 + "\",\"created\":1749717923920}";
    }
    return "{\"type\":\"excalidraw\",\"version\":2,\"source\":\"https://excalidraw.com\","
           "\"elements\":[\n"
           + elements + "],\"appState\":{\"viewBackgroundColor\":\"#ffffff\",\"gridSize\":20},"
           + "\"files\":{" + files + "}}";
}

} // namespace zentrel
