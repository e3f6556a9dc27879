#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>

namespace zentrel {

// What tells one version of a file from another without reading it: the file the name leads to,
// its size and when it was last written.
struct LibraryFileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;

    friend bool operator==(const LibraryFileIdentity &, const LibraryFileIdentity &) = default;
};

// None when nothing is there (or it cannot be asked).
std::optional<LibraryFileIdentity> libraryFileIdentity(const std::filesystem::path &path);

// What a store knows of its library file. A later whiteboard run that edits what an earlier one
// could not write takes it over, since that run never reads the file itself.
struct LibraryFileStamp
{
    // Nothing is known before the first load or save.
    bool isKnown = false;
    // The version last read or written; none when no file was there.
    std::optional<LibraryFileIdentity> identity;
    // That version could be neither read nor set aside, so no save may replace it.
    bool isBadFileKept = false;

    friend bool operator==(const LibraryFileStamp &, const LibraryFileStamp &) = default;
};

// The library file as this process last read or wrote it, so a save can tell whether another
// process wrote it since. Shared by a store's copies, which save on another thread.
class KnownLibraryFile
{
public:
    // After reading or writing the file at `path`; nothing there is remembered too.
    void remember(const std::filesystem::path &path);
    // The file remembered could be neither read nor set aside.
    void keepBadFile();
    // Whether a file is at `path` now that is not the one remembered. False while nothing was
    // remembered yet: a store that never read the file knows of no other writer.
    bool changedElsewhere(const std::filesystem::path &path) const;
    // Whether the bad file remembered is still at `path`, unchanged.
    bool holdsBadFile(const std::filesystem::path &path) const;

    LibraryFileStamp stamp() const;
    void restore(const LibraryFileStamp &stamp);

private:
    mutable std::mutex m_mutex;
    LibraryFileStamp m_stamp;
};

} // namespace zentrel
