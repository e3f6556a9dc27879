#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace zentrel {

// A fresh, empty folder under the system's temporary folder, removed with everything in it when
// the object goes away.
class TemporaryDirectory
{
public:
    TemporaryDirectory()
    {
        auto pattern = (std::filesystem::temp_directory_path() / "zentrel-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("could not create a temporary folder");
        }
        m_path = pattern;
    }

    TemporaryDirectory(const TemporaryDirectory &) = delete;
    TemporaryDirectory &operator=(const TemporaryDirectory &) = delete;

    ~TemporaryDirectory()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }

    const std::filesystem::path &path() const { return m_path; }

    std::filesystem::path operator/(const std::filesystem::path &relative) const
    {
        return m_path / relative;
    }

private:
    std::filesystem::path m_path;
};

} // namespace zentrel
