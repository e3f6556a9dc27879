#pragma once

#include "common/files/file_error.h"
#include "common/files/pending_file.h"
#include "common/text_sink.h"

#include <tl/expected.hpp>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

// A file written whole or not at all, as its text is put together: what a writer leaves at a
// pause goes to the pending file (see PendingFile) once there is enough of it, so a large file is
// never whole in memory. commit() puts it in place of the target; dropped uncommitted, it leaves
// the target as it was.
class AtomicFileWriter final : public TextSink
{
public:
    // Missing parent folders are created.
    static tl::expected<AtomicFileWriter, FileError> create(const std::filesystem::path &path);

    void pause() override;

    // Writes what is left, syncs and renames; the first failure of any write is reported here.
    tl::expected<void, FileError> commit();

private:
    AtomicFileWriter(std::filesystem::path path, PendingFile file);
    void writeOut();

    std::filesystem::path m_path;
    PendingFile m_file;
    int m_writeErrno = 0;
};

// Writes the whole file or nothing: a pending file in the same folder is written, synced and
// renamed over the target (see PendingFile). Missing parent folders are created.
tl::expected<void, FileError> writeFileAtomically(const std::filesystem::path &path,
                                                  std::string_view contents);

// Copies a file, whole or not at all as writeFileAtomically writes, to the first name `named`
// gives (attempts 0, 1, … below `attempts`, each in the file's own folder) at which nothing is
// yet; nothing is replaced. The copy keeps the file's mode, and is pending under the file's own
// name until done, so what a killed copy left is swept with the file's leftovers. Returns where
// the copy went.
tl::expected<std::filesystem::path, FileError>
copyFileToNewName(const std::filesystem::path &file,
                  const std::function<std::filesystem::path(int attempt)> &named,
                  int attempts);

// The whole file, or nothing when it does not exist.
tl::expected<std::optional<std::string>, FileError>
readFileIfPresent(const std::filesystem::path &path);

// Moves a file or folder that failed to decode out of the way, as
// "<name>.corrupt-<seconds since 1970>", so the program can go on as if it were absent while
// the user keeps the data. Returns the new path.
tl::expected<std::filesystem::path, FileError>
setAsideCorrupt(const std::filesystem::path &path, std::chrono::system_clock::time_point now);

} // namespace zentrel
