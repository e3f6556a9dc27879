#include "common/files/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace zentrel {
namespace {

FileError systemError(FileError::Kind kind, const std::filesystem::path &path, int errorNumber)
{
    return FileError{kind, path, std::strerror(errorNumber)};
}

bool writeAll(int fd, std::string_view contents)
{
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Large enough that writes cost little more than copying the text, small beside a large file.
constexpr std::size_t writePieceSize = std::size_t(1) << 20;

// The pending file of `path`, its folders created first.
tl::expected<PendingFile, FileError> pendingFileFor(const std::filesystem::path &path)
{
    std::error_code ec;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec) {
            return tl::unexpected(FileError{FileError::Kind::writeFailed, path, ec.message()});
        }
    }
    return PendingFile::create(path);
}

// A pending file of `file` holding what is left to read of `source`.
tl::expected<PendingFile, FileError> pendingCopy(const std::filesystem::path &file, int source)
{
    auto pending = PendingFile::create(file);
    if (!pending) {
        return pending;
    }
    std::array<char, 1 << 16> buffer;
    for (;;) {
        const ssize_t read = ::read(source, buffer.data(), buffer.size());
        if (read == 0) {
            return pending;
        }
        if (read < 0) {
            if (errno == EINTR) {
                continue;
            }
            return tl::unexpected(systemError(FileError::Kind::readFailed, file, errno));
        }
        if (!writeAll(pending->descriptor(),
                      std::string_view(buffer.data(), static_cast<std::size_t>(read)))) {
            return tl::unexpected(systemError(FileError::Kind::writeFailed, file, errno));
        }
    }
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path path, PendingFile file)
    : m_path(std::move(path))
    , m_file(std::move(file))
{}

tl::expected<AtomicFileWriter, FileError>
AtomicFileWriter::create(const std::filesystem::path &path)
{
    return pendingFileFor(path).map(
        [&path](PendingFile file) { return AtomicFileWriter(path, std::move(file)); });
}

void AtomicFileWriter::pause()
{
    if (m_text.size() >= writePieceSize) {
        writeOut();
    }
}

void AtomicFileWriter::writeOut()
{
    // After a failure the rest is dropped: commit reports it and the target stays as it was.
    if (m_writeErrno == 0 && !writeAll(m_file.descriptor(), m_text)) {
        m_writeErrno = errno;
    }
    m_text.clear();
}

tl::expected<void, FileError> AtomicFileWriter::commit()
{
    writeOut();
    if (m_writeErrno != 0) {
        return tl::unexpected(systemError(FileError::Kind::writeFailed, m_path, m_writeErrno));
    }
    return m_file.commit();
}

tl::expected<void, FileError> writeFileAtomically(const std::filesystem::path &path,
                                                  std::string_view contents)
{
    auto pending = pendingFileFor(path);
    if (!pending) {
        return tl::unexpected(pending.error());
    }
    if (!writeAll(pending->descriptor(), contents)) {
        return tl::unexpected(systemError(FileError::Kind::writeFailed, path, errno));
    }
    return pending->commit();
}

tl::expected<std::filesystem::path, FileError>
copyFileToNewName(const std::filesystem::path &file,
                  const std::function<std::filesystem::path(int attempt)> &named,
                  int attempts)
{
    const int source = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        return tl::unexpected(systemError(FileError::Kind::readFailed, file, errno));
    }
    auto pending = pendingCopy(file, source);
    ::close(source);
    if (!pending) {
        return tl::unexpected(pending.error());
    }
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const std::filesystem::path target = named(attempt);
        const auto placed = pending->commitAsNew(target);
        if (!placed) {
            return tl::unexpected(placed.error());
        }
        if (*placed) {
            return target;
        }
    }
    return tl::unexpected(
        FileError{FileError::Kind::writeFailed, file, "every name for the copy is taken"});
}

tl::expected<std::optional<std::string>, FileError>
readFileIfPresent(const std::filesystem::path &path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return tl::unexpected(systemError(FileError::Kind::readFailed, path, EISDIR));
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        const int openErrno = errno;
        if (!std::filesystem::exists(path, ec) && !ec) {
            return std::optional<std::string>{};
        }
        return tl::unexpected(systemError(FileError::Kind::readFailed, path, openErrno));
    }
    // Room for the whole file at once: growing the text as it was read copied a large library
    // several times over. A file that changes meanwhile is still read to its end.
    std::string contents;
    if (const std::uintmax_t size = std::filesystem::file_size(path, ec); !ec) {
        contents.reserve(size);
    }
    std::array<char, 1 << 16> buffer;
    while (stream.read(buffer.data(), buffer.size()) || stream.gcount() > 0) {
        contents.append(buffer.data(), static_cast<std::size_t>(stream.gcount()));
    }
    if (stream.bad()) {
        return tl::unexpected(FileError{FileError::Kind::readFailed, path, "read error"});
    }
    return std::optional<std::string>{std::move(contents)};
}

tl::expected<std::filesystem::path, FileError>
setAsideCorrupt(const std::filesystem::path &path, std::chrono::system_clock::time_point now)
{
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
    const std::string base = path.string() + ".corrupt-" + std::to_string(seconds);
    // A second set-aside within the same second must not replace the first one.
    std::filesystem::path target = base;
    std::error_code ec;
    for (int attempt = 1; std::filesystem::exists(target, ec); ++attempt) {
        target = base + "-" + std::to_string(attempt);
    }
    std::filesystem::rename(path, target, ec);
    if (ec) {
        return tl::unexpected(FileError{FileError::Kind::moveFailed, path, ec.message()});
    }
    return target;
}

} // namespace zentrel
