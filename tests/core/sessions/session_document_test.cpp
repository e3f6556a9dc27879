#include "sessions/session_document.h"

#include <gtest/gtest.h>

namespace zentrel {
namespace {

using namespace std::chrono_literals;

const Uuid sessionID = *Uuid::parse("11111111-2222-4333-8444-555555555555");
const Uuid frameID = *Uuid::parse("AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE");
const Timestamp created = Timestamp{} + 1767225600s; // 2026-01-01T00:00:00Z

SessionDocument sampleDocument()
{
    SessionDocument document;
    document.id = sessionID;
    document.title = "Lecture \"one\"/two";
    document.createdAt = created;
    document.updatedAt = created + 90s;
    document.frames.push_back(SessionFrame{frameID,
                                           SessionFrameSource::whiteboard,
                                           created + 90s,
                                           "Frames/" + frameID.text() + ".png",
                                           1920,
                                           1080});
    return document;
}

TEST(SessionDocument, EncodesSortedKeysEscapedSlashesAndWholeSecondDates)
{
    const std::string expected = R"({
  "createdAt": "2026-01-01T00:00:00Z",
  "frames": [
    {
      "assetPath": "Frames\/AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE.png",
      "capturedAt": "2026-01-01T00:01:30Z",
      "id": "AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE",
      "pixelHeight": 1080,
      "pixelWidth": 1920,
      "source": "whiteboard"
    }
  ],
  "id": "11111111-2222-4333-8444-555555555555",
  "title": "Lecture \"one\"\/two",
  "updatedAt": "2026-01-01T00:01:30Z",
  "version": 1
}
)";
    const std::string text = encodeSessionDocument(sampleDocument());
    EXPECT_EQ(text, expected);
    const auto decoded = decodeSessionDocument(nlohmann::json::parse(text));
    ASSERT_TRUE(decoded.has_value()) << decoded.error().detail;
    EXPECT_EQ(*decoded, sampleDocument());
}

TEST(SessionDocument, RefusesMissingKeysUnknownSourcesAndFractionalDates)
{
    const nlohmann::json good = nlohmann::json::parse(encodeSessionDocument(sampleDocument()));
    const auto refuses = [](nlohmann::json json, const std::string &why) {
        EXPECT_FALSE(decodeSessionDocument(json).has_value()) << why;
    };
    for (const char *key : {"version", "id", "title", "createdAt", "updatedAt", "frames"}) {
        nlohmann::json missing = good;
        missing.erase(key);
        refuses(missing, key);
    }
    nlohmann::json source = good;
    source["frames"][0]["source"] = "zooming";
    refuses(source, "source");
    nlohmann::json fraction = good;
    fraction["createdAt"] = "2026-01-01T00:00:00.5Z";
    refuses(fraction, "fraction");
    nlohmann::json width = good;
    width["frames"][0]["pixelWidth"] = "wide";
    refuses(width, "width");
    refuses(nlohmann::json::array(), "not an object");
}

TEST(SessionDocument, LegacyFormTakesCreatedAtForAMissingUpdatedAt)
{
    nlohmann::json legacy = nlohmann::json::parse(encodeSessionDocument(sampleDocument()));
    legacy.erase("version");
    legacy.erase("updatedAt");
    const auto decoded = decodeLegacySessionDocument(legacy);
    ASSERT_TRUE(decoded.has_value()) << decoded.error().detail;
    EXPECT_FALSE(decoded->version.has_value());
    EXPECT_EQ(decoded->document.updatedAt, created);

    EXPECT_FALSE(decodeSessionVersion(nlohmann::json{{"version", "1"}}).has_value());
    EXPECT_EQ(decodeSessionVersion(nlohmann::json::object()).value(), std::nullopt);
}

} // namespace
} // namespace zentrel
