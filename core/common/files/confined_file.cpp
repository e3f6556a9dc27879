#include "common/files/confined_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {}

    Descriptor(Descriptor &&other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {}

    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }

    ~Descriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }

    int get() const { return m_fd; }

private:
    int m_fd;
};

// The folder holding the last component, opened step by step without following a link, and
// that component's name; or the errno of the step that failed.
struct OpenedParent
{
    Descriptor folder;
    std::string name;
};

tl::expected<OpenedParent, int> openParent(const std::filesystem::path &folder,
                                           const std::filesystem::path &relative)
{
    std::vector<std::string> parts;
    for (const auto &part : relative) {
        parts.push_back(part.string());
    }
    if (relative.is_absolute() || parts.empty()) {
        return tl::unexpected(EINVAL);
    }
    for (const std::string &part : parts) {
        if (part.empty() || part == "." || part == "..") {
            return tl::unexpected(EINVAL);
        }
    }
    Descriptor current(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (current.get() < 0) {
        return tl::unexpected(errno);
    }
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const int next = ::openat(
            current.get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            return tl::unexpected(errno);
        }
        current = Descriptor(next);
    }
    return OpenedParent{std::move(current), parts.back()};
}

FileError fileError(FileError::Kind kind,
                    const std::filesystem::path &folder,
                    const std::filesystem::path &relative,
                    int errorNumber)
{
    return FileError{kind, folder / relative, std::strerror(errorNumber)};
}

} // namespace

tl::expected<std::string, FileError> readConfinedFile(const std::filesystem::path &folder,
                                                      const std::filesystem::path &relative)
{
    constexpr auto kind = FileError::Kind::readFailed;
    auto parent = openParent(folder, relative);
    if (!parent) {
        return tl::unexpected(fileError(kind, folder, relative, parent.error()));
    }
    // Non-blocking, so a pipe in the file's place cannot hang the read before it is refused.
    const Descriptor file(::openat(parent->folder.get(),
                                   parent->name.c_str(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) {
        return tl::unexpected(fileError(kind, folder, relative, errno));
    }
    if (!S_ISREG(status.st_mode)) {
        return tl::unexpected(fileError(kind, folder, relative, EINVAL));
    }
    std::string contents;
    std::array<char, 64 * 1024> buffer;
    while (true) {
        const ssize_t count = ::read(file.get(), buffer.data(), buffer.size());
        if (count == 0) {
            return contents;
        }
        if (count < 0 && errno != EINTR) {
            return tl::unexpected(fileError(kind, folder, relative, errno));
        }
        if (count > 0) {
            contents.append(buffer.data(), std::size_t(count));
        }
    }
}

tl::expected<void, FileError> removeConfinedFile(const std::filesystem::path &folder,
                                                 const std::filesystem::path &relative)
{
    constexpr auto kind = FileError::Kind::removeFailed;
    auto parent = openParent(folder, relative);
    if (!parent) {
        return tl::unexpected(fileError(kind, folder, relative, parent.error()));
    }
    if (::unlinkat(parent->folder.get(), parent->name.c_str(), 0) != 0) {
        return tl::unexpected(fileError(kind, folder, relative, errno));
    }
    return {};
}

} // namespace zentrel
