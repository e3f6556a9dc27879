#include "sessions/session_document.h"

#include "common/json/json_file.h"

namespace zentrel {
namespace {

using Json = nlohmann::json;

tl::unexpected<SessionDecodeError> failure(std::string detail)
{
    return tl::unexpected(SessionDecodeError{std::move(detail)});
}

// Reads one required or optional field, naming the key that is wrong.
class FieldReader
{
public:
    explicit FieldReader(const Json &object)
        : m_object(object)
    {}

    std::optional<std::string> error() const { return m_error; }

    const Json *find(const char *key, bool required)
    {
        const auto found = m_object.find(key);
        if (found == m_object.end() || (!required && found->is_null())) {
            if (required) {
                fail(std::string("the key \"") + key + "\" is missing");
            }
            return nullptr;
        }
        return &*found;
    }

    std::optional<std::string> text(const char *key)
    {
        const Json *value = find(key, true);
        if (!value) {
            return std::nullopt;
        }
        if (!value->is_string()) {
            fail(std::string("\"") + key + "\" is not text");
            return std::nullopt;
        }
        return value->get<std::string>();
    }

    std::optional<std::int64_t> integer(const char *key, bool required = true)
    {
        const Json *value = find(key, required);
        if (!value) {
            return std::nullopt;
        }
        if (!value->is_number_integer()) {
            fail(std::string("\"") + key + "\" is not a whole number");
            return std::nullopt;
        }
        return value->get<std::int64_t>();
    }

    std::optional<Uuid> uuid(const char *key)
    {
        const auto value = text(key);
        if (!value) {
            return std::nullopt;
        }
        auto parsed = Uuid::parse(*value);
        if (!parsed) {
            fail(std::string("\"") + key + "\" is not an identifier");
        }
        return parsed;
    }

    // Whole seconds only: a date with a fraction was never written by the program.
    std::optional<Timestamp> date(const char *key, bool required = true)
    {
        const Json *value = find(key, required);
        if (!value) {
            return std::nullopt;
        }
        std::optional<Timestamp> parsed;
        if (value->is_string()) {
            const std::string &text = value->get_ref<const std::string &>();
            if (text.size() < 20 || text[19] != '.') {
                parsed = parseIsoDate(text);
            }
        }
        if (!parsed) {
            fail(std::string("\"") + key + "\" is not a date");
        }
        return parsed;
    }

private:
    void fail(std::string detail)
    {
        if (!m_error) {
            m_error = std::move(detail);
        }
    }

    const Json &m_object;
    std::optional<std::string> m_error;
};

tl::expected<SessionFrame, SessionDecodeError> decodeFrame(const Json &json)
{
    if (!json.is_object()) {
        return failure("a frame is not an object");
    }
    FieldReader reader(json);
    SessionFrame frame;
    const auto id = reader.uuid("id");
    const auto source = reader.text("source");
    const auto capturedAt = reader.date("capturedAt");
    const auto assetPath = reader.text("assetPath");
    const auto width = reader.integer("pixelWidth");
    const auto height = reader.integer("pixelHeight");
    if (auto error = reader.error()) {
        return failure("frame: " + *error);
    }
    const auto parsedSource = sessionFrameSourceText.parse(*source);
    if (!parsedSource) {
        return failure("frame: \"" + *source + "\" is not a frame source");
    }
    return SessionFrame{*id, *parsedSource, *capturedAt, *assetPath, *width, *height};
}

// The fields both manifest forms share; "updatedAt" is read by the caller.
tl::expected<SessionDocument, SessionDecodeError> decodeCommonFields(FieldReader &reader)
{
    SessionDocument document;
    const auto id = reader.uuid("id");
    const auto title = reader.text("title");
    const auto createdAt = reader.date("createdAt");
    const Json *frames = reader.find("frames", true);
    if (auto error = reader.error()) {
        return failure(*error);
    }
    if (!frames->is_array()) {
        return failure("\"frames\" is not a list");
    }
    document.id = *id;
    document.title = *title;
    document.createdAt = *createdAt;
    document.updatedAt = *createdAt;
    for (const Json &entry : *frames) {
        auto frame = decodeFrame(entry);
        if (!frame) {
            return tl::unexpected(frame.error());
        }
        document.frames.push_back(std::move(*frame));
    }
    return document;
}

Json encodeFrame(const SessionFrame &frame)
{
    return Json{{"id", frame.id.text()},
                {"source", std::string(sessionFrameSourceText.text(frame.source))},
                {"capturedAt", formatIsoDate(frame.capturedAt)},
                {"assetPath", frame.assetPath},
                {"pixelWidth", frame.pixelWidth},
                {"pixelHeight", frame.pixelHeight}};
}

// Outside strings JSON has no "/", so escaping every one in the text escapes exactly those in
// strings.
std::string withEscapedSlashes(const std::string &text)
{
    std::string escaped;
    escaped.reserve(text.size() + 16);
    for (char character : text) {
        if (character == '/') {
            escaped.push_back('\\');
        }
        escaped.push_back(character);
    }
    return escaped;
}

} // namespace

std::string encodeSessionDocument(const SessionDocument &document)
{
    Json frames = Json::array();
    for (const SessionFrame &frame : document.frames) {
        frames.push_back(encodeFrame(frame));
    }
    const Json json{{"version", document.version},
                    {"id", document.id.text()},
                    {"title", document.title},
                    {"createdAt", formatIsoDate(document.createdAt)},
                    {"updatedAt", formatIsoDate(document.updatedAt)},
                    {"frames", std::move(frames)}};
    return withEscapedSlashes(prettyJson(json));
}

tl::expected<SessionDocument, SessionDecodeError> decodeSessionDocument(const nlohmann::json &json)
{
    if (!json.is_object()) {
        return failure("the manifest is not an object");
    }
    FieldReader reader(json);
    const auto version = reader.integer("version");
    auto document = decodeCommonFields(reader);
    if (!document) {
        return document;
    }
    const auto updatedAt = reader.date("updatedAt");
    if (auto error = reader.error()) {
        return failure(*error);
    }
    document->version = *version;
    document->updatedAt = *updatedAt;
    return document;
}

tl::expected<LegacySessionDocument, SessionDecodeError>
decodeLegacySessionDocument(const nlohmann::json &json)
{
    if (!json.is_object()) {
        return failure("the manifest is not an object");
    }
    FieldReader reader(json);
    const auto version = reader.integer("version", false);
    auto document = decodeCommonFields(reader);
    if (!document) {
        return tl::unexpected(document.error());
    }
    const auto updatedAt = reader.date("updatedAt", false);
    if (auto error = reader.error()) {
        return failure(*error);
    }
    if (updatedAt) {
        document->updatedAt = *updatedAt;
    }
    document->version = version.value_or(0);
    return LegacySessionDocument{version, std::move(*document)};
}

tl::expected<std::optional<std::int64_t>, SessionDecodeError>
decodeSessionVersion(const nlohmann::json &json)
{
    if (!json.is_object()) {
        return failure("the manifest is not an object");
    }
    FieldReader reader(json);
    const auto version = reader.integer("version", false);
    if (auto error = reader.error()) {
        return failure(*error);
    }
    return version;
}

std::string encodeActiveSession(const Uuid &id)
{
    return prettyJson(Json{{"id", id.text()}});
}

tl::expected<Uuid, SessionDecodeError> decodeActiveSession(const nlohmann::json &json)
{
    if (!json.is_object()) {
        return failure("the active session is not an object");
    }
    FieldReader reader(json);
    const auto id = reader.uuid("id");
    if (auto error = reader.error()) {
        return failure(*error);
    }
    return *id;
}

} // namespace zentrel
