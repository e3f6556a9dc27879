#pragma once

#include <QtGlobal>

namespace zentrel {

// CPU time a process and all its threads have spent so far (utime + stime in /proc/<pid>/stat);
// negative when it cannot be read.
double cpuSeconds(qint64 pid);

// CPU time the process's main thread alone has spent so far (its thread id is the process id);
// negative when it cannot be read.
double mainThreadCpuSeconds(qint64 pid);

// Resident memory now (VmRSS in /proc/<pid>/status); negative when it cannot be read.
double residentMegabytes(qint64 pid);

} // namespace zentrel
