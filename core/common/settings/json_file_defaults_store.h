#pragma once

#include "common/clock.h"
#include "common/files/file_error.h"
#include "common/settings/memory_defaults_store.h"
#include "common/signal.h"

#include <filesystem>
#include <memory>

namespace zentrel {

// The settings file: one JSON object of typed values with sorted keys, rewritten atomically on
// every change. A file that does not decode is set aside and the run goes on with defaults;
// what a killed save left beside it is removed on open.
class JsonFileDefaultsStore final : public MemoryDefaultsStore
{
public:
    static std::unique_ptr<JsonFileDefaultsStore> open(std::filesystem::path file,
                                                       const Clock &clock);

    void setValue(const std::string &key, nlohmann::json value) override;
    void removeValue(const std::string &key) override;

    const std::filesystem::path &file() const { return m_file; }

    // The value stays in memory for this run even when it could not be saved.
    Signal<const FileError &> writeFailed;

private:
    JsonFileDefaultsStore(std::filesystem::path file, nlohmann::json values);
    void save();

    std::filesystem::path m_file;
    // False after a failed write, so the next change writes again even if it changes nothing.
    bool m_isSaved = true;
};

} // namespace zentrel
