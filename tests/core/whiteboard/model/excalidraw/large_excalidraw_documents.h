#pragma once

#include <cmath>
#include <string>

namespace zentrel {

// The largest documents import takes, built here rather than kept as files.

// `count` small shapes in the few members another editor writes for them, about 75 bytes each:
// 850,000 of them come to some 64 MB. Without `idsAndSizes`, only their type and place.
inline std::string manyShapesDocument(int count, bool idsAndSizes = true)
{
    static constexpr const char *types[] = {"rectangle", "ellipse", "diamond"};
    std::string text = "{\"type\":\"excalidraw\",\"version\":2,\"elements\":[";
    text.reserve(static_cast<std::size_t>(count) * 80 + 100);
    for (int i = 0; i < count; ++i) {
        text += i == 0 ? "\n{" : ",\n{";
        if (idsAndSizes) {
            text += "\"id\":\"e" + std::to_string(i) + "\",";
        }
        text += "\"type\":\"" + std::string(types[i % 3]) + "\",\"x\":"
                + std::to_string((i % 1000) * 60) + ",\"y\":" + std::to_string((i / 1000) * 50);
        text += idsAndSizes ? ",\"width\":40,\"height\":30}" : "}";
    }
    return text + "]}";
}

// One line through `count` points, a wave 2,000 points wide: far more points than pixels. With
// `zigzag`, every point jumps 6 points up or down from the last, so the line paints as a band.
inline std::string longLineDocument(int count, bool zigzag = false)
{
    std::string points;
    points.reserve(static_cast<std::size_t>(count) * 16);
    for (int i = 0; i < count; ++i) {
        const double x = 2000.0 * i / count;
        const double y = 200 * std::sin(i * 0.0005) + (zigzag ? 6.0 * (i % 2) : 0);
        points += (i == 0 ? "[" : ",[") + std::to_string(x) + "," + std::to_string(y) + "]";
    }
    return "{\"type\":\"excalidraw\",\"version\":2,\"elements\":[{\"id\":\"wave\",\"type\":"
           "\"line\",\"x\":100,\"y\":300,\"strokeWidth\":2,\"roughness\":1,\"points\":["
           + points + "]}]}";
}

// One element `size` points wide and high at the origin, given `members` besides its type, id
// and frame (say "\"fillStyle\":\"hachure\",\"backgroundColor\":\"#ffc9c9\""): the largest
// elements import takes cost as much to draw as the smallest.
inline std::string
hugeElementDocument(const std::string &type, double size, const std::string &members)
{
    const std::string extent = std::to_string(size);
    std::string text = "{\"type\":\"excalidraw\",\"version\":2,\"elements\":[{\"id\":\"huge\","
                       "\"type\":\""
                       + type + "\",\"x\":0,\"y\":0,\"width\":" + extent + ",\"height\":" + extent;
    if (type == "line" || type == "arrow") {
        text += ",\"points\":[[0,0],[" + extent + "," + extent + "]]";
    }
    return text + (members.empty() ? "" : "," + members) + "}]}";
}

} // namespace zentrel
