#pragma once

#include "common/geometry.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element.h"

#include <memory>
#include <optional>
#include <vector>

namespace zentrel {

// An axis-aligned box, closed on every side, compared without calls or normalising.
struct WhiteboardHitBox
{
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    bool contains(PointF point) const
    {
        return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
    }

    // A marquee only needs to touch a box: an empty marquee (a click without a drag) or a flat
    // box (a straight line) still counts.
    bool touches(const WhiteboardHitBox &other) const
    {
        return left <= other.right && other.left <= right && top <= other.bottom
               && other.top <= bottom;
    }
};

// The normalised extent of `rect`, as the selection geometry functions compute it.
WhiteboardHitBox whiteboardHitBox(const RectF &rect);

// Flat copies of what hit testing and marquees read of every element of one library's current
// board, in board order. Elements lie scattered on the heap, and reading each one on every
// mouse-down stalled on memory; these arrays are read in one sweep and only the few candidates
// are visited.
struct WhiteboardHitIndex
{
    // Held weakly so no model's library outlives it; an expired one is never matched, so a new
    // library at a freed one's address gets an index of its own.
    std::weak_ptr<const WhiteboardLibrary> library;
    const WhiteboardLibrary *address = nullptr;
    double tolerance = 0; // the board's hit tolerance in scene units
    // Which element each box belongs to, so the next index can keep the boxes of elements that
    // an edit left in place.
    std::vector<const WhiteboardElement *> elements;
    // Outside its box a point certainly misses the element at `tolerance`.
    std::vector<WhiteboardHitBox> reaches;
    // Each rotatedBoundingBox, computed on the first marquee: it costs a sine and a cosine per
    // turned element, which hit testing alone never needs.
    std::optional<std::vector<WhiteboardHitBox>> rotatedBoxBuffer;

    // Whether `point` certainly misses `element` at `tolerance`, decided without trigonometry;
    // the exact test decides the rest.
    bool certainlyMisses(const WhiteboardElement &element, PointF point) const;

    // `board` is the one this index was built from.
    const std::vector<WhiteboardHitBox> &rotatedBoxes(const WhiteboardBoard &board);
};

// The index of the model's current library, built when that library has not been indexed yet.
// Kept per thread for the last few libraries, so callers share nothing; valid until the next
// call on this thread.
WhiteboardHitIndex &whiteboardHitIndex(const WhiteboardEditorModel &model);

} // namespace zentrel
