#include "excalidraw_losses.h"
#include "excalidraw_test_support.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace zentrel;
using nlohmann::json;

namespace {

// Documents of other tools, and those made for Zentrel's end-to-end scenarios.
std::vector<std::filesystem::path> realDocuments()
{
    std::vector<std::filesystem::path> paths;
    for (const std::filesystem::path &folder :
         {std::filesystem::path(ZENTREL_TESTDATA_DIR) / "excalidraw",
          std::filesystem::path(ZENTREL_FIXTURE_DIR) / "whiteboard"}) {
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator(folder, ec)) {
            if (entry.path().extension() == ".excalidraw") {
                paths.push_back(entry.path());
            }
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string exportedAgain(const std::string &data)
{
    FakeClock clock;
    auto imported = importExcalidrawDocument(data, "Trip", clock, countingRandom());
    EXPECT_TRUE(imported.has_value());
    if (!imported) {
        return {};
    }
    auto exported = exportExcalidrawDocument(imported->board, clock, countingRandom());
    EXPECT_TRUE(exported.has_value());
    return exported.value_or("");
}

} // namespace

TEST(ExcalidrawRoundTrip, EveryKeyOfEveryRealDocumentComesBack)
{
    const std::vector<std::filesystem::path> documents = realDocuments();
    if (documents.empty()) {
        GTEST_SKIP() << "no test documents";
    }
    for (const std::filesystem::path &path : documents) {
        const std::string name = path.filename().string();
        const std::string data = readFile(path);
        EXPECT_THAT(excalidrawLosses(data, exportedAgain(data)), testing::IsEmpty()) << name;
    }
}

TEST(ExcalidrawRoundTrip, ASecondTripWritesTheSameDocument)
{
    for (const std::filesystem::path &path : realDocuments()) {
        const std::string once = exportedAgain(readFile(path));
        EXPECT_EQ(json::parse(exportedAgain(once)), json::parse(once)) << path.filename();
    }
}
