#include "common/settings/json_file_defaults_store.h"

#include "common/files/atomic_file.h"
#include "common/files/pending_file.h"
#include "common/json/json_file.h"

namespace zentrel {

std::unique_ptr<JsonFileDefaultsStore> JsonFileDefaultsStore::open(std::filesystem::path file,
                                                                   const Clock &clock)
{
    // Only this process writes the file, and it has not yet: what a pending name holds is left
    // by a save that was killed.
    sweepPendingLeftovers(file);
    nlohmann::json values = nlohmann::json::object();
    auto loaded = readJsonFile(file);
    if (loaded && *loaded && (*loaded)->is_object()) {
        values = std::move(**loaded);
    } else if (!loaded || *loaded) {
        // Unreadable, not JSON, or not an object: keep it for the user, start from defaults.
        // When it cannot be moved, later writes replace it; there is nothing better to do.
        (void)setAsideCorrupt(file, clock.now());
    }
    return std::unique_ptr<JsonFileDefaultsStore>(
        new JsonFileDefaultsStore(std::move(file), std::move(values)));
}

JsonFileDefaultsStore::JsonFileDefaultsStore(std::filesystem::path file, nlohmann::json values)
    : MemoryDefaultsStore(std::move(values))
    , m_file(std::move(file))
{}

void JsonFileDefaultsStore::setValue(const std::string &key, nlohmann::json value)
{
    // The file already says this: every start rebinds 25 hot keys to what they were, and a
    // rewrite (with its sync to disk) each time would only cost.
    if (m_isSaved && storedValue(key) == value) {
        return;
    }
    MemoryDefaultsStore::setValue(key, std::move(value));
    save();
}

void JsonFileDefaultsStore::removeValue(const std::string &key)
{
    if (m_isSaved && !storedValue(key)) {
        return;
    }
    MemoryDefaultsStore::removeValue(key);
    save();
}

void JsonFileDefaultsStore::save()
{
    const auto written = writeJsonFile(m_file, storedValues());
    m_isSaved = written.has_value();
    if (!written) {
        writeFailed.notify(written.error());
    }
}

} // namespace zentrel
