#pragma once

#include <QtGlobal>

#include <atomic>
#include <string>
#include <thread>

namespace zentrel {

// Prints a measured figure into the test's output, for reports: figures depend on the machine,
// so none is judged.
void printFigure(const std::string &what, double value, const char *unit);

// CPU time a process and all its threads have spent so far (utime + stime in /proc/<pid>/stat);
// negative when it cannot be read.
double cpuSeconds(qint64 pid);

// CPU time the process's main thread alone has spent so far (its thread id is the process id);
// negative when it cannot be read.
double mainThreadCpuSeconds(qint64 pid);

// Resident memory now (VmRSS in /proc/<pid>/status); negative when it cannot be read.
double residentMegabytes(qint64 pid);

// The most resident memory since the process started or since resetPeakResident (VmHWM).
double peakResidentMegabytes(qint64 pid);
// Starts the peak over from what the process holds now (clear_refs, as its owner may).
void resetPeakResident(qint64 pid);

// Waits until the process spends next to nothing for half a second, or `timeoutMs` passed.
void waitUntilIdle(qint64 pid, int timeoutMs);

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
