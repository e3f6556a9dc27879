#pragma once

#include "common/enum_text.h"
#include "common/iso_date.h"
#include "common/uuid.h"

#include <nlohmann/json.hpp>
#include <tl/expected.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zentrel {

// Why a model value could not be read: where (as "boards[0].elements[2].kind") and what.
struct ModelDecodeError
{
    std::string path;
    std::string detail;

    friend bool operator==(const ModelDecodeError &, const ModelDecodeError &) = default;
};

// Why a model value could not be written: a non-finite number at `path`.
struct ModelEncodeError
{
    std::string path;
    std::string detail;

    friend bool operator==(const ModelEncodeError &, const ModelEncodeError &) = default;
};

std::string message(const ModelDecodeError &error);
std::string message(const ModelEncodeError &error);

template <typename T>
using ModelDecoded = tl::expected<T, ModelDecodeError>;
using ModelEncoded = tl::expected<nlohmann::json, ModelEncodeError>;

std::string modelKeyPath(const std::string &path, std::string_view key);
std::string modelIndexPath(const std::string &path, std::size_t index);
// The path `relative`, which a decoder given an empty path reported, seen from `prefix`: paths
// are spelled only for an error, as a large library has millions of fields.
std::string joinedModelPath(const std::string &prefix, const std::string &relative);

// JSON can hold no infinity or NaN, so a model value holding one is refused whole.
ModelEncoded checkedModelJson(nlohmann::json value);

// Where `value` holds an infinite or NaN number, as ".key[2].other"; none when every number is
// finite.
std::optional<std::string> nonFiniteNumberPath(const nlohmann::json &value);

// The error checkedModelJson gives for `value`, its path behind `prefix`, the place of `value`
// in a larger one spelt as nonFiniteNumberPath spells it (".boards[1]"); none when all is finite.
std::optional<ModelEncodeError> nonFiniteNumberError(const nlohmann::json &value,
                                                     const std::string &prefix = {});

// Decoders of single values; each checks the JSON type first and never throws. Numbers that
// overflow to infinity are refused.
ModelDecoded<double> decodeModelDouble(const nlohmann::json &value, const std::string &path);
ModelDecoded<std::int64_t> decodeModelInteger(const nlohmann::json &value, const std::string &path);
// An integer that also fits an int.
ModelDecoded<int> decodeModelInt(const nlohmann::json &value, const std::string &path);
ModelDecoded<bool> decodeModelBool(const nlohmann::json &value, const std::string &path);
ModelDecoded<std::string> decodeModelString(const nlohmann::json &value, const std::string &path);
ModelDecoded<Uuid> decodeModelUuid(const nlohmann::json &value, const std::string &path);
ModelDecoded<Timestamp> decodeModelDate(const nlohmann::json &value, const std::string &path);

// A decoder of a stored enum through its one text table; unlisted words are errors.
template <typename Enum, std::size_t Count>
auto modelEnumDecoder(const EnumText<Enum, Count> &table)
{
    return [&table](const nlohmann::json &value, const std::string &path) -> ModelDecoded<Enum> {
        if (!value.is_string()) {
            return tl::unexpected(ModelDecodeError{path, "expected a string"});
        }
        const std::optional<Enum> parsed = table.parse(value.get_ref<const std::string &>());
        if (!parsed) {
            return tl::unexpected(ModelDecodeError{path, "unknown value"});
        }
        return *parsed;
    };
}

// A decoder of a JSON array whose items `decodeItem` reads; the first bad item fails it.
template <typename DecodeItem>
auto modelArrayDecoder(DecodeItem decodeItem)
{
    return [decodeItem](const nlohmann::json &value, const std::string &path) {
        using Item = typename decltype(decodeItem(value, path))::value_type;
        using Result = ModelDecoded<std::vector<Item>>;
        if (!value.is_array()) {
            return Result(tl::unexpected(ModelDecodeError{path, "expected an array"}));
        }
        std::vector<Item> items;
        items.reserve(value.size());
        for (std::size_t i = 0; i < value.size(); ++i) {
            auto item = decodeItem(value[i], std::string{});
            if (!item) {
                ModelDecodeError error = std::move(item.error());
                error.path = joinedModelPath(modelIndexPath(path, i), error.path);
                return Result(tl::unexpected(std::move(error)));
            }
            items.push_back(std::move(*item));
        }
        return Result(std::move(items));
    };
}

// Reads the fields of one JSON object, keeping the first error so a decoder can list its fields
// plainly and check once at the end.
class ModelObjectReader
{
public:
    ModelObjectReader(const nlohmann::json &value, std::string path);

    // A missing or null key is an error.
    template <typename T, typename Decode>
    void readRequired(std::string_view key, T &out, Decode decode)
    {
        const nlohmann::json *field = fieldFor(key);
        if (field == nullptr) {
            fail(modelKeyPath(m_path, key), "missing");
            return;
        }
        take(decode(*field, std::string{}), key, out);
    }

    // As readRequired, but null is handed to `decode` as a value of its own.
    template <typename T, typename Decode>
    void readRequiredOrNull(std::string_view key, T &out, Decode decode)
    {
        const nlohmann::json *field = fieldFor(key, true);
        if (field == nullptr) {
            fail(modelKeyPath(m_path, key), "missing");
            return;
        }
        take(decode(*field, std::string{}), key, out);
    }

    // A missing or null key leaves the field absent; nothing is put in its place.
    template <typename T, typename Decode>
    void readOptional(std::string_view key, std::optional<T> &out, Decode decode)
    {
        out.reset();
        if (const nlohmann::json *field = fieldFor(key)) {
            T value{};
            if (take(decode(*field, std::string{}), key, value)) {
                out = std::move(value);
            }
        }
    }

    template <typename T>
    ModelDecoded<T> finish(T value) const
    {
        if (m_error) {
            return tl::unexpected(*m_error);
        }
        return value;
    }

private:
    // The key's value, or none when the key is missing, null (unless allowed), or the reader
    // has failed.
    const nlohmann::json *fieldFor(std::string_view key, bool allowNull = false) const;
    void fail(std::string path, std::string detail);

    // `decoded` came from a decoder given an empty path; an error gets the path of `key`.
    template <typename T>
    bool take(ModelDecoded<T> decoded, std::string_view key, T &out)
    {
        if (!decoded) {
            if (!m_error) {
                m_error = std::move(decoded.error());
                m_error->path = joinedModelPath(modelKeyPath(m_path, key), m_error->path);
            }
            return false;
        }
        out = std::move(*decoded);
        return true;
    }

    const nlohmann::json &m_value;
    std::string m_path;
    std::optional<ModelDecodeError> m_error;
};

} // namespace zentrel
