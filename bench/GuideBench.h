#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <functional>
#include <malloc.h>
#include <time.h>

// What the guide benchmarks share: the process's memory and the thread's own clock.
namespace GuideBench
{
// Resident and peak resident memory (MiB) from /proc/self/status.
inline double statusMiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}
inline double rssMiB()
{
    malloc_trim(0);
    return statusMiB("VmRSS:");
}
inline double peakMiB()
{
    return statusMiB("VmHWM:");
}
// The peak starts again from the resident memory of now.
inline void resetPeak()
{
    malloc_trim(0);
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The calling thread's own time: on a shared machine the wall clock also
// counts the other programs.
inline double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

inline void runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
} // namespace GuideBench
