#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/svg/svg_export.h"
#include "whiteboard/render/text_layout.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <filesystem>

namespace zentrel {
namespace {

// What an XML reader says of the document: empty when it is well formed.
QString xmlError(const std::string &svg)
{
    QXmlStreamReader reader(QByteArray::fromStdString(svg));
    while (!reader.atEnd()) {
        reader.readNext();
    }
    return reader.hasError() ? reader.errorString() : QString();
}

WhiteboardBoard boardWith(std::vector<WhiteboardElement> elements)
{
    WhiteboardBoard board;
    board.background = WhiteboardBackground::white();
    for (WhiteboardElement &element : elements) {
        element.style.strokeColor = "#000000";
        element.style.strokeWidth = 4;
        board.elements.push_back(makeElement(std::move(element)));
    }
    return board;
}

QImage rendered(const std::string &svg)
{
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    EXPECT_TRUE(renderer.isValid());
    QImage image(renderer.viewBox().size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image;
}

bool hasInk(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// Runs of image rows holding ink, top to bottom.
int inkedRowRuns(const QImage &image)
{
    int runs = 0;
    bool inked = false;
    for (int y = 0; y < image.height(); ++y) {
        bool row = false;
        for (int x = 0; x < image.width() && !row; ++x) {
            row = hasInk(image, x, y);
        }
        runs += row && !inked ? 1 : 0;
        inked = row;
    }
    return runs;
}

WhiteboardElement textOf(const std::string &text)
{
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::text;
    element.setFrame({0, 0, 300, 120});
    element.text = text;
    element.fontSize = 24;
    return element;
}

} // namespace

TEST(SvgExportRendering, EveryRealDocumentIsWellFormedXml)
{
    const std::filesystem::path folder = std::filesystem::path(ZENTREL_TESTDATA_DIR) / "excalidraw";
    std::error_code ec;
    int documents = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().extension() != ".excalidraw") {
            continue;
        }
        QFile file(QString::fromStdString(entry.path().string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto imported = importExcalidrawDocument(file.readAll().toStdString(), "Document");
        ASSERT_TRUE(imported) << entry.path();
        EXPECT_EQ(xmlError(renderBoardSVG(imported->board)), QString()) << entry.path();
        ++documents;
    }
    if (documents == 0) {
        GTEST_SKIP() << "no test documents at " << folder;
    }
}

TEST(SvgExportRendering, TextWithControlCharactersIsWellFormedXml)
{
    const std::string svg = renderBoardSVG(
        boardWith({textOf("bell\a, escape\x1B, nul" + std::string(1, '\0') + " \xC3")}));
    EXPECT_EQ(xmlError(svg), QString());
}

TEST(SvgExportRendering, LinesOfATextShowOnSeparateRows)
{
    EXPECT_EQ(inkedRowRuns(rendered(renderBoardSVG(boardWith({textOf("Wide text one")})))), 1);
    EXPECT_EQ(inkedRowRuns(rendered(renderBoardSVG(boardWith({textOf("First\nSecond\nThird")})))),
              3);
}

TEST(SvgExportRendering, ATextWrapsIntoTheLinesTheCanvasDraws)
{
    WhiteboardElement text = textOf("Wide text one two three");
    text.width = 120;
    const TextMeasurer measure = whiteboardLineMeasurer();
    const std::size_t lines = layOutText(text, whiteboardTypeface(text), 24, measure).size();
    ASSERT_GT(lines, 1u);
    EXPECT_EQ(inkedRowRuns(rendered(renderBoardSVG(boardWith({text}), measure))),
              static_cast<int>(lines));
}

TEST(SvgExportRendering, ArrowheadsAreTheOnesTheDocumentAsksFor)
{
    WhiteboardElement arrow;
    arrow.kind = WhiteboardElementKind::arrow;
    arrow.setFrame({0, 0, 200, 0});
    arrow.points = {{0, 0}, {200, 0}};
    arrow.startArrowhead = WhiteboardArrowhead::dot;
    arrow.endArrowhead = WhiteboardArrowhead::none;
    const QImage image = rendered(renderBoardSVG(boardWith({arrow})));
    // The view box starts 20 before the points: the dot behind the start is inked, where the
    // usual barbs would be is not.
    EXPECT_TRUE(hasInk(image, 14, 20));
    EXPECT_FALSE(hasInk(image, 206, 14));
}

TEST(SvgExportRendering, APolylineIsDrawnThroughItsBends)
{
    // A V read from a document: its frame runs from the first point to the last.
    WhiteboardElement line;
    line.kind = WhiteboardElementKind::line;
    line.setFrame({0, 0, 200, 0});
    line.points = {{0, 0}, {100, 100}, {200, 0}};
    const QImage image = rendered(renderBoardSVG(boardWith({line})));
    // The view box starts 20 before the points; the bend is inked, the straight chord is not.
    EXPECT_TRUE(hasInk(image, 120, 120));
    EXPECT_FALSE(hasInk(image, 120, 22));
}

} // namespace zentrel
