#include "common/files/pending_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <utility>

namespace zentrel {
namespace {

constexpr std::string_view nameCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t randomPartLength = 6;
constexpr int maximumAttempts = 100;
// Read and write for everyone, as any new file: the umask (or a default ACL) narrows it.
constexpr mode_t newFileMode = 0666;

FileError writeError(const std::filesystem::path &path, int errorNumber)
{
    return FileError{FileError::Kind::writeFailed, path, std::strerror(errorNumber)};
}

std::filesystem::path folderOf(const std::filesystem::path &path)
{
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

// "<name>.XXXXXX.tmp" beside the target, the X a fresh random part.
std::filesystem::path pendingName(const std::filesystem::path &path)
{
    static thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, nameCharacters.size() - 1);
    std::string part(randomPartLength, ' ');
    for (char &character : part) {
        character = nameCharacters[pick(random)];
    }
    return folderOf(path)
           / (path.filename().string() + "." + part + std::string(pendingFileSuffix));
}

// The name of the file whose pending file `name` is, or nothing when `name` is no pending name.
std::optional<std::string_view> pendingTarget(std::string_view name)
{
    const std::size_t ending = 1 + randomPartLength + pendingFileSuffix.size();
    if (name.size() <= ending || !name.ends_with(pendingFileSuffix)
        || name[name.size() - ending] != '.') {
        return std::nullopt;
    }
    const std::string_view part = name.substr(name.size() - ending + 1, randomPartLength);
    const bool random = std::all_of(part.begin(), part.end(), [](char character) {
        return nameCharacters.find(character) != std::string_view::npos;
    });
    return random ? std::optional(name.substr(0, name.size() - ending)) : std::nullopt;
}

// Removes the regular files of the folder that `isLeftover` picks; links are left alone.
void removeLeftovers(
    const std::filesystem::path &folder,
    const std::function<bool(const std::filesystem::directory_entry &)> &isLeftover)
{
    std::error_code ec;
    std::filesystem::directory_iterator children(folder, ec);
    if (ec) {
        return;
    }
    for (auto child = std::filesystem::begin(children); child != std::filesystem::end(children);
         child.increment(ec)) {
        if (ec) {
            return;
        }
        // The name first: a folder of the user's may hold many files, and each type costs a call.
        std::error_code typeError;
        if (isLeftover(*child)
            && child->symlink_status(typeError).type() == std::filesystem::file_type::regular) {
            std::filesystem::remove(child->path(), typeError);
        }
    }
}

// Whether the entry was last written before the time; one that cannot be asked was not.
bool writtenEarlier(const std::filesystem::directory_entry &child,
                    std::filesystem::file_time_type writtenBefore)
{
    std::error_code ec;
    const auto written = child.last_write_time(ec);
    return !ec && written < writtenBefore;
}

// The name under which the kernel shows an open file, linkable even when it has no name.
std::string descriptorPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

// A file with no name in the folder, or -1 where the file system or a missing /proc (through
// which it gets its name) rules that out.
int openUnnamed(const std::filesystem::path &path)
{
    const int fd = ::open(folderOf(path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, newFileMode);
    if (fd < 0) {
        return -1;
    }
    if (::access(descriptorPath(fd).c_str(), F_OK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

PendingFile::PendingFile(std::filesystem::path path, std::filesystem::path named, int fd)
    : m_path(std::move(path))
    , m_named(std::move(named))
    , m_fd(fd)
{}

PendingFile::PendingFile(PendingFile &&other) noexcept
    : m_path(std::move(other.m_path))
    , m_named(std::move(other.m_named))
    , m_fd(std::exchange(other.m_fd, -1))
{}

PendingFile &PendingFile::operator=(PendingFile &&other) noexcept
{
    if (this != &other) {
        discard();
        m_path = std::move(other.m_path);
        m_named = std::move(other.m_named);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

PendingFile::~PendingFile()
{
    discard();
}

void PendingFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_named.empty()) {
        ::unlink(m_named.c_str());
        m_named.clear();
    }
}

tl::expected<PendingFile, FileError> PendingFile::create(const std::filesystem::path &path)
{
    std::filesystem::path named;
    int fd = openUnnamed(path);
    for (int attempt = 0; fd < 0 && attempt < maximumAttempts; ++attempt) {
        named = pendingName(path);
        fd = ::open(named.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, newFileMode);
        if (fd < 0 && errno != EEXIST) {
            return tl::unexpected(writeError(path, errno));
        }
    }
    if (fd < 0) {
        return tl::unexpected(writeError(path, EEXIST));
    }
    // A replaced file keeps its mode: a private file stays private, a shared one shared.
    struct stat existing;
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
    }
    return PendingFile(path, std::move(named), fd);
}

tl::expected<std::filesystem::path, FileError> PendingFile::giveName() const
{
    const std::string source = descriptorPath(m_fd);
    for (int attempt = 0; attempt < maximumAttempts; ++attempt) {
        const std::filesystem::path named = pendingName(m_path);
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return named;
        }
        if (errno != EEXIST) {
            return tl::unexpected(writeError(m_path, errno));
        }
    }
    return tl::unexpected(writeError(m_path, EEXIST));
}

tl::expected<void, FileError> PendingFile::commit()
{
    if (m_fd < 0) {
        return tl::unexpected(writeError(m_path, EBADF));
    }
    if (::fdatasync(m_fd) != 0) {
        const int syncErrno = errno;
        discard();
        return tl::unexpected(writeError(m_path, syncErrno));
    }
    if (m_named.empty()) {
        auto named = giveName();
        if (!named) {
            discard();
            return tl::unexpected(named.error());
        }
        m_named = std::move(*named);
    }
    const bool closed = ::close(std::exchange(m_fd, -1)) == 0;
    if (!closed || ::rename(m_named.c_str(), m_path.c_str()) != 0) {
        const int renameErrno = errno;
        discard();
        return tl::unexpected(writeError(m_path, renameErrno));
    }
    m_named.clear();
    return {};
}

tl::expected<bool, FileError> PendingFile::commitAsNew(const std::filesystem::path &name)
{
    if (m_fd < 0) {
        return tl::unexpected(writeError(name, EBADF));
    }
    if (::fdatasync(m_fd) != 0) {
        return tl::unexpected(writeError(name, errno));
    }
    // A link, like the rename, fails where the name is taken instead of replacing what is there.
    bool placed = false;
    if (m_named.empty()) {
        const std::string source = descriptorPath(m_fd);
        placed = ::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    } else {
        placed = renameWithoutReplacing(m_named, name);
    }
    if (!placed) {
        if (errno == EEXIST) {
            return false;
        }
        return tl::unexpected(writeError(name, errno));
    }
    m_named.clear();
    // The data is on disk already; closing can lose nothing now.
    ::close(std::exchange(m_fd, -1));
    return true;
}

bool renameWithoutReplacing(const std::filesystem::path &from, const std::filesystem::path &to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems without the flag: check first, accepting the small race.
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(to, ec))) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void sweepPendingLeftovers(const std::filesystem::path &path)
{
    const std::string target = path.filename().string();
    removeLeftovers(folderOf(path), [&target](const std::filesystem::directory_entry &child) {
        return pendingTarget(child.path().filename().string()) == target;
    });
}

void sweepAbandonedLeftovers(const std::vector<std::filesystem::path> &paths,
                             std::filesystem::file_time_type writtenBefore)
{
    for (const std::filesystem::path &path : paths) {
        const std::string target = path.filename().string();
        removeLeftovers(folderOf(path), [&](const std::filesystem::directory_entry &child) {
            return pendingTarget(child.path().filename().string()) == target
                   && writtenEarlier(child, writtenBefore);
        });
    }
}

void sweepAbandonedPendingFiles(const std::filesystem::path &folder,
                                std::string_view extension,
                                std::filesystem::file_time_type writtenBefore)
{
    removeLeftovers(folder, [&](const std::filesystem::directory_entry &child) {
        const std::string name = child.path().filename().string();
        const std::optional<std::string_view> target = pendingTarget(name);
        if (!target || target->size() <= extension.size() || !target->ends_with(extension)) {
            return false;
        }
        return writtenEarlier(child, writtenBefore);
    });
}

} // namespace zentrel
