#include "whiteboard/model/store/legacy_whiteboard_document.h"
#include "whiteboard/model/whiteboard_element_json.h"

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

Color parsedColor(const std::string &text, Color fallback)
{
    return colorFromHex(text).value_or(fallback);
}

PointF toPoint(const WhiteboardPoint &point)
{
    return {point.x, point.y};
}

struct ItemMaker
{
    Timestamp now;

    FreezeAnnotationItem operator()(const WhiteboardStroke &stroke) const
    {
        DrawingStroke item;
        item.tool = stroke.tool;
        for (const WhiteboardPoint &point : stroke.points) {
            item.points.push_back(toPoint(point));
        }
        item.color = parsedColor(stroke.color, legacyFallbackColor);
        item.lineWidth = stroke.lineWidth;
        item.createdAt = now;
        return item;
    }

    FreezeAnnotationItem operator()(const WhiteboardMarker &marker) const
    {
        return NumberedMarker{
            toPoint(marker.point), marker.number, parsedColor(marker.color, legacyFallbackColor)};
    }

    FreezeAnnotationItem operator()(const WhiteboardTextItem &text) const
    {
        return WhiteboardText{toPoint(text.point),
                              text.text,
                              parsedColor(text.color, legacyFallbackTextColor),
                              text.fontSize};
    }

    FreezeAnnotationItem operator()(const WhiteboardDiamond &diamond) const
    {
        const WhiteboardRect &r = diamond.rect;
        return DiamondShape{{r.origin.x, r.origin.y, r.size.width, r.size.height},
                            parsedColor(diamond.color, legacyFallbackColor),
                            diamond.lineWidth};
    }

    FreezeAnnotationItem operator()(const WhiteboardLine &line) const
    {
        return StraightLine{toPoint(line.start),
                            toPoint(line.end),
                            parsedColor(line.color, legacyFallbackColor),
                            line.lineWidth};
    }
};

WhiteboardElementKind kindForTool(DrawingTool tool)
{
    switch (tool) {
    case DrawingTool::arrow:
        return WhiteboardElementKind::arrow;
    case DrawingTool::rectangle:
        return WhiteboardElementKind::rectangle;
    case DrawingTool::ellipse:
        return WhiteboardElementKind::ellipse;
    case DrawingTool::diamond:
        return WhiteboardElementKind::diamond;
    case DrawingTool::line:
        return WhiteboardElementKind::line;
    case DrawingTool::freehand:
    case DrawingTool::number:
    case DrawingTool::eraser:
        break;
    }
    return WhiteboardElementKind::freedraw;
}

WhiteboardElement
baseElement(const UuidRandomSource &random, const Color &color, double strokeWidth)
{
    WhiteboardElement element;
    element.id = Uuid::generate(random);
    element.style.strokeColor = hexString(color);
    element.style.strokeWidth = strokeWidth;
    element.style.opacity = 1;
    element.style.roughness = 1;
    return element;
}

struct ElementMaker
{
    const UuidRandomSource &random;
    const LegacyTextMeasure &measure;

    WhiteboardElement operator()(const DrawingStroke &stroke) const
    {
        WhiteboardElement element = baseElement(random, stroke.color, stroke.lineWidth);
        element.kind = kindForTool(stroke.tool);
        if (!stroke.points.empty()) {
            const PointF first = stroke.points.front();
            const PointF last = stroke.points.back();
            if (isSegmentKind(element.kind)) {
                // Signed, so a line drawn up or left keeps pointing that way.
                element.setFrame({first.x, first.y, last.x - first.x, last.y - first.y});
            } else {
                element.setFrame(rectBetween(first, last));
            }
        }
        if (element.kind == WhiteboardElementKind::freedraw) {
            for (PointF point : stroke.points) {
                element.points.push_back({point.x, point.y});
            }
        }
        return element;
    }

    WhiteboardElement operator()(const NumberedMarker &marker) const
    {
        WhiteboardElement element = baseElement(random, marker.color, 2);
        element.kind = WhiteboardElementKind::marker;
        element.setFrame({marker.point.x - 15, marker.point.y - 15, 30, 30});
        element.markerNumber = marker.number;
        element.style.fillColor = element.style.strokeColor;
        return element;
    }

    WhiteboardElement operator()(const WhiteboardText &text) const
    {
        WhiteboardElement element = baseElement(random, text.color, 2);
        element.kind = WhiteboardElementKind::text;
        const SizeF size = measure ? measure(text.text, text.fontSize)
                                   : estimatedTextSize(text.text, text.fontSize);
        element.setFrame({text.point.x, text.point.y, size.width, size.height});
        element.text = text.text;
        element.fontSize = text.fontSize;
        return element;
    }

    WhiteboardElement operator()(const DiamondShape &diamond) const
    {
        WhiteboardElement element = baseElement(random, diamond.color, diamond.lineWidth);
        element.kind = WhiteboardElementKind::diamond;
        element.setFrame({diamond.rect.x,
                          diamond.rect.y,
                          std::abs(diamond.rect.width),
                          std::abs(diamond.rect.height)});
        return element;
    }

    WhiteboardElement operator()(const StraightLine &line) const
    {
        WhiteboardElement element = baseElement(random, line.color, line.lineWidth);
        element.kind = WhiteboardElementKind::line;
        element.setFrame(
            {line.start.x, line.start.y, line.end.x - line.start.x, line.end.y - line.start.y});
        return element;
    }
};

} // namespace

SizeF estimatedTextSize(const std::string &text, double fontSize)
{
    // Roughly the hand-drawn font's average advance and line spacing.
    std::size_t lines = 1;
    std::size_t longest = 0;
    std::size_t current = 0;
    for (unsigned char c : text) {
        if (c == '\n') {
            ++lines;
            current = 0;
        } else if ((c & 0xC0) != 0x80) {
            longest = std::max(longest, ++current);
        }
    }
    const double size = std::isfinite(fontSize) ? std::max(fontSize, 0.0) : 0.0;
    return {static_cast<double>(longest) * size * 0.6, static_cast<double>(lines) * size * 1.25};
}

std::vector<FreezeAnnotationItem> legacyItems(const WhiteboardDocument &document,
                                              const Clock &clock)
{
    std::vector<FreezeAnnotationItem> items;
    items.reserve(document.annotations.size());
    for (const WhiteboardAnnotation &annotation : document.annotations) {
        items.push_back(std::visit(ItemMaker{clock.now()}, annotation));
    }
    return items;
}

ModelDecoded<WhiteboardElement> migrateLegacyItem(const FreezeAnnotationItem &item,
                                                  const UuidRandomSource &random,
                                                  const LegacyTextMeasure &measure)
{
    WhiteboardElement element = std::visit(ElementMaker{random, measure}, item);
    // Differences of huge coordinates (or a measured size) can overflow; such an element
    // would poison every later save, so it is refused here.
    if (auto checked = encodeWhiteboardElement(element); !checked) {
        return tl::unexpected(ModelDecodeError{checked.error().path, checked.error().detail});
    }
    return element;
}

ModelDecoded<WhiteboardBoard> migratedLegacyBoard(const WhiteboardDocument &document,
                                                  const Clock &clock,
                                                  const UuidRandomSource &random,
                                                  const LegacyTextMeasure &measure)
{
    WhiteboardBoard board;
    board.id = Uuid::generate(random);
    board.name = "Migrated Board";
    const std::vector<FreezeAnnotationItem> items = legacyItems(document, clock);
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto element = migrateLegacyItem(items[i], random, measure);
        if (!element) {
            const std::string where = modelIndexPath("annotations", i);
            return tl::unexpected(ModelDecodeError{
                element.error().path.empty() ? where : where + "." + element.error().path,
                element.error().detail});
        }
        board.elements.push_back(makeElement(std::move(*element)));
    }
    board.viewport = document.viewport.value_or(WhiteboardViewport{1, {0, 0}});
    board.background = document.background;
    board.showsGrid = document.showsGrid.value_or(true);
    board.createdAt = clock.now();
    board.updatedAt = clock.now();
    return board;
}

} // namespace zentrel
