#include "excalidraw_test_support.h"
#include "whiteboard/model/excalidraw/excalidraw_export.h"
#include "whiteboard/model/excalidraw/excalidraw_import.h"
#include "whiteboard/model/excalidraw/excalidraw_members.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace zentrel;
using nlohmann::json;

namespace {

std::vector<std::filesystem::path> realDocuments()
{
    std::vector<std::filesystem::path> paths;
    const std::filesystem::path folder = std::filesystem::path(ZENTREL_TESTDATA_DIR) / "excalidraw";
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().extension() == ".excalidraw") {
            paths.push_back(entry.path());
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

std::string_view member(std::string_view objectText, std::string_view key)
{
    for (const ExcalidrawRawMember &found : excalidrawRawMembers(objectText)) {
        if (found.key == key) {
            return found.value;
        }
    }
    return {};
}

// Every key of every element read comes back with the same value. Elements keep their order, the
// deleted ones left out.
void expectElementsKept(const std::string &name, const json &original, const json &written)
{
    std::size_t index = 0;
    for (const json &element : original["elements"]) {
        if (element.value("isDeleted", false)) {
            continue;
        }
        const json id = element.value("id", json());
        if (index >= written["elements"].size()) {
            ADD_FAILURE() << name << ": element " << id << " is lost";
            continue;
        }
        const json &same = written["elements"][index++];
        for (auto it = element.begin(); it != element.end(); ++it) {
            if (!same.contains(it.key())) {
                ADD_FAILURE() << name << ": element " << id << " lost \"" << it.key() << "\"";
            } else if (same[it.key()] != it.value()) {
                ADD_FAILURE() << name << ": element " << id << " changed \"" << it.key()
                              << "\" from " << it.value().dump() << " to " << same[it.key()].dump();
            }
        }
    }
    EXPECT_EQ(written["elements"].size(), index) << name;
}

// A kept image's file entry comes back in the very bytes it was read in.
void expectFilesKept(const std::string &name, const std::string &data, const std::string &again)
{
    const json original = json::parse(data);
    const json written = json::parse(again);
    std::size_t images = 0;
    for (const json &element : original["elements"]) {
        const json fileId = element.value("fileId", json());
        if (element.value("isDeleted", false) || !fileId.is_string()
            || !original["files"].contains(fileId.get<std::string>())) {
            continue;
        }
        ++images;
        const std::string id = fileId.get<std::string>();
        const std::string_view entry = member(member(data, "files"), id);
        EXPECT_EQ(written["files"][id], original["files"][id]) << name << ": file " << id;
        EXPECT_NE(again.find(entry), std::string::npos) << name << ": file " << id;
        EXPECT_EQ(member(member(again, "files"), id), entry) << name << ": file " << id;
    }
    if (images == 0) {
        EXPECT_EQ(written["files"], json::object()) << name;
    }
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
        const std::string again = exportedAgain(data);
        const json written = json::parse(again, nullptr, false);
        ASSERT_TRUE(written.is_object()) << name;
        expectElementsKept(name, json::parse(data), written);
        expectFilesKept(name, data, again);
    }
}

TEST(ExcalidrawRoundTrip, ASecondTripWritesTheSameDocument)
{
    for (const std::filesystem::path &path : realDocuments()) {
        const std::string once = exportedAgain(readFile(path));
        EXPECT_EQ(json::parse(exportedAgain(once)), json::parse(once)) << path.filename();
    }
}
