#include "whiteboard/model/model_json.h"

#include <cmath>
#include <limits>

namespace zentrel {
namespace {

// Spells the path only on the way back from a hit: every save walks every number of the library.
bool findNonFinite(const nlohmann::json &value, std::string &path)
{
    if (value.is_number_float()) {
        return !std::isfinite(value.get<double>());
    }
    if (value.is_object()) {
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (findNonFinite(it.value(), path)) {
                path = "." + it.key() + path;
                return true;
            }
        }
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (findNonFinite(value[i], path)) {
                path = "[" + std::to_string(i) + "]" + path;
                return true;
            }
        }
    }
    return false;
}

std::string withPath(const std::string &path, const std::string &detail)
{
    return path.empty() ? detail : path + ": " + detail;
}

} // namespace

std::string message(const ModelDecodeError &error)
{
    return withPath(error.path, error.detail);
}

std::string message(const ModelEncodeError &error)
{
    return withPath(error.path, error.detail);
}

std::string modelKeyPath(const std::string &path, std::string_view key)
{
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string modelIndexPath(const std::string &path, std::size_t index)
{
    return path + "[" + std::to_string(index) + "]";
}

std::string joinedModelPath(const std::string &prefix, const std::string &relative)
{
    if (relative.empty()) {
        return prefix;
    }
    if (relative.front() == '[') {
        return prefix + relative;
    }
    return modelKeyPath(prefix, relative);
}

std::optional<std::string> nonFiniteNumberPath(const nlohmann::json &value)
{
    std::string path;
    if (!findNonFinite(value, path)) {
        return std::nullopt;
    }
    return path;
}

std::optional<ModelEncodeError> nonFiniteNumberError(const nlohmann::json &value,
                                                     const std::string &prefix)
{
    const auto relative = nonFiniteNumberPath(value);
    if (!relative) {
        return std::nullopt;
    }
    // Reported paths start at a key or an index: ".boards[0]" is "boards[0]".
    std::string path = prefix + *relative;
    if (!path.empty() && path.front() == '.') {
        path.erase(0, 1);
    }
    return ModelEncodeError{std::move(path), "number is not finite"};
}

ModelEncoded checkedModelJson(nlohmann::json value)
{
    if (auto error = nonFiniteNumberError(value)) {
        return tl::unexpected(std::move(*error));
    }
    return value;
}

ModelDecoded<double> decodeModelDouble(const nlohmann::json &value, const std::string &path)
{
    if (!value.is_number()) {
        return tl::unexpected(ModelDecodeError{path, "expected a number"});
    }
    const double number = value.get<double>();
    if (!std::isfinite(number)) {
        return tl::unexpected(ModelDecodeError{path, "number is not finite"});
    }
    return number;
}

ModelDecoded<std::int64_t> decodeModelInteger(const nlohmann::json &value, const std::string &path)
{
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        return value.get<std::int64_t>();
    }
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return static_cast<std::int64_t>(number);
        }
    } else if (value.is_number_float()) {
        // A float holding a whole number is read as that integer, as other JSON readers do.
        const double number = value.get<double>();
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (std::isfinite(number) && std::trunc(number) == number && number >= -limit
            && number < limit) {
            return static_cast<std::int64_t>(number);
        }
    } else {
        return tl::unexpected(ModelDecodeError{path, "expected an integer"});
    }
    return tl::unexpected(ModelDecodeError{path, "integer out of range"});
}

ModelDecoded<int> decodeModelInt(const nlohmann::json &value, const std::string &path)
{
    auto number = decodeModelInteger(value, path);
    if (!number) {
        return tl::unexpected(number.error());
    }
    if (*number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max()) {
        return tl::unexpected(ModelDecodeError{path, "number out of range"});
    }
    return static_cast<int>(*number);
}

ModelDecoded<bool> decodeModelBool(const nlohmann::json &value, const std::string &path)
{
    if (!value.is_boolean()) {
        return tl::unexpected(ModelDecodeError{path, "expected true or false"});
    }
    return value.get<bool>();
}

ModelDecoded<std::string> decodeModelString(const nlohmann::json &value, const std::string &path)
{
    if (!value.is_string()) {
        return tl::unexpected(ModelDecodeError{path, "expected a string"});
    }
    return value.get<std::string>();
}

ModelDecoded<Uuid> decodeModelUuid(const nlohmann::json &value, const std::string &path)
{
    if (!value.is_string()) {
        return tl::unexpected(ModelDecodeError{path, "expected a UUID string"});
    }
    const std::optional<Uuid> uuid = Uuid::parse(value.get_ref<const std::string &>());
    if (!uuid) {
        return tl::unexpected(ModelDecodeError{path, "not a UUID"});
    }
    return *uuid;
}

ModelDecoded<Timestamp> decodeModelDate(const nlohmann::json &value, const std::string &path)
{
    if (!value.is_string()) {
        return tl::unexpected(ModelDecodeError{path, "expected an ISO 8601 date string"});
    }
    const std::optional<Timestamp> date = parseIsoDate(value.get_ref<const std::string &>());
    if (!date) {
        return tl::unexpected(ModelDecodeError{path, "not an ISO 8601 date"});
    }
    return *date;
}

ModelObjectReader::ModelObjectReader(const nlohmann::json &value, std::string path)
    : m_value(value)
    , m_path(std::move(path))
{
    if (!m_value.is_object()) {
        m_error = ModelDecodeError{m_path, "expected an object"};
    }
}

const nlohmann::json *ModelObjectReader::fieldFor(std::string_view key, bool allowNull) const
{
    if (m_error) {
        return nullptr;
    }
    const auto found = m_value.find(std::string(key));
    if (found == m_value.end() || (found->is_null() && !allowNull)) {
        return nullptr;
    }
    return &*found;
}

void ModelObjectReader::fail(std::string path, std::string detail)
{
    if (!m_error) {
        m_error = ModelDecodeError{std::move(path), std::move(detail)};
    }
}

} // namespace zentrel
