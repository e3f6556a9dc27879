#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrel {

// The user's settings: typed values under dotted keys, with registered defaults that a read
// returns while nothing is stored. Registered defaults live only in memory and are never written.
// The typed readers coerce a value of another type the way settings readers conventionally do:
// text reads as a number by its leading digits, a number reads as text, anything unreadable
// as false, 0 or nothing.
class DefaultsStore
{
public:
    virtual ~DefaultsStore() = default;

    // The value stored under the key, ignoring registered defaults.
    virtual std::optional<nlohmann::json> storedValue(const std::string &key) const = 0;
    virtual void setValue(const std::string &key, nlohmann::json value) = 0;
    virtual void removeValue(const std::string &key) = 0;
    // Every key with a stored value, in sorted order.
    virtual std::vector<std::string> storedKeys() const = 0;

    // Adds to the registered defaults; `defaults` is an object of key to value.
    void registerDefaults(const nlohmann::json &defaults);

    // The stored value, else the registered default.
    std::optional<nlohmann::json> value(const std::string &key) const;

    bool boolValue(const std::string &key) const;
    std::int64_t integerValue(const std::string &key) const;
    double doubleValue(const std::string &key) const;
    std::optional<std::string> stringValue(const std::string &key) const;
    std::optional<nlohmann::json> dictionaryValue(const std::string &key) const;

private:
    nlohmann::json m_registered = nlohmann::json::object();
};

} // namespace zentrel
