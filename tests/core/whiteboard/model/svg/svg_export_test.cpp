#include "whiteboard/model/svg/svg_export.h"

#include "whiteboard/model/svg/svg_text.h"
#include "whiteboard/render/text_layout.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace zentrel;

namespace {

const std::string documentHead = "  <defs>\n"
                                 "    <marker id=\"arrow\" markerWidth=\"10\" markerHeight=\"10\" "
                                 "refX=\"8\" refY=\"5\" orient=\"auto\" "
                                 "markerUnits=\"strokeWidth\">\n"
                                 "      <path d=\"M 0 0 L 10 5 L 0 10 z\" "
                                 "fill=\"context-stroke\"/>\n"
                                 "    </marker>\n"
                                 "  </defs>\n";

WhiteboardElement shape(WhiteboardElementKind kind, RectF frame)
{
    WhiteboardElement element;
    element.kind = kind;
    element.setFrame(frame);
    element.style.strokeColor = "#1b1b1f";
    element.style.strokeWidth = 2;
    return element;
}

WhiteboardBoard boardWith(std::vector<WhiteboardElement> elements)
{
    WhiteboardBoard board;
    board.background = WhiteboardBackground::white();
    for (WhiteboardElement &element : elements) {
        board.elements.push_back(makeElement(std::move(element)));
    }
    return board;
}

} // namespace

TEST(SvgExport, SmallBoardIsWrittenExactly)
{
    WhiteboardElement arrow = shape(WhiteboardElementKind::arrow, {100, 50, -40, 30});
    arrow.style.strokeStyle = WhiteboardStrokeStyle::dashed;
    WhiteboardBoard board =
        boardWith({shape(WhiteboardElementKind::rectangle, {0, 0, 100, 50}), arrow});
    board.background = WhiteboardBackground::black();
    EXPECT_EQ(renderBoardSVG(board),
              "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"-20.0 -20.0 140.0 120.0\">\n"
                  + documentHead
                  + "  <rect x=\"-20.0\" y=\"-20.0\" width=\"140.0\" height=\"120.0\" "
                    "fill=\"#000000\"/>\n"
                    "<rect x=\"0.0\" y=\"0.0\" width=\"100.0\" height=\"50.0\" stroke=\"#1b1b1f\" "
                    "fill=\"none\" stroke-width=\"2.0\" opacity=\"1.0\"/>\n"
                    "<line x1=\"100.0\" y1=\"50.0\" x2=\"60.0\" y2=\"80.0\" stroke=\"#1b1b1f\" "
                    "fill=\"none\" stroke-width=\"2.0\" opacity=\"1.0\" "
                    "stroke-dasharray=\"8.0 6.0\" marker-end=\"url(#arrow)\"/>\n"
                    "</svg>");
}

TEST(SvgExport, EmptyBoardHasUnitViewBoxAndAnEmptyLine)
{
    EXPECT_EQ(renderBoardSVG(boardWith({})),
              "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0.0 0.0 1.0 1.0\">\n"
                  + documentHead
                  + "  <rect x=\"0.0\" y=\"0.0\" width=\"1.0\" height=\"1.0\" fill=\"#ffffff\"/>\n"
                    "\n"
                    "</svg>");
}

TEST(SvgExport, ImageBackgroundIsWhite)
{
    WhiteboardBoard board = boardWith({});
    board.background = WhiteboardBackground::withImage({});
    EXPECT_NE(renderBoardSVG(board).find("fill=\"#ffffff\"/>"), std::string::npos);
}

TEST(SvgExport, ViewBoxFramesRotatedAndFreehandBoundsWithMargin)
{
    EXPECT_EQ(whiteboardBoundingRect(
                  {makeElement(shape(WhiteboardElementKind::rectangle, {0, 0, 100, 50}))}),
              (RectF{-20, -20, 140, 90}));
    WhiteboardElement turned = shape(WhiteboardElementKind::rectangle, {0, 0, 10, 20});
    turned.rotation = std::numbers::pi / 2;
    const RectF box = whiteboardBoundingRect({makeElement(turned)});
    EXPECT_NEAR(box.x, -25, 1e-9);
    EXPECT_NEAR(box.y, -15, 1e-9);
    EXPECT_NEAR(box.width, 60, 1e-9);
    EXPECT_NEAR(box.height, 50, 1e-9);
    WhiteboardElement stroke = shape(WhiteboardElementKind::freedraw, {0, 0, 0, 0});
    stroke.points = {{10, 10}, {30, 40}};
    EXPECT_EQ(whiteboardBoundingRect({makeElement(stroke)}), (RectF{-12, -12, 64, 74}));
}

TEST(SvgExport, RectangleWithRoundnessAndRotation)
{
    WhiteboardElement element = shape(WhiteboardElementKind::rectangle, {0, 0, 10, 20});
    element.style.roundnessType = 0;
    element.style.fillColor = "#ffcc00";
    element.style.opacity = 0.5;
    element.rotation = std::numbers::pi / 2;
    EXPECT_EQ(svgForElement(element),
              "<rect x=\"0.0\" y=\"0.0\" width=\"10.0\" height=\"20.0\" rx=\"16\" ry=\"16\" "
              "stroke=\"#1b1b1f\" fill=\"#ffcc00\" stroke-width=\"2.0\" opacity=\"0.5\" "
              "transform=\"rotate(90.0 5.0 10.0)\"/>");
}

TEST(SvgExport, EllipseUsesStandardisedCentreAndHalfExtents)
{
    WhiteboardElement element = shape(WhiteboardElementKind::ellipse, {10, 10, -8, 5});
    element.style.strokeStyle = WhiteboardStrokeStyle::dotted;
    EXPECT_EQ(svgForElement(element),
              "<ellipse cx=\"6.0\" cy=\"12.5\" rx=\"4.0\" ry=\"2.5\" stroke=\"#1b1b1f\" "
              "fill=\"none\" stroke-width=\"2.0\" opacity=\"1.0\" stroke-dasharray=\"0.1 5.0\" "
              "stroke-linecap=\"round\"/>");
}

TEST(SvgExport, DiamondCorners)
{
    EXPECT_EQ(svgForElement(shape(WhiteboardElementKind::diamond, {0, 0, 40, 20})),
              "<polygon points=\"20.0,0.0 40.0,10.0 20.0,20.0 0.0,10.0\" stroke=\"#1b1b1f\" "
              "fill=\"none\" stroke-width=\"2.0\" opacity=\"1.0\"/>");
}

TEST(SvgExport, LineRunsAlongItsSignedFrame)
{
    EXPECT_EQ(svgForElement(shape(WhiteboardElementKind::line, {100, 100, -50, 50})),
              "<line x1=\"100.0\" y1=\"100.0\" x2=\"50.0\" y2=\"150.0\" stroke=\"#1b1b1f\" "
              "fill=\"none\" stroke-width=\"2.0\" opacity=\"1.0\"/>");
}

TEST(SvgExport, PolylineRunsThroughEveryPointAndAClosedOneStaysClosed)
{
    // An imported polyline: its frame runs from its first point to its last.
    WhiteboardElement zigzag = shape(WhiteboardElementKind::arrow, {0, 0, 30, 0});
    zigzag.points = {{0, 0}, {10, 20}, {20, 0}, {30, 0}};
    zigzag.style.fillColor = "#ffc9c9";
    EXPECT_EQ(svgForElement(zigzag),
              "<path d=\"M 0.0 0.0 L 10.0 20.0 L 20.0 0.0 L 30.0 0.0\" stroke=\"#1b1b1f\" "
              "fill=\"none\" stroke-width=\"2.0\" opacity=\"1.0\" marker-end=\"url(#arrow)\"/>");

    WhiteboardElement triangle = shape(WhiteboardElementKind::line, {5, 5, 0, 0});
    triangle.points = {{5, 5}, {25, 5}, {15, 25}, {5, 5}};
    triangle.style.fillColor = "#ffc9c9";
    triangle.rotation = std::numbers::pi;
    // Filled like a shape, and turned about the middle of its points, not of its dot of a frame.
    EXPECT_EQ(svgForElement(triangle),
              "<path d=\"M 5.0 5.0 L 25.0 5.0 L 15.0 25.0 Z\" stroke=\"#1b1b1f\" fill=\"#ffc9c9\" "
              "stroke-width=\"2.0\" opacity=\"1.0\" transform=\"rotate(180.0 15.0 15.0)\"/>");
    const RectF box = whiteboardBoundingRect({makeElement(triangle)});
    EXPECT_NEAR(box.x, -15, 1e-9);
    EXPECT_NEAR(box.y, -15, 1e-9);
    EXPECT_NEAR(box.width, 60, 1e-9);
    EXPECT_NEAR(box.height, 60, 1e-9);

    // Moved by the editor, the path goes along.
    triangle.translate(100, 0);
    EXPECT_EQ(
        svgForElement(triangle).rfind("<path d=\"M 105.0 5.0 L 125.0 5.0 L 115.0 25.0 Z\"", 0), 0u);
}

TEST(SvgExport, FreehandWritesPointsAndOnlyOneFill)
{
    WhiteboardElement element = shape(WhiteboardElementKind::freedraw, {0, 0, 0, 0});
    element.points = {{1, 2}, {3.25, -4}};
    element.style.fillColor = "#ff0000";
    EXPECT_EQ(svgForElement(element),
              "<polyline points=\"1.0,2.0 3.25,-4.0\" stroke=\"#1b1b1f\" fill=\"none\" "
              "stroke-width=\"2.0\" opacity=\"1.0\"/>");
    element.points.clear();
    EXPECT_EQ(svgForElement(element).rfind("<polyline points=\"\" ", 0), 0U);
}

TEST(SvgExport, TextWithDefaultAndGivenFontSize)
{
    WhiteboardElement element = shape(WhiteboardElementKind::text, {5, 6, 100, 30});
    element.style.strokeStyle = WhiteboardStrokeStyle::dashed;
    EXPECT_EQ(svgForElement(element),
              "<text x=\"5.0\" y=\"30.0\" font-size=\"24.0\" fill=\"#1b1b1f\"></text>");
    // SVG lays a text out on one row whatever line breaks it holds: one text per line.
    element.text = "a\nb\r\n\rc";
    element.fontSize = 10;
    element.lineHeight = 1.5;
    EXPECT_EQ(svgForElement(element),
              "<text x=\"5.0\" y=\"16.0\" font-size=\"10.0\" fill=\"#1b1b1f\">a</text>"
              "<text x=\"5.0\" y=\"31.0\" font-size=\"10.0\" fill=\"#1b1b1f\">b</text>"
              "<text x=\"5.0\" y=\"46.0\" font-size=\"10.0\" fill=\"#1b1b1f\"></text>"
              "<text x=\"5.0\" y=\"61.0\" font-size=\"10.0\" fill=\"#1b1b1f\">c</text>");
    // An emoji stays a character of its text, for the viewer's fonts to show in colour.
    element.text = "Well done 👍 class";
    EXPECT_EQ(svgForElement(element),
              "<text x=\"5.0\" y=\"16.0\" font-size=\"10.0\" fill=\"#1b1b1f\">Well done 👍 "
              "class</text>");
    element.text = "a\nb\r\n\rc";
    element.lineHeight.reset();
    element.rotation = std::numbers::pi;
    EXPECT_NE(
        svgForElement(element).find("<text x=\"5.0\" y=\"28.5\" font-size=\"10.0\" "
                                    "fill=\"#1b1b1f\" transform=\"rotate(180.0 55.0 21.0)\">b"),
        std::string::npos);
}

TEST(SvgExport, MarkerLabelIsNotRotated)
{
    WhiteboardElement element = shape(WhiteboardElementKind::marker, {0, 0, 10, 20});
    element.rotation = std::numbers::pi / 2;
    element.style.fillColor = "#ff3b30";
    EXPECT_EQ(svgForElement(element),
              "<ellipse cx=\"5.0\" cy=\"10.0\" rx=\"5.0\" ry=\"10.0\" stroke=\"#1b1b1f\" "
              "fill=\"#ff3b30\" stroke-width=\"2.0\" opacity=\"1.0\" "
              "transform=\"rotate(90.0 5.0 10.0)\"/>"
              "<text x=\"5.0\" y=\"10.0\" text-anchor=\"middle\" dominant-baseline=\"middle\" "
              "fill=\"#ffffff\">1</text>");
    element.markerNumber = 42;
    EXPECT_NE(svgForElement(element).find(">42</text>"), std::string::npos);
}

TEST(SvgExport, UnsupportedIsDashedOrangeOutlineWhateverItsStyle)
{
    WhiteboardElement element = shape(WhiteboardElementKind::unsupported, {1, 2, 3, 4});
    element.style.fillColor = "#123456";
    element.style.strokeStyle = WhiteboardStrokeStyle::dotted;
    element.rotation = 1;
    EXPECT_EQ(svgForElement(element),
              "<rect x=\"1.0\" y=\"2.0\" width=\"3.0\" height=\"4.0\" stroke=\"#ff9500\" "
              "fill=\"none\" stroke-dasharray=\"6 4\"/>");
}

TEST(SvgExport, DashAttributesPerStrokeStyle)
{
    WhiteboardElementStyle style;
    style.strokeWidth = 2;
    EXPECT_EQ(svgDashAttributes(style), "");
    style.strokeStyle = WhiteboardStrokeStyle::solid;
    EXPECT_EQ(svgDashAttributes(style), "");
    style.strokeStyle = WhiteboardStrokeStyle::dashed;
    EXPECT_EQ(svgDashAttributes(style), " stroke-dasharray=\"8.0 6.0\"");
    style.strokeStyle = WhiteboardStrokeStyle::dotted;
    EXPECT_EQ(svgDashAttributes(style), " stroke-dasharray=\"0.1 5.0\" stroke-linecap=\"round\"");
}

TEST(SvgExport, TextAndColoursAreEscaped)
{
    WhiteboardElement text = shape(WhiteboardElementKind::text, {0, 0, 10, 10});
    text.text = "<a href=\"x\">Tom & Jerry's</a>";
    text.style.strokeColor = "r&d\"<'>";
    // A link is not part of the drawing, so none of its text may appear.
    text.link = "https://example.com/?a=1&b=\"2\"";
    EXPECT_EQ(svgForElement(text),
              "<text x=\"0.0\" y=\"24.0\" font-size=\"24.0\" fill=\"r&amp;d&quot;&lt;'&gt;\">"
              "&lt;a href=&quot;x&quot;&gt;Tom &amp; Jerry's&lt;/a&gt;</text>");

    WhiteboardElement box = shape(WhiteboardElementKind::rectangle, {0, 0, 1, 1});
    box.style.strokeColor = "a&b";
    box.style.fillColor = "<'\">";
    const std::string markup = svgForElement(box);
    EXPECT_NE(markup.find(" stroke=\"a&amp;b\""), std::string::npos);
    EXPECT_NE(markup.find(" fill=\"&lt;'&quot;&gt;\""), std::string::npos);
    EXPECT_EQ(svgEscaped("&amp;"), "&amp;amp;");
}

TEST(SvgExport, CharactersXmlCannotHoldAreLeftOut)
{
    // Control characters but tab, line feed and carriage return; broken and overlong UTF-8;
    // encoded surrogates; the two non-characters U+FFFE and U+FFFF.
    const char controls[] = "a\x01"
                            "b\x1F\x7F\tc\0d";
    EXPECT_EQ(svgEscaped(std::string(controls, sizeof controls - 1)), "ab\x7F\tcd");
    EXPECT_EQ(svgEscaped("x\xC3y\xC0\xAFz\xED\xA0\x80!"), "xyz!");
    EXPECT_EQ(svgEscaped("\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD"), "\xEF\xBF\xBD");
    EXPECT_EQ(svgEscaped("Grüße — 你好 🎉"), "Grüße — 你好 🎉");
    EXPECT_EQ(svgEscaped("\xF4\x90\x80\x80\xF0\x9F\x8E"), "");

    WhiteboardElement text = shape(WhiteboardElementKind::text, {0, 0, 10, 10});
    text.text = "bell\a";
    text.style.strokeColor = "#00\x08"
                             "00";
    EXPECT_EQ(svgForElement(text),
              "<text x=\"0.0\" y=\"24.0\" font-size=\"24.0\" fill=\"#0000\">bell</text>");
}

TEST(SvgExport, NumbersAreShortestWithFractionalZero)
{
    EXPECT_EQ(svgNumber(120), "120.0");
    EXPECT_EQ(svgNumber(-8.5), "-8.5");
    EXPECT_EQ(svgNumber(0.1), "0.1");
    EXPECT_EQ(svgNumber(0), "0.0");
    EXPECT_EQ(svgNumber(100000), "100000.0");
    EXPECT_EQ(svgNumber(1e16), "1e+16");
    EXPECT_EQ(svgNumber(1.5e-5), "1.5e-05");
    for (double value : {1.0 / 3, 123456.789, -2.5e-300, 6.02e23}) {
        EXPECT_EQ(std::stod(svgNumber(value)), value);
    }
}

TEST(SvgExport, ArrowheadsOtherThanTheMarkersAreDrawnAsPathsOfTheirOwn)
{
    WhiteboardElement arrow = shape(WhiteboardElementKind::arrow, {0, 0, 100, 0});
    arrow.points = {{0, 0}, {100, 0}};
    arrow.startArrowhead = WhiteboardArrowhead::bar;
    arrow.endArrowhead = WhiteboardArrowhead::triangle;
    arrow.rotation = std::numbers::pi;
    const std::string rotate = " transform=\"rotate(180.0 50.0 0.0)\"/>";
    const std::string markup = svgForElement(arrow);
    // The shaft, the start's bar, then the end's triangle filled in the stroke colour.
    EXPECT_EQ(markup.rfind("<path d=\"M 0.0 0.0 L 100.0 0.0\" stroke=\"#1b1b1f\" fill=\"none\" "
                           "stroke-width=\"2.0\" opacity=\"1.0\""
                               + rotate
                               + "<path d=\"M 0.0 -15.0 L 0.0 15.0\" stroke=\"#1b1b1f\" "
                                 "fill=\"none\" stroke-width=\"2.0\" opacity=\"1.0\""
                               + rotate + "<path d=\"M 100.0 0.0 L 86.4",
                           0),
              0u);
    EXPECT_NE(markup.find(" Z\" stroke=\"#1b1b1f\" fill=\"#1b1b1f\" stroke-width=\"2.0\" "
                          "opacity=\"1.0\""
                          + rotate),
              std::string::npos);
    EXPECT_EQ(markup.find("marker"), std::string::npos);

    // An arrow without heads has no marker; one with the usual heads keeps it.
    arrow.startArrowhead = WhiteboardArrowhead::none;
    arrow.endArrowhead = WhiteboardArrowhead::none;
    EXPECT_EQ(svgForElement(arrow).find("marker"), std::string::npos);
    EXPECT_EQ(svgForElement(arrow).find("<path", 1), std::string::npos);
    arrow.endArrowhead.reset();
    arrow.startArrowhead.reset();
    EXPECT_NE(svgForElement(arrow).find("marker-end=\"url(#arrow)\""), std::string::npos);
}

TEST(SvgExport, RoundedPolylineIsACurveThroughItsPoints)
{
    WhiteboardElement line = shape(WhiteboardElementKind::arrow, {0, 0, 40, 0});
    line.points = {{0, 0}, {20, 60}, {40, 0}};
    line.style.roundnessType = 2;
    const std::string curve = svgForElement(line);
    // A cubic piece from each point to the next, leaving the first towards the second.
    EXPECT_EQ(curve.rfind("<path d=\"M 0.0 0.0 C 3.33", 0), 0u);
    EXPECT_NE(curve.find(" 20.0 60.0 C 26.6"), std::string::npos);
    EXPECT_NE(curve.find(" 40.0 0.0\" stroke=\"#1b1b1f\" fill=\"none\" stroke-width=\"2.0\" "
                         "opacity=\"1.0\" marker-end=\"url(#arrow)\"/>"),
              std::string::npos);
    line.points.push_back({0, 0});
    line.setFrame({0, 0, 0, 0});
    line.kind = WhiteboardElementKind::line;
    line.style.fillColor = "#ffc9c9";
    const std::string closed = svgForElement(line);
    EXPECT_EQ(closed.rfind("<path d=\"M 0.0 0.0 C ", 0), 0u);
    EXPECT_NE(closed.find(" Z\" stroke=\"#1b1b1f\" fill=\"#ffc9c9\""), std::string::npos);
}

// Every byte 5 wide at size 10, as the core tests measure.
SizeF fixedWidth(std::string_view line, WhiteboardTypeface, double fontSize)
{
    return {static_cast<double>(line.size()) * fontSize / 2, fontSize * 1.2};
}

TEST(SvgExport, TextLinesAreTheLinesTheCanvasWraps)
{
    WhiteboardElement text = shape(WhiteboardElementKind::text, {0, 0, 50, 30});
    text.text = "one two three\nfour";
    text.fontSize = 10;
    text.lineHeight = 1.5;
    EXPECT_EQ(svgForElement(text, fixedWidth),
              "<text x=\"0.0\" y=\"10.0\" font-size=\"10.0\" fill=\"#1b1b1f\">one two</text>"
              "<text x=\"0.0\" y=\"25.0\" font-size=\"10.0\" fill=\"#1b1b1f\">three</text>"
              "<text x=\"0.0\" y=\"40.0\" font-size=\"10.0\" fill=\"#1b1b1f\">four</text>");
    std::vector<std::string> canvas;
    for (const PlacedTextLine &line : layOutText(text, whiteboardTypeface(text), 10, fixedWidth)) {
        canvas.push_back(line.text);
    }
    EXPECT_EQ(canvas, (std::vector<std::string>{"one two", "three", "four"}));
    // Without a measurer only line breaks break.
    EXPECT_EQ(renderBoardSVG(boardWith({text})).find(">three</text>"), std::string::npos);
    EXPECT_NE(renderBoardSVG(boardWith({text}), fixedWidth).find(">three</text>"),
              std::string::npos);

    // Centred and right-aligned lines stand where the canvas aligns them in the frame.
    text.textAlignment = WhiteboardTextAlignment::center;
    EXPECT_EQ(svgForElement(text, fixedWidth)
                  .rfind("<text x=\"25.0\" y=\"10.0\" text-anchor=\"middle\" font-size", 0),
              0u);
    text.textAlignment = WhiteboardTextAlignment::right;
    EXPECT_EQ(svgForElement(text, fixedWidth)
                  .rfind("<text x=\"50.0\" y=\"10.0\" text-anchor=\"end\" font-size", 0),
              0u);
}
