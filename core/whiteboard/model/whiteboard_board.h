#pragma once

#include "common/geometry.h"
#include "common/iso_date.h"
#include "common/uuid.h"
#include "whiteboard/model/whiteboard_element.h"

#include <any>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// A board's saved view: view = scene × scale + translation.
struct WhiteboardViewport
{
    double scale = 1;
    WhiteboardPoint translation;

    PointF toView(PointF scene) const;
    RectF toView(const RectF &scene) const;
    PointF toScene(PointF view) const;
    RectF toScene(const RectF &view) const;

    friend bool operator==(const WhiteboardViewport &, const WhiteboardViewport &) = default;
};

// What is behind a board's elements. An image background is never stored: it is written as
// black, and a board read from a file is never `image`.
struct WhiteboardBackground
{
    enum class Kind {
        image,
        white,
        black,
    };

    Kind kind = Kind::black;
    // The app's image (say a frozen screen); core never looks inside. Ignored by equality.
    std::any image;

    static WhiteboardBackground white() { return {Kind::white, {}}; }

    static WhiteboardBackground black() { return {Kind::black, {}}; }

    static WhiteboardBackground withImage(std::any picture)
    {
        return {Kind::image, std::move(picture)};
    }

    // "image", "white" or "black": the identity of a background choice.
    std::string_view id() const;

    friend bool operator==(const WhiteboardBackground &a, const WhiteboardBackground &b)
    {
        return a.kind == b.kind;
    }
};

// One named, unbounded page of elements.
struct WhiteboardBoard
{
    Uuid id;
    std::string name;
    // Shared, immutable elements: copying a board (an undo state) copies pointers only. Replace
    // an element to change it; never modify one in place.
    std::vector<ElementPtr> elements;
    WhiteboardViewport viewport;
    WhiteboardBackground background;
    bool showsGrid = false;
    Timestamp createdAt;
    Timestamp updatedAt;
    // The "files" entries of an imported Excalidraw document that its kept images use: file id
    // to the entry's JSON text exactly as read, written back on export.
    std::map<std::string, std::string> excalidrawFiles;

    // Elements compare by value, so two boards read from the same file are equal.
    friend bool operator==(const WhiteboardBoard &a, const WhiteboardBoard &b);
};

// Empty, white, grid shown, default viewport, made `now`.
WhiteboardBoard blankBoard(Uuid id, std::string name, Timestamp now);

} // namespace zentrel
