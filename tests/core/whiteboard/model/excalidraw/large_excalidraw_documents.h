#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

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

// The corners of a comb `side` points wide and high at the origin, as one closed outline of
// 4 × `teeth` + 3 points: teeth half their pitch wide, from the top down to a spine along the
// bottom tenth. Every 45° line across it crosses its outline about `teeth` times.
inline std::vector<std::pair<double, double>> combCorners(int teeth, double side)
{
    const double pitch = side / teeth;
    const double root = 0.9 * side;
    std::vector<std::pair<double, double>> corners{{0, side}};
    corners.reserve(4 * static_cast<std::size_t>(teeth) + 3);
    for (int i = 0; i < teeth; ++i) {
        const double x = i * pitch;
        corners.insert(corners.end(), {{x, 0}, {x + pitch / 2, 0}, {x + pitch / 2, root}});
        corners.emplace_back(x + pitch, root);
    }
    corners.emplace_back(side, side);
    corners.emplace_back(0, side);
    return corners;
}

// A closed zigzag of `count` corners `side` points wide and high at the origin, its middle
// corner moved `far` points below the rest: one far point once hid how often the zigzag
// crosses each row.
inline std::vector<std::pair<double, double>> farCornerZigzag(int count, double side, double far)
{
    std::vector<std::pair<double, double>> corners;
    corners.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i < count; ++i) {
        corners.emplace_back(side * i / count, i % 2 == 0 ? 0 : side);
    }
    corners[corners.size() / 2].second = far;
    corners.push_back(corners.front());
    return corners;
}

// A line through `corners` (see combCorners) as the one element of a document, of `type` "line"
// or "freedraw", given `members` besides its type, id, frame and points: the 10,000-tooth comb
// comes to some 700 KB.
inline std::string closedLineDocument(const std::vector<std::pair<double, double>> &corners,
                                      double side,
                                      const std::string &type,
                                      const std::string &members)
{
    const auto number = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.10g", value);
        return std::string(text);
    };
    std::string points;
    for (const auto &[x, y] : corners) {
        points += (points.empty() ? "[" : ",[") + number(x) + "," + number(y - side) + "]";
    }
    return "{\"type\":\"excalidraw\",\"version\":2,\"elements\":[{\"id\":\"comb\",\"type\":\""
           + type + "\",\"x\":0,\"y\":" + number(side) + ",\"width\":" + number(side)
           + ",\"height\":" + number(side) + ",\"points\":[" + points + "]"
           + (members.empty() ? "" : "," + members) + "}]}";
}

// The comb of combCorners as such a document.
inline std::string
combDocument(int teeth, double side, const std::string &type, const std::string &members)
{
    return closedLineDocument(combCorners(teeth, side), side, type, members);
}

} // namespace zentrel
