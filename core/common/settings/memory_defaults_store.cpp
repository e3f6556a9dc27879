#include "common/settings/memory_defaults_store.h"

namespace zentrel {

std::optional<nlohmann::json> MemoryDefaultsStore::storedValue(const std::string &key) const
{
    if (const auto found = m_values.find(key); found != m_values.end()) {
        return *found;
    }
    return std::nullopt;
}

void MemoryDefaultsStore::setValue(const std::string &key, nlohmann::json value)
{
    m_values[key] = std::move(value);
}

void MemoryDefaultsStore::removeValue(const std::string &key)
{
    m_values.erase(key);
}

std::vector<std::string> MemoryDefaultsStore::storedKeys() const
{
    std::vector<std::string> keys;
    for (const auto &[key, value] : m_values.items()) {
        keys.push_back(key);
    }
    return keys;
}

} // namespace zentrel
