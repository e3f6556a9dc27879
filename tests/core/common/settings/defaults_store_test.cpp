#include "common/settings/defaults_store.h"

#include "common/settings/json_file_defaults_store.h"
#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_clock.h"
#include "fakes/temporary_directory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using namespace zentrel;
using nlohmann::json;
namespace fs = std::filesystem;

namespace {

std::string contentsOf(const fs::path &path)
{
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// A store holding `stored` under "k", for the coercion tables.
MemoryDefaultsStore storeWith(const json &stored)
{
    MemoryDefaultsStore store;
    store.setValue("k", stored);
    return store;
}

const Timestamp someTime{std::chrono::seconds{1797713446}};

} // namespace

TEST(MemoryDefaultsStore, ReturnsRegisteredDefaultsUntilAValueIsStored)
{
    MemoryDefaultsStore store;
    store.registerDefaults({{"a", 1}, {"b", "text"}});
    store.registerDefaults({{"c", true}});
    EXPECT_EQ(store.value("a"), json(1));
    EXPECT_EQ(store.value("c"), json(true));
    EXPECT_EQ(store.value("missing"), std::nullopt);
    EXPECT_EQ(store.storedValue("a"), std::nullopt);
    store.setValue("a", 2);
    EXPECT_EQ(store.value("a"), json(2));
    EXPECT_EQ(store.storedValues(), json({{"a", 2}}));
}

TEST(DefaultsStoreRead, CoercesToBool)
{
    for (const auto &stored : json::array({true, 2, -1, 0.5, "YES", "true", "1", "42 apples"})) {
        EXPECT_TRUE(storeWith(stored).boolValue("k")) << stored;
    }
    for (const auto &stored :
         json::array({false, 0, 0.0, "0", "NO", "", "apple", json::object()})) {
        EXPECT_FALSE(storeWith(stored).boolValue("k")) << stored;
    }
    EXPECT_FALSE(MemoryDefaultsStore().boolValue("k"));
}

TEST(DefaultsStoreRead, CoercesToNumbers)
{
    const std::pair<json, std::int64_t> integers[] = {
        {42, 42}, {3.9, 3}, {-3.9, -3}, {"12abc", 12}, {"abc", 0}, {json::array({5}), 0}};
    for (const auto &[stored, expected] : integers) {
        EXPECT_EQ(storeWith(stored).integerValue("k"), expected) << stored;
    }
    const std::pair<json, double> doubles[] = {
        {2.5, 2.5}, {-4, -4.0}, {"2.5kg", 2.5}, {"abc", 0.0}, {"", 0.0}, {json::object(), 0.0}};
    for (const auto &[stored, expected] : doubles) {
        EXPECT_EQ(storeWith(stored).doubleValue("k"), expected) << stored;
    }
    EXPECT_EQ(MemoryDefaultsStore().integerValue("k"), 0);
    EXPECT_EQ(MemoryDefaultsStore().doubleValue("k"), 0.0);
    EXPECT_TRUE(std::isnan(storeWith("nan").doubleValue("k")));
    EXPECT_EQ(storeWith("inf").doubleValue("k"), INFINITY);
}

TEST(DefaultsStoreRead, CoercesToTextAndDictionaries)
{
    const std::pair<json, std::optional<std::string>> texts[] = {
        {"abc", "abc"}, {42, "42"}, {2.5, "2.5"}, {true, "1"}, {false, "0"}, {json::array(), {}}};
    for (const auto &[stored, expected] : texts) {
        EXPECT_EQ(storeWith(stored).stringValue("k"), expected) << stored;
    }
    EXPECT_EQ(MemoryDefaultsStore().stringValue("k"), std::nullopt);

    const json object{{"drawing", "hold"}};
    EXPECT_EQ(storeWith(object).dictionaryValue("k"), object);
    for (const auto &stored : json::array({"x", 1, json::array({1, 2})})) {
        EXPECT_EQ(storeWith(stored).dictionaryValue("k"), std::nullopt) << stored;
    }
}

TEST(JsonFileDefaultsStore, WritesEveryChangeWithTypesKeptAndReopensEqual)
{
    TemporaryDirectory folder;
    FakeClock clock(someTime);
    const auto file = folder / "config" / "settings.json";
    const json values{{"drawing.lineWidth", 6.0},
                      {"drawing.roughnessLevel", 2},
                      {"app.enabled", true},
                      {"controls.activationStyles", {{"zooming", "hold"}}}};
    {
        auto store = JsonFileDefaultsStore::open(file, clock);
        ASSERT_NE(store, nullptr);
        store->registerDefaults({{"registered.only", 1}, {"app.enabled", false}});
        for (const auto &[key, value] : values.items()) {
            store->setValue(key, value);
            EXPECT_TRUE(json::parse(contentsOf(file)).contains(key)) << key;
        }
    }
    const auto text = contentsOf(file);
    EXPECT_EQ(json::parse(text), values);
    EXPECT_EQ(text.find("registered.only"), std::string::npos);
    EXPECT_NE(text.find("\n  \"app.enabled\": true"), std::string::npos);
    EXPECT_NE(text.find("\"drawing.lineWidth\": 6.0"), std::string::npos);
    EXPECT_LT(text.find("\"drawing.lineWidth\""), text.find("\"drawing.roughnessLevel\""));

    auto reopened = JsonFileDefaultsStore::open(file, clock);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->storedValues(), values);
    EXPECT_TRUE(reopened->storedValue("drawing.lineWidth")->is_number_float());
    EXPECT_TRUE(reopened->storedValue("drawing.roughnessLevel")->is_number_integer());
}

TEST(JsonFileDefaultsStore, LeavesTheFileAloneWhenNothingChanges)
{
    TemporaryDirectory folder;
    FakeClock clock(someTime);
    const auto file = folder / "settings.json";
    auto store = JsonFileDefaultsStore::open(file, clock);
    ASSERT_NE(store, nullptr);
    store->setValue("drawing.lineWidth", 6.0);
    // A stand-in written behind the store's back shows whether the store writes again.
    std::ofstream(file) << "{\"marker\": 1}";
    store->setValue("drawing.lineWidth", 6.0);
    store->removeValue("never.stored");
    EXPECT_EQ(contentsOf(file), "{\"marker\": 1}");

    store->setValue("drawing.lineWidth", 7.0);
    EXPECT_EQ(json::parse(contentsOf(file)), (json{{"drawing.lineWidth", 7.0}}));
}

TEST(JsonFileDefaultsStore, SetsACorruptFileAsideAndStartsEmpty)
{
    for (const std::string contents : {"not json", "", "{\"a\": ", "[1, 2]", "\"text\""}) {
        TemporaryDirectory folder;
        FakeClock clock(someTime);
        std::ofstream(folder / "settings.json") << contents;
        auto store = JsonFileDefaultsStore::open(folder / "settings.json", clock);
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(store->storedValues(), json::object()) << contents;
        EXPECT_EQ(contentsOf(folder / "settings.json.corrupt-1797713446"), contents);
        EXPECT_FALSE(fs::exists(folder / "settings.json"));
    }
}

TEST(JsonFileDefaultsStore, SetsAsideAFileNestedTooDeeplyAndStillSaves)
{
    TemporaryDirectory folder;
    FakeClock clock(someTime);
    std::string deep = "{\"k\": ";
    for (int i = 0; i < 50'000; ++i) {
        deep += "[";
    }
    deep += std::string(50'000, ']') + "}";
    std::ofstream(folder / "settings.json") << deep;

    auto store = JsonFileDefaultsStore::open(folder / "settings.json", clock);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->storedValues(), json::object());
    EXPECT_EQ(contentsOf(folder / "settings.json.corrupt-1797713446"), deep);
    store->setValue("drawing.lineWidth", 7.0);
    EXPECT_EQ(json::parse(contentsOf(folder / "settings.json")),
              (json{{"drawing.lineWidth", 7.0}}));
}

TEST(JsonFileDefaultsStore, KeepsEverySetAsideCopyWithinOneSecond)
{
    TemporaryDirectory folder;
    FakeClock clock(someTime);
    const auto file = folder / "settings.json";
    std::ofstream(file) << "first";
    ASSERT_NE(JsonFileDefaultsStore::open(file, clock), nullptr);
    clock.advance(std::chrono::milliseconds{300});
    std::ofstream(file) << "second";
    ASSERT_NE(JsonFileDefaultsStore::open(file, clock), nullptr);

    EXPECT_EQ(contentsOf(folder / "settings.json.corrupt-1797713446"), "first");
    std::multiset<std::string> setAside;
    for (const auto &entry : fs::directory_iterator(folder.path())) {
        setAside.insert(contentsOf(entry.path()));
    }
    EXPECT_EQ(setAside, (std::multiset<std::string>{"first", "second"}));
}

TEST(JsonFileDefaultsStore, ReportsAFailedWriteAndKeepsTheValue)
{
    TemporaryDirectory folder;
    FakeClock clock(someTime);
    auto store = JsonFileDefaultsStore::open(folder / "sub" / "settings.json", clock);
    ASSERT_NE(store, nullptr);
    // The folder the file belongs in turns out to be a regular file.
    std::ofstream(folder / "sub") << "x";

    std::vector<FileError> failures;
    auto connection =
        store->writeFailed.connect([&](const FileError &e) { failures.push_back(e); });
    store->setValue("drawing.lineWidth", 9.0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].kind, FileError::Kind::writeFailed);
    EXPECT_EQ(store->doubleValue("drawing.lineWidth"), 9.0);
}
