#include "whiteboard/editor/commands/whiteboard_hit_index.h"

#include "common/geometry.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace zentrel {
namespace {

// Ellipses and diamonds count hits a little beyond their grown frame (up to 1.1 half-extents);
// the quick rejection below must reach further than any kind so it never drops a real hit.
constexpr double quickRejectReach = 1.2;

// The region outside which a point certainly misses an element: an axis-aligned box, a disc
// about the centre for a turned element, or the whole plane when only the exact test can tell.
struct MissReach
{
    enum class Shape {
        box,
        disc,
        plane,
    };

    Shape shape = Shape::plane;
    double left = 0, top = 0, right = 0, bottom = 0; // box
    PointF centre;                                   // disc
    double radiusSquared = 0;                        // disc
};

MissReach boxReach(double left, double top, double right, double bottom)
{
    return {MissReach::Shape::box, left, top, right, bottom, {}, 0};
}

MissReach discReach(PointF centre, double radiusSquared)
{
    return {MissReach::Shape::disc, 0, 0, 0, 0, centre, radiusSquared};
}

// No hit of a freehand stroke lies farther from its points than the tolerance and the stroke
// width.
MissReach strokeReach(const WhiteboardElement &element, double reach)
{
    if (element.rotation == 0) {
        double left = element.points.front().x, right = left;
        double top = element.points.front().y, bottom = top;
        for (const WhiteboardPoint &p : element.points) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        return boxReach(left - reach, top - reach, right + reach, bottom + reach);
    }
    // The exact test turns the point about the stored frame's centre, which keeps its distance
    // to that centre; the farthest point bounds every rotation.
    const PointF centre = rectCenter(element.frame());
    double farthest = 0;
    for (const WhiteboardPoint &p : element.points) {
        const double dx = p.x - centre.x;
        const double dy = p.y - centre.y;
        farthest = std::max(farthest, dx * dx + dy * dy);
    }
    const double radius = (std::sqrt(farthest) + reach) * quickRejectReach;
    return discReach(centre, radius * radius);
}

// Where `element` may be hit, decided without trigonometry. Most elements of a large board lie
// far from any one point; the exact test then decides the few whose reach holds it.
MissReach missReach(const WhiteboardElement &element, double tolerance)
{
    // Only strokes and lines reach past their grown frame by their width.
    if (element.kind == WhiteboardElementKind::freedraw) {
        if (element.points.empty()) {
            return {}; // the exact test says no at once
        }
        return strokeReach(
            element, (tolerance + std::max(element.style.strokeWidth, 0.0)) * quickRejectReach);
    }
    const bool segment = isSegmentKind(element.kind);
    const double stroke = segment ? std::max(element.style.strokeWidth, 0.0) : 0;
    // A line or arrow may bend anywhere within its path's box, which it also turns about.
    const RectF area = segment ? element.bounds() : element.frame();
    const double reachX = (std::abs(area.width) / 2 + tolerance) * quickRejectReach + stroke;
    const double reachY = (std::abs(area.height) / 2 + tolerance) * quickRejectReach + stroke;
    const PointF centre = rectCenter(area);
    if (element.rotation == 0) {
        return boxReach(centre.x - reachX, centre.y - reachY, centre.x + reachX, centre.y + reachY);
    }
    // Turning keeps the distance to the centre, so the reach's corner bounds every rotation.
    return discReach(centre, (reachX * reachX + reachY * reachY) * quickRejectReach);
}

bool missesReach(const MissReach &reach, PointF point)
{
    switch (reach.shape) {
    case MissReach::Shape::box:
        return !(point.x >= reach.left && point.x <= reach.right && point.y >= reach.top
                 && point.y <= reach.bottom);
    case MissReach::Shape::disc: {
        const double dx = point.x - reach.centre.x;
        const double dy = point.y - reach.centre.y;
        return !(dx * dx + dy * dy <= reach.radiusSquared);
    }
    case MissReach::Shape::plane:
        break;
    }
    return false;
}

constexpr double infinity = std::numeric_limits<double>::infinity();

// The box around a reach, so that no point the reach admits lies outside it. A disc's box is
// grown by far more than the rounding of its own test; a box that cannot be computed becomes
// the whole plane and leaves the decision to the tests that follow.
WhiteboardHitBox boxAround(const MissReach &reach)
{
    switch (reach.shape) {
    case MissReach::Shape::box:
        return {reach.left, reach.top, reach.right, reach.bottom};
    case MissReach::Shape::disc: {
        const double radius = std::sqrt(reach.radiusSquared);
        const double slack =
            (std::abs(reach.centre.x) + std::abs(reach.centre.y) + radius) * 1e-9 + 1e-9;
        const double r = radius + slack;
        if (std::isfinite(r) && std::isfinite(reach.centre.x) && std::isfinite(reach.centre.y)) {
            return {reach.centre.x - r, reach.centre.y - r, reach.centre.x + r, reach.centre.y + r};
        }
        break;
    }
    case MissReach::Shape::plane:
        break;
    }
    return {-infinity, -infinity, infinity, infinity};
}

double hitTolerance(const WhiteboardBoard &board)
{
    // A damaged stored scale would make the tolerance negative or infinite.
    return whiteboardHitTolerance / sanitizedViewport(board.viewport).scale;
}

// The boxes of `elements`, copied from `base` where it indexed the same element at a matching
// place: at the same position when the count is unchanged, else in the unchanged runs at the
// start and end. `base`'s library is kept alive meanwhile, so an equal address is the same
// immutable element.
template <typename Compute>
std::vector<WhiteboardHitBox>
reusedBoxes(const std::vector<ElementPtr> &elements,
            const std::vector<const WhiteboardElement *> &baseElements,
            const std::vector<WhiteboardHitBox> *baseBoxes,
            Compute compute)
{
    const std::size_t count = elements.size();
    const std::size_t baseCount = baseBoxes ? baseElements.size() : 0;
    const std::size_t shorter = std::min(count, baseCount);
    std::size_t prefix = 0;
    while (prefix < shorter && elements[prefix].get() == baseElements[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < shorter - prefix
           && elements[count - 1 - suffix].get() == baseElements[baseCount - 1 - suffix]) {
        ++suffix;
    }
    std::vector<WhiteboardHitBox> boxes;
    boxes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t j = baseCount; // none
        if (count == baseCount || i < prefix) {
            j = i;
        } else if (i >= count - suffix) {
            j = i - count + baseCount;
        }
        boxes.push_back(j < baseCount && baseElements[j] == elements[i].get()
                            ? (*baseBoxes)[j]
                            : compute(*elements[i]));
    }
    return boxes;
}

std::unique_ptr<WhiteboardHitIndex> buildHitIndex(const WhiteboardEditorModel &model,
                                                  const WhiteboardHitIndex *base)
{
    auto index = std::make_unique<WhiteboardHitIndex>();
    const WhiteboardLibrarySnapshot library = model.librarySnapshot();
    index->library = library;
    index->address = library.get();
    const WhiteboardBoard &board = model.currentBoard();
    index->tolerance = hitTolerance(board);
    index->elements.reserve(board.elements.size());
    for (const ElementPtr &element : board.elements) {
        index->elements.push_back(element.get());
    }
    const bool sameTolerance = base && base->tolerance == index->tolerance;
    index->reaches = reusedBoxes(board.elements,
                                 base ? base->elements : index->elements,
                                 sameTolerance ? &base->reaches : nullptr,
                                 [&](const WhiteboardElement &element) {
                                     return boxAround(missReach(element, index->tolerance));
                                 });
    if (base && base->rotatedBoxBuffer) {
        index->rotatedBoxBuffer = reusedBoxes(
            board.elements,
            base->elements,
            &*base->rotatedBoxBuffer,
            [](const WhiteboardElement &e) { return whiteboardHitBox(rotatedBoundingBox(e)); });
    }
    return index;
}

// A handful covers a canvas or two switching between boards without rebuilding on every switch.
constexpr std::size_t hitIndexLimit = 4;

} // namespace

WhiteboardHitBox whiteboardHitBox(const RectF &rect)
{
    return {minX(rect), minY(rect), maxX(rect), maxY(rect)};
}

bool WhiteboardHitIndex::certainlyMisses(const WhiteboardElement &element, PointF point) const
{
    return missesReach(missReach(element, tolerance), point);
}

const std::vector<WhiteboardHitBox> &WhiteboardHitIndex::rotatedBoxes(const WhiteboardBoard &board)
{
    if (!rotatedBoxBuffer) {
        rotatedBoxBuffer =
            reusedBoxes(board.elements, elements, nullptr, [](const WhiteboardElement &e) {
                return whiteboardHitBox(rotatedBoundingBox(e));
            });
    }
    return *rotatedBoxBuffer;
}

WhiteboardHitIndex &whiteboardHitIndex(const WhiteboardEditorModel &model)
{
    thread_local std::vector<std::unique_ptr<WhiteboardHitIndex>> s_indexes; // most recent last
    std::erase_if(s_indexes, [](const auto &index) { return index->library.expired(); });
    const WhiteboardLibrary *address = &model.library();
    // A zoom step may change the library where it is, and with its scale the tolerance.
    const double tolerance = hitTolerance(model.currentBoard());
    const auto found = std::find_if(s_indexes.begin(), s_indexes.end(), [&](const auto &index) {
        return index->address == address && index->tolerance == tolerance;
    });
    if (found != s_indexes.end()) {
        std::rotate(found, found + 1, s_indexes.end());
        return *s_indexes.back();
    }
    // The last index used is most likely this model's library before its latest edit. Holding
    // its library keeps its elements alive while their addresses are compared.
    const WhiteboardLibrarySnapshot baseLibrary =
        s_indexes.empty() ? nullptr : s_indexes.back()->library.lock();
    auto index = buildHitIndex(model, baseLibrary ? s_indexes.back().get() : nullptr);
    // The same library's index at a former zoom is of no more use: wheel notches over a large
    // board would otherwise keep an index of its every element per notch.
    std::erase_if(s_indexes, [&](const auto &kept) { return kept->address == address; });
    if (s_indexes.size() >= hitIndexLimit) {
        s_indexes.erase(s_indexes.begin());
    }
    s_indexes.push_back(std::move(index));
    return *s_indexes.back();
}

} // namespace zentrel
