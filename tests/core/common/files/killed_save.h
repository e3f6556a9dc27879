#pragma once

#include "common/files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace zentrel {

// Runs `write` in a child process that the kernel kills once it writes past 4 KB into any file,
// as a crash or kill -9 would cut a save short.
inline void killWhileWriting(const std::function<void()> &write)
{
    const auto writeUntilKilled = [&write] {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const rlimit smallFiles{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &smallFiles);
        write();
        std::_Exit(0);
    };
    EXPECT_EXIT(writeUntilKilled(), testing::KilledBySignal(SIGXFSZ), "");
}

// Saves 1 MB to `file` and is killed part-way through.
inline void killDuringSave(const std::filesystem::path &file)
{
    killWhileWriting([&file] { (void)writeFileAtomically(file, std::string(1 << 20, 'x')); });
}

} // namespace zentrel
