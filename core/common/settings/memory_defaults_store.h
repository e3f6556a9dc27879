#pragma once

#include "common/settings/defaults_store.h"

namespace zentrel {

// Keeps the settings in memory only: for tests, and as the base of the settings file.
class MemoryDefaultsStore : public DefaultsStore
{
public:
    MemoryDefaultsStore() = default;

    std::optional<nlohmann::json> storedValue(const std::string &key) const override;
    void setValue(const std::string &key, nlohmann::json value) override;
    void removeValue(const std::string &key) override;
    std::vector<std::string> storedKeys() const override;

    const nlohmann::json &storedValues() const { return m_values; }

protected:
    explicit MemoryDefaultsStore(nlohmann::json values)
        : m_values(std::move(values))
    {}

private:
    nlohmann::json m_values = nlohmann::json::object();
};

} // namespace zentrel
