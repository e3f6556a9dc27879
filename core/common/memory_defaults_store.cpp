#include "common/memory_defaults_store.h"

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

} // namespace zentrel
