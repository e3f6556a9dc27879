#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <set>
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

// `count` distinct characters drawn at random from blocks across the planes that few machines
// have fonts for all of (historic scripts, rare ideographs, symbols), emoji and combining marks,
// as UTF-8: the fonts for them are looked for one character at a time.
inline std::string rareCharacters(int count, std::uint32_t seed)
{
    static constexpr std::pair<char32_t, char32_t> blocks[] = {
        {0x0300, 0x036F},   {0x0900, 0x0DFF},   {0x0F00, 0x0FD4},   {0x1000, 0x109F},
        {0x1200, 0x137C},   {0x1780, 0x17DD},   {0x1AB0, 0x1ABD},   {0x20D0, 0x20F0},
        {0x2200, 0x22FF},   {0x2E80, 0x2FD5},   {0x3040, 0x30FF},   {0x4E00, 0x9FFF},
        {0xA000, 0xA48C},   {0xAC00, 0xD7A3},   {0x10000, 0x100FA}, {0x10400, 0x1049D},
        {0x12000, 0x12399}, {0x13000, 0x1342E}, {0x17000, 0x187F7}, {0x1D400, 0x1D7FF},
        {0x1F300, 0x1F64F}, {0x1F680, 0x1F6D7}, {0x1F900, 0x1F9FF}, {0x20000, 0x2A6DF},
    };
    std::mt19937 random(seed);
    std::set<char32_t> taken;
    std::string text;
    while (taken.size() < static_cast<std::size_t>(count)) {
        const auto &[first, last] = blocks[random() % std::size(blocks)];
        const char32_t c = first + random() % (last - first + 1);
        if (!taken.insert(c).second) {
            continue;
        }
        // UTF-8 by hand: core tests have no converter.
        if (c < 0x800) {
            text += char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            text += char(0xE0 | (c >> 12));
            text += char(0x80 | ((c >> 6) & 0x3F));
        } else {
            text += char(0xF0 | (c >> 18));
            text += char(0x80 | ((c >> 12) & 0x3F));
            text += char(0x80 | ((c >> 6) & 0x3F));
        }
        text += char(0x80 | (c & 0x3F));
        // Words of a few characters, so a text wraps as prose does.
        if (taken.size() % 7 == 0) {
            text += ' ';
        }
    }
    return text;
}

} // namespace zentrel
