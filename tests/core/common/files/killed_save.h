#pragma once

#include "common/files/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
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

// Has this process meet every folder as one on a file system without unnamed files (vfat, NFS,
// SMB): opening with O_TMPFILE fails as the kernel fails it there. It cannot be undone, so only
// a child process calls it. glibc opens every file through openat.
inline void forbidUnnamedFiles()
{
    // The flag's own bit: O_TMPFILE also holds O_DIRECTORY, which every folder open sets.
    constexpr std::uint32_t unnamedBit = O_TMPFILE & ~O_DIRECTORY;
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, unnamedBit, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0
        || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        std::abort();
    }
}

// Saves 1 MB to `file` and is killed part-way through.
inline void killDuringSave(const std::filesystem::path &file)
{
    killWhileWriting([&file] { (void)writeFileAtomically(file, std::string(1 << 20, 'x')); });
}

} // namespace zentrel
