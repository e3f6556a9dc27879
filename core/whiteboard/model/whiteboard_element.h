#pragma once

#include "common/geometry.h"
#include "common/uuid.h"
#include "whiteboard/model/whiteboard_element_style.h"
#include "whiteboard/model/whiteboard_vocabulary.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zentrel {

// What an element read from an Excalidraw document keeps of its source object for the way back:
// the members the model does not hold, or would write back differently, and the hashes that say
// whether the element still is what they were read with (see the Excalidraw writer).
struct ExcalidrawSourceKeys
{
    std::string json; // one compact JSON object
    std::uint32_t identityHash = 0;
    std::uint32_t shapeHash = 0;
    std::uint32_t textHash = 0;
    std::uint32_t styleHash = 0;

    friend bool operator==(const ExcalidrawSourceKeys &, const ExcalidrawSourceKeys &) = default;
};

// One object on a board, in scene coordinates (y down). The frame is stored signed: a line or
// arrow runs from (x, y) to (x + width, y + height). Freehand strokes keep their path in
// `points`, in absolute scene coordinates.
struct WhiteboardElement
{
    Uuid id;
    WhiteboardElementKind kind = WhiteboardElementKind::rectangle;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double rotation = 0; // radians, about the centre of the frame
    std::vector<WhiteboardPoint> points;
    std::optional<std::string> text;
    std::optional<double> fontSize;
    std::optional<WhiteboardTextAlignment> textAlignment;
    std::optional<double> lineHeight; // factor of the font size
    std::optional<WhiteboardFontFamily> fontFamily;
    std::optional<std::int64_t> fontFamilyID; // Excalidraw's number, even one naming no family
    std::optional<std::string> link;
    WhiteboardElementStyle style;
    std::vector<Uuid> groupIDs; // in the order the groups were made
    std::optional<Uuid> containerID;
    std::optional<Uuid> startBindingID;
    std::optional<Uuid> endBindingID;
    // An arrow's heads as its document gave them; absent, the heads of an arrow drawn here: an
    // "arrow" at its end and none at its start. Lines draw no heads.
    std::optional<WhiteboardArrowhead> startArrowhead;
    std::optional<WhiteboardArrowhead> endArrowhead;
    std::optional<std::int64_t> markerNumber;
    // Raw bytes of a foreign Excalidraw element's JSON text; Base64 in the model's JSON.
    std::optional<std::string> opaqueExcalidrawJSON;
    bool isLocked = false;
    std::optional<std::int64_t> excalidrawSeed;
    std::optional<std::int64_t> excalidrawVersion;
    std::optional<std::int64_t> excalidrawVersionNonce;
    std::optional<std::string> excalidrawIndex;
    std::optional<std::int64_t> excalidrawUpdated; // milliseconds since 1970
    // When an edit last left an imported element other than it was read, in milliseconds since
    // 1970: export writes it as the element's "updated".
    std::optional<std::int64_t> excalidrawEditedAt;
    std::optional<ExcalidrawSourceKeys> excalidrawSource;

    // The stored frame, signed as stored.
    RectF frame() const { return {x, y, width, height}; }

    std::vector<PointF> scenePoints() const;

    // The path of a line or arrow from its start to its end. Its own points when it has two or
    // more (an imported polyline), carried along when an edit moved the frame's ends without
    // them; else the frame's start and end.
    std::vector<PointF> linePoints() const;

    // Takes the rectangle as given, negative extents included; nothing is normalised.
    void setFrame(const RectF &rect);

    // Unrotated bounds: the normalised frame; for a line or arrow the box of its path; for a
    // freehand stroke with points the box of its points grown by the full stroke width on every
    // side.
    RectF bounds() const;

    // The point the element turns about: its frame's centre, or for a line or arrow the centre of
    // its path's box, as Excalidraw turns a polyline (the same point for a straight one).
    PointF rotationCentre() const;

    // Whether `point` hits the element, `tolerance` scene points being close enough.
    bool hitTest(PointF point, double tolerance) const;

    // Freehand strokes move their points and keep their stored frame; others move the frame, and
    // lines and arrows their points with it.
    void translate(double dx, double dy);

    // Maps the element from the rectangle it (or its selection) occupied into `to`, points
    // included. Font size, stroke width, rotation and marker number stay as they are.
    void resize(const RectF &from, const RectF &to);

    friend bool operator==(const WhiteboardElement &, const WhiteboardElement &) = default;
};

// Lines and arrows: their signed frame runs from start to end.
inline bool isSegmentKind(WhiteboardElementKind kind)
{
    return kind == WhiteboardElementKind::line || kind == WhiteboardElementKind::arrow;
}

struct Arrowheads
{
    WhiteboardArrowhead start = WhiteboardArrowhead::none;
    WhiteboardArrowhead end = WhiteboardArrowhead::none;

    friend bool operator==(const Arrowheads &, const Arrowheads &) = default;
};

// The heads an element is drawn with: an arrow's own, or its defaults; none for other kinds.
Arrowheads arrowheadsOf(const WhiteboardElement &element);

// A line whose path comes back to where it began, as Excalidraw tells one: three points or more,
// the last within 8 points of the first. It is drawn, filled and hit as a closed shape.
bool isClosedLine(const WhiteboardElement &element);

// Boards share elements immutably, so an undo snapshot copies pointers, not elements.
using ElementPtr = std::shared_ptr<const WhiteboardElement>;

inline ElementPtr makeElement(WhiteboardElement element)
{
    return std::make_shared<const WhiteboardElement>(std::move(element));
}

} // namespace zentrel
