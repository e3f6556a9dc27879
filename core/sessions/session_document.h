#pragma once

#include "common/enum_text.h"
#include "common/iso_date.h"
#include "common/uuid.h"

#include <nlohmann/json.hpp>
#include <tl/expected.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrel {

// The feature a session frame was saved from.
enum class SessionFrameSource {
    drawing,
    freeze,
    whiteboard,
};

inline constexpr EnumText<SessionFrameSource, 3> sessionFrameSourceText{{{
    {SessionFrameSource::drawing, "drawing"},
    {SessionFrameSource::freeze, "freeze"},
    {SessionFrameSource::whiteboard, "whiteboard"},
}}};

struct SessionFrame
{
    Uuid id;
    SessionFrameSource source = SessionFrameSource::drawing;
    Timestamp capturedAt;
    // Relative to the session folder: "Frames/<id>.png".
    std::string assetPath;
    std::int64_t pixelWidth = 1;
    std::int64_t pixelHeight = 1;

    friend bool operator==(const SessionFrame &, const SessionFrame &) = default;
};

// A session's manifest, "Session.json" in its folder.
struct SessionDocument
{
    std::int64_t version = 1;
    Uuid id;
    std::string title;
    Timestamp createdAt;
    Timestamp updatedAt;
    std::vector<SessionFrame> frames;

    friend bool operator==(const SessionDocument &, const SessionDocument &) = default;
};

// The version a manifest is the current format of.
inline constexpr std::int64_t currentSessionVersion = 1;

// Why a manifest's JSON is not a session: the first key or value that is wrong.
struct SessionDecodeError
{
    std::string detail;
};

// The manifest's text: pretty, sorted keys, whole-second UTC dates, and every "/" in a string
// escaped as "\/", as manifests have always been written.
std::string encodeSessionDocument(const SessionDocument &document);

tl::expected<SessionDocument, SessionDecodeError> decodeSessionDocument(const nlohmann::json &json);

// The older form: no or a zero version, and "updatedAt" optional (it becomes "createdAt").
// A legacy manifest with another version is refused with nullopt in `version`.
struct LegacySessionDocument
{
    std::optional<std::int64_t> version;
    SessionDocument document;
};

tl::expected<LegacySessionDocument, SessionDecodeError>
decodeLegacySessionDocument(const nlohmann::json &json);

// "version" of any manifest, absent when the key is; a non-integer version does not decode.
tl::expected<std::optional<std::int64_t>, SessionDecodeError>
decodeSessionVersion(const nlohmann::json &json);

// The active-session pointer file's content.
std::string encodeActiveSession(const Uuid &id);
tl::expected<Uuid, SessionDecodeError> decodeActiveSession(const nlohmann::json &json);

} // namespace zentrel
