#pragma once

#include <QtGlobal>

#include <atomic>
#include <thread>

namespace zentrel {

// CPU time a process and all its threads have spent so far (utime + stime in /proc/<pid>/stat);
// negative when it cannot be read.
double cpuSeconds(qint64 pid);

// CPU time the process's main thread alone has spent so far (its thread id is the process id);
// negative when it cannot be read.
double mainThreadCpuSeconds(qint64 pid);

// Resident memory now (VmRSS in /proc/<pid>/status); negative when it cannot be read.
double residentMegabytes(qint64 pid);

// The most resident memory the process has had (VmHWM); negative when it cannot be read.
double peakResidentMegabytes(qint64 pid);

// How much of the time a process's main thread is away from its event loop, running or waiting
// on something else, such as the pool threads it hands painting to: what its CPU time leaves
// out. It samples where the thread waits (/proc/<pid>/task/<pid>/wchan) every few hundred
// microseconds until stopped.
class MainThreadBusyness
{
public:
    explicit MainThreadBusyness(qint64 pid);
    ~MainThreadBusyness();
    MainThreadBusyness(const MainThreadBusyness &) = delete;
    MainThreadBusyness &operator=(const MainThreadBusyness &) = delete;

    struct Result
    {
        double busyShare = -1;         // of the samples; negative when none could be read
        double longestBusySeconds = 0; // the longest the thread stayed away from its loop
    };

    Result stop();

private:
    std::atomic<bool> m_stopping{false};
    long m_samples = 0; // these three by the sampler alone until it ends
    long m_busy = 0;
    double m_longestBusy = 0;
    std::thread m_sampler;
};

} // namespace zentrel
