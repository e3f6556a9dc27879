#include "excalidraw_losses.h"
#include "excalidraw_test_support.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/excalidraw/import/excalidraw_kept_keys.h"
#include "whiteboard/model/store/whiteboard_library_store.h"
#include "whiteboard/model/whiteboard_board_json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace zentrel;
using nlohmann::json;

namespace {

std::filesystem::path documentsDir()
{
    return std::filesystem::path(ZENTREL_TESTDATA_DIR) / "excalidraw";
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct RealDocument
{
    const char *name;
    std::size_t elementCount;
    std::int64_t unsupportedCount;
};

constexpr RealDocument realDocuments[] = {
    {"01-2020-single-rotated-rect.excalidraw", 1, 0},
    {"03-2020-shapes-legacy-draw.excalidraw", 21, 0},
    {"05-2021-legacy-arrow-bindings.excalidraw", 6, 0},
    {"08-freedraw-5-strokes.excalidraw", 5, 0},
    {"16-2025-fonts-5-6-8-arrowheads.excalidraw", 14, 0},
    {"18-2025-all-shapes-image-freedraw.excalidraw", 37, 1},
    {"22-empty-scene.excalidraw", 0, 0},
    {"26-fixture-frame-minimal.excalidraw", 3, 1},
    {"27-fixture-all-fonts.excalidraw", 25, 0},
    {"28-fixture-embeddable-iframe.excalidraw", 4, 4},
    {"29-fixture-fill-styles-zigzag.excalidraw", 5, 0},
    {"30-fixture-image-crop.excalidraw", 14, 7},
    {"31-fixture-rotated-frame.excalidraw", 6, 1},
    {"32-fixture-unicode-text.excalidraw", 7, 0},
    {"33-fixture-elbow-arrows.excalidraw", 4, 0},
    {"34-fixture-freedraw-pressure.excalidraw", 7, 0},
};

// Every field the document carries, set to values that survive the trip exactly.
std::vector<WhiteboardElement> roundTripElements()
{
    const UuidRandomSource random = countingRandom();
    const Uuid group = Uuid::generate(random);
    std::vector<WhiteboardElement> elements;
    for (WhiteboardElementKind kind : allWhiteboardElementKinds) {
        if (kind == WhiteboardElementKind::marker || kind == WhiteboardElementKind::unsupported) {
            continue;
        }
        WhiteboardElement e;
        e.id = Uuid::generate(random);
        e.kind = kind;
        e.setFrame({12.5, -7.25, 30, 40});
        e.rotation = 0.75;
        e.fontSize = 24;
        e.lineHeight = 1.25;
        e.fontFamily = WhiteboardFontFamily::handDrawn;
        e.fontFamilyID = 5;
        e.link = "https://example.com/" + std::string(whiteboardElementKindText.text(kind));
        e.style = {"#1E1E1E",
                   "#FFC9C9",
                   3,
                   0.5,
                   2,
                   WhiteboardStrokeStyle::dashed,
                   WhiteboardFillStyle::crossHatch,
                   3};
        e.groupIDs = {group};
        e.isLocked = kind == WhiteboardElementKind::diamond;
        e.excalidrawSeed = 1234 + elements.size();
        e.excalidrawVersion = 3;
        e.excalidrawVersionNonce = 99;
        e.excalidrawIndex = "a" + std::to_string(elements.size());
        e.excalidrawUpdated = 1'700'000'000'000;
        elements.push_back(e);
    }
    using K = WhiteboardElementKind;
    const Uuid target = elements[0].id;
    for (WhiteboardElement &e : elements) {
        if (e.kind == K::line || e.kind == K::arrow) {
            // Direction is in the signs; points are exactly the written segment.
            e.setFrame({100, 50, -60, 35});
            e.points = {{100, 50}, {40, 85}};
            e.startBindingID = target;
            e.endBindingID = elements[1].id;
        } else if (e.kind == K::freedraw) {
            e.points = {{5, 5}, {9, 2}, {1, 8}};
            e.setFrame({5, 5, 8, 6});
        } else if (e.kind == K::text) {
            e.text = "Grüße — 你好\nline two";
            e.textAlignment = WhiteboardTextAlignment::right;
            e.fontFamily = WhiteboardFontFamily::system;
            e.fontFamilyID = 2;
            e.fontSize = 17.5;
            e.lineHeight = 1.4;
            e.containerID = target;
        }
        if (e.kind != K::text) {
            e.textAlignment = WhiteboardTextAlignment::left;
        }
    }
    return elements;
}

// How far each label of a line or arrow is from its line's label point, the middle of its ends.
std::vector<double> lineLabelMisses(const WhiteboardBoard &board)
{
    std::vector<double> misses;
    for (const ElementPtr &label : board.elements) {
        const auto line = std::find_if(
            board.elements.begin(), board.elements.end(), [&label](const ElementPtr &element) {
                return element->id == label->containerID;
            });
        if (label->kind == WhiteboardElementKind::text && line != board.elements.end()
            && isSegmentKind((*line)->kind)) {
            const PointF centre = rectCenter(label->frame());
            const PointF middle = rectCenter((*line)->frame());
            misses.push_back(std::hypot(centre.x - middle.x, centre.y - middle.y));
        }
    }
    return misses;
}

} // namespace

TEST(ExcalidrawDocuments, RealDocumentsImportAndExportAgain)
{
    if (!std::filesystem::exists(documentsDir())) {
        GTEST_SKIP() << "no test documents at " << documentsDir();
    }
    std::size_t lineLabels = 0;
    for (const RealDocument &document : realDocuments) {
        SCOPED_TRACE(document.name);
        const std::string data = readFile(documentsDir() / document.name);
        ASSERT_FALSE(data.empty());
        FakeClock clock;
        auto result = importExcalidrawDocument(data, "Real", clock, countingRandom());
        ASSERT_TRUE(result.has_value()) << message(result.error());
        // Drawn where their documents' program draws them, whatever place they store.
        for (const double miss : lineLabelMisses(result->board)) {
            EXPECT_NEAR(miss, 0, 1e-9);
            ++lineLabels;
        }
        EXPECT_EQ(result->board.elements.size(), document.elementCount);
        EXPECT_EQ(result->unsupportedElementCount, document.unsupportedCount);
        for (const ElementPtr &e : result->board.elements) {
            const bool placeholder = e->kind == WhiteboardElementKind::unsupported;
            EXPECT_EQ(placeholder, e->isLocked && e->opaqueExcalidrawJSON.has_value());
        }

        auto exported = exportExcalidrawDocument(result->board, clock, countingRandom());
        ASSERT_TRUE(exported.has_value()) << message(exported.error());
        auto again = importExcalidrawDocument(*exported, "Real", clock, countingRandom());
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->board.elements.size(), document.elementCount);
        EXPECT_EQ(again->unsupportedElementCount, document.unsupportedCount);
    }
    EXPECT_EQ(lineLabels, 2u);
}

TEST(ExcalidrawDocuments, ALabelSavedOffItsArrowIsBackOnItWhenTheLibraryOpens)
{
    const std::filesystem::path path =
        documentsDir() / "18-2025-all-shapes-image-freedraw.excalidraw";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no test document " << path;
    }
    const std::string data = readFile(path);
    FakeClock clock;
    auto imported = importExcalidrawDocument(data, "Real", clock, countingRandom());
    ASSERT_TRUE(imported.has_value());
    WhiteboardBoard board = imported->board;
    // As an earlier import kept it: at its stale place near the origin, and read so.
    for (ElementPtr &element : board.elements) {
        if (element->text && element->text->starts_with("this text is on a li")) {
            WhiteboardElement stale = *element;
            stale.setFrame({0, 0, stale.width, stale.height});
            stale.excalidrawSource = excalidrawSourceKeys(stale.excalidrawSource->json, stale);
            element = makeElement(std::move(stale));
        }
    }
    ASSERT_THAT(lineLabelMisses(board), testing::ElementsAre(testing::Gt(1000)));
    const WhiteboardLibrary library{1, {board}, board.id, true};
    const WhiteboardLibraryStore store("unused", clock, countingRandom());

    auto opened = store.decodeLibrary(encodeWhiteboardLibrary(library)->dump());
    ASSERT_TRUE(opened.has_value());
    EXPECT_THAT(lineLabelMisses(opened->boards.front()),
                testing::ElementsAre(testing::DoubleNear(0, 1e-9)));
    // Still as read: only the place differs from the document, not even the version.
    auto exported = exportExcalidrawDocument(opened->boards.front(), clock, countingRandom());
    ASSERT_TRUE(exported.has_value());
    EXPECT_THAT(excalidrawLosses(data, *exported), testing::IsEmpty());
}

TEST(ExcalidrawDocuments, ForeignElementsComeBackUnchanged)
{
    const std::filesystem::path path = documentsDir() / "30-fixture-image-crop.excalidraw";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no test document " << path;
    }
    const json original = json::parse(readFile(path));
    auto result = importExcalidrawDocument(readFile(path), "Images");
    ASSERT_TRUE(result.has_value());
    const auto exported = exportExcalidrawDocument(result->board);
    ASSERT_TRUE(exported.has_value());
    const json written = json::parse(*exported);
    std::size_t images = 0;
    for (const json &element : original["elements"]) {
        if (element["type"] != "image" || element.value("isDeleted", false)) {
            continue;
        }
        ++images;
        const auto same = std::find_if(written["elements"].begin(),
                                       written["elements"].end(),
                                       [&element](const json &candidate) {
                                           return candidate.value("id", "") == element["id"];
                                       });
        ASSERT_NE(same, written["elements"].end()) << element["id"];
        EXPECT_EQ(*same, element);
    }
    EXPECT_EQ(images, 7u);
}

TEST(ExcalidrawDocuments, ExportThenImportKeepsEverySupportedField)
{
    WhiteboardBoard board;
    board.name = "Trip";
    board.background = WhiteboardBackground::black();
    board.showsGrid = true;
    const std::vector<WhiteboardElement> elements = roundTripElements();
    for (const WhiteboardElement &e : elements) {
        board.elements.push_back(makeElement(e));
    }
    WhiteboardElement kept;
    kept.kind = WhiteboardElementKind::unsupported;
    kept.id = Uuid::generate(countingRandom());
    kept.opaqueExcalidrawJSON = R"({"id":"frame-1","type":"frame","x":3,"y":4})";
    board.elements.push_back(makeElement(kept));

    FakeClock clock(Timestamp{} + std::chrono::milliseconds(5000));
    auto data = exportExcalidrawDocument(board, clock, countingRandom());
    ASSERT_TRUE(data.has_value());
    auto result = importExcalidrawDocument(*data, "Trip", clock, countingRandom());
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->board.name, "Trip");
    EXPECT_EQ(result->board.background, board.background);
    EXPECT_TRUE(result->board.showsGrid);
    EXPECT_EQ(result->unsupportedElementCount, 1);
    ASSERT_EQ(result->board.elements.size(), elements.size() + 1);
    for (std::size_t i = 0; i < elements.size(); ++i) {
        SCOPED_TRACE(whiteboardElementKindText.text(elements[i].kind));
        const WhiteboardElement &back = *result->board.elements[i];
        WhiteboardElement expected = elements[i];
        if (expected.kind != WhiteboardElementKind::line
            && expected.kind != WhiteboardElementKind::arrow
            && expected.kind != WhiteboardElementKind::freedraw) {
            expected.points = back.points; // shapes and text write no points
        }
        // Beyond the fields, only the bound-element lists come back: the board's own order.
        if (back.excalidrawSource) {
            EXPECT_EQ(json::parse(back.excalidrawSource->json).begin().key(), "boundElements");
            expected.excalidrawSource = back.excalidrawSource;
        }
        EXPECT_EQ(back, expected);
    }
    const WhiteboardElement &placeholder = *result->board.elements.back();
    EXPECT_EQ(json::parse(*placeholder.opaqueExcalidrawJSON),
              json::parse(*kept.opaqueExcalidrawJSON));
}
