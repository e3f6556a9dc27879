#include "whiteboard/model/store/library_json_writer.h"

#include "common/json/json_file.h"
#include "fakes/counting_random.h"
#include "fakes/piece_text_sink.h"
#include "whiteboard/model/whiteboard_board_json.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;

namespace {

WhiteboardElement element(WhiteboardElementKind kind, double x)
{
    WhiteboardElement e;
    e.id = Uuid::generate(countingRandom());
    e.kind = kind;
    e.setFrame({x, -2.5, 30, 1e-7});
    e.points = {{x, 1}, {2.5, -3e21}};
    e.text = "Grüße \"quoted\"\n\x01 and \xFF ill-formed";
    e.fontSize = 20;
    e.textAlignment = WhiteboardTextAlignment::center;
    e.link = "https://example.com/a/b";
    e.style.fillColor = "#00FF00";
    e.style.strokeStyle = WhiteboardStrokeStyle::dotted;
    e.groupIDs = {e.id};
    e.opaqueExcalidrawJSON = std::string("{\"type\":\"frame\"}\0\xFF", 18);
    e.excalidrawSeed = -12;
    e.excalidrawSource = {R"({"customData":{"a":[1,"\n"]},"id":"x1"})", 1, 0xFFFFFFFF, 0, 42};
    return e;
}

WhiteboardLibrary library()
{
    const UuidRandomSource random = countingRandom();
    WhiteboardBoard empty;
    empty.id = Uuid::generate(random);
    empty.name = "Empty";
    WhiteboardBoard full;
    full.id = Uuid::generate(random);
    full.name = "Full \u00e9";
    full.viewport = {0.75, {-10.5, 3}};
    full.excalidrawFiles = {{"file-1", R"({"mimeType":"image/png"})"}, {"b", "{}"}};
    for (int i = 0; i < 40; ++i) {
        const auto kind = allWhiteboardElementKinds[i % allWhiteboardElementKinds.size()];
        full.elements.push_back(makeElement(element(kind, i * 1.5)));
    }
    return {1, {empty, full}, full.id, true};
}

// Puts the pieces together last first, as threads side by side may.
const ParallelWork backwards = [](std::size_t count, const auto &work) {
    for (std::size_t i = count; i-- > 0;) {
        work(i);
    }
};

std::string treeText(const WhiteboardLibrary &value)
{
    return prettyJson(*encodeWhiteboardLibrary(value));
}

} // namespace

TEST(LibraryJsonWriter, WritesWhatTheTreeWritesAPieceAtATime)
{
    const WhiteboardLibrary value = library();
    PieceTextSink sink;
    ASSERT_TRUE(writeWhiteboardLibraryJson(sink, value));
    const std::string expected = treeText(value);
    EXPECT_EQ(sink.whole(), expected);

    // Elements put together out of order still go in in order.
    WhiteboardLibrary large = value;
    for (int i = 0; i < 1000; ++i) {
        large.boards[1].elements.push_back(makeElement(element(WhiteboardElementKind::line, i)));
    }
    PieceTextSink pieces;
    ASSERT_TRUE(writeWhiteboardLibraryJson(pieces, large, backwards));
    const std::string largeText = treeText(large);
    EXPECT_EQ(pieces.whole(), largeText);
    EXPECT_LT(pieces.mostHeld(), largeText.size() / 3);

    WhiteboardLibrary bare{0, {WhiteboardBoard{}}, {}, false};
    TextSink whole;
    ASSERT_TRUE(writeWhiteboardLibraryJson(whole, bare));
    EXPECT_EQ(whole.text(), treeText(bare));
}

TEST(LibraryJsonWriter, RefusesANonFiniteNumberWhereTheTreeFindsIt)
{
    const auto refusal = [](const WhiteboardLibrary &value) {
        TextSink sink;
        const auto written = writeWhiteboardLibraryJson(sink, value);
        EXPECT_FALSE(written);
        const auto encoded = encodeWhiteboardLibrary(value);
        EXPECT_FALSE(encoded);
        EXPECT_EQ(written.error(), encoded.error());
        return written ? std::string() : message(written.error());
    };
    WhiteboardLibrary value = library();
    value.boards[1].viewport.translation.y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(refusal(value), "boards[1].viewport.translation.y: number is not finite");

    WhiteboardElement wide = *value.boards[1].elements[3];
    wide.points[1].x = std::numeric_limits<double>::infinity();
    value.boards[1].elements[3] = makeElement(wide);
    EXPECT_EQ(refusal(value), "boards[1].elements[3].points[1].x: number is not finite");
    // The first in the file, wherever the text was put together first.
    for (int i = 0; i < 600; ++i) {
        value.boards[1].elements.push_back(makeElement(wide));
    }
    TextSink sink;
    const auto written = writeWhiteboardLibraryJson(sink, value, backwards);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().path, "boards[1].elements[3].points[1].x");
}
