#include "common/json/limited_json.h"

#include "common/json/json_events.h"

namespace zentrel {
namespace {

using json = nlohmann::json;

// Builds the value like the library's own DOM builder, but stops the parse as soon as arrays and
// objects nest deeper than allowed.
class DepthLimitedBuilder
{
public:
    DepthLimitedBuilder(json &root, std::size_t maxDepth)
        : m_builder(root, false)
        , m_maxDepth(maxDepth)
    {}

    bool null() { return m_builder.null(); }

    bool boolean(bool value) { return m_builder.boolean(value); }

    bool number_integer(json::number_integer_t value) { return m_builder.number_integer(value); }

    bool number_unsigned(json::number_unsigned_t value) { return m_builder.number_unsigned(value); }

    bool number_float(json::number_float_t value, const std::string &text)
    {
        return m_builder.number_float(value, text);
    }

    bool string(std::string &value) { return m_builder.string(value); }

    bool binary(json::binary_t &value) { return m_builder.binary(value); }

    bool key(std::string &value) { return m_builder.key(value); }

    bool start_object(std::size_t size) { return enter() && m_builder.start_object(size); }

    bool start_array(std::size_t size) { return enter() && m_builder.start_array(size); }

    bool end_object()
    {
        --m_depth;
        return m_builder.end_object();
    }

    bool end_array()
    {
        --m_depth;
        return m_builder.end_array();
    }

    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &error)
    {
        m_parseError = error.what();
        return false;
    }

    bool isTooDeep() const { return m_tooDeep; }

    const std::string &parseError() const { return m_parseError; }

private:
    bool enter()
    {
        if (++m_depth > m_maxDepth) {
            m_tooDeep = true;
            return false;
        }
        return true;
    }

    nlohmann::detail::json_sax_dom_parser<json> m_builder;
    std::size_t m_maxDepth;
    std::size_t m_depth = 0;
    bool m_tooDeep = false;
    std::string m_parseError;
};

JsonParseError tooDeep(std::size_t maxDepth)
{
    return {JsonParseError::Kind::nestedTooDeeply,
            "more than " + std::to_string(maxDepth) + " levels"};
}

} // namespace

tl::expected<json, JsonParseError> parseLimitedJson(std::string_view data, std::size_t maxDepth)
{
    json root;
    DepthLimitedBuilder builder(root, maxDepth);
    if (readJsonEvents(data, builder)) {
        return root;
    }
    if (builder.isTooDeep()) {
        return tl::unexpected(tooDeep(maxDepth));
    }
    return tl::unexpected(describeJsonFailure(data, maxDepth));
}

JsonParseError describeJsonFailure(std::string_view data, std::size_t maxDepth)
{
    json root;
    DepthLimitedBuilder builder(root, maxDepth);
    json::sax_parse(data, &builder);
    if (builder.isTooDeep()) {
        return tooDeep(maxDepth);
    }
    return {JsonParseError::Kind::malformed, builder.parseError()};
}

} // namespace zentrel
