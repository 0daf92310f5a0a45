#pragma once

// What the playing benchmarks share: the test video, the event loop helpers and
// CPU time of this process or of another player's whole process tree.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace PlayingCpu
{

// Long enough for a player's start-up, a settle and the measurement.
constexpr int kVideoSeconds = 40;
constexpr int kSettleMs = 2000;

[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), what);
    std::exit(1);
}

// No display: run again under a virtual X server with software OpenGL.
inline void ensureDisplay(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return;
    std::vector<char *> args = { const_cast<char *>("xvfb-run"), const_cast<char *>("-a"),
        const_cast<char *>("-s"), const_cast<char *>("-screen 0 1280x1024x24") };
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "no display and xvfb-run could not be started\n");
    std::exit(1);
}

inline void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

inline bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

inline double ownCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU percent of this process over a stretch of wall time with the loop running.
inline double ownCpuPercentOver(int seconds)
{
    QElapsedTimer wall;
    const double before = ownCpuSeconds();
    wall.start();
    runFor(seconds * 1000);
    return 100 * (ownCpuSeconds() - before) / (double(wall.nsecsElapsed()) / 1e9);
}

// The process and all its descendants that are alive now.
inline QList<qint64> processTree(qint64 pid)
{
    QList<qint64> tree { pid };
    for (qsizetype i = 0; i < tree.size(); ++i) {
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(tree[i]));
        for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(tasks.filePath(task) + QStringLiteral("/children"));
            if (children.open(QIODevice::ReadOnly))
                for (const QByteArray &child : children.readAll().split(' '))
                    if (!child.trimmed().isEmpty())
                        tree << child.trimmed().toLongLong();
        }
    }
    return tree;
}

// utime + stime of one process, all its threads; -1 once it has gone.
inline double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name may hold spaces; the fields count from after its ")".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

// CPU percent of a process tree over a stretch of wall time; the tree is the
// one found at the start (a player that forks its decoder counts it too).
inline double treeCpuPercentOver(qint64 pid, int seconds)
{
    const QList<qint64> tree = processTree(pid);
    double before = 0;
    for (qint64 p : tree)
        before += std::max(processCpuSeconds(p), 0.0);
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    double after = 0;
    for (qint64 p : tree) {
        const double cpu = processCpuSeconds(p);
        if (cpu < 0)
            return -1;
        after += cpu;
    }
    return 100 * (after - before) / (double(wall.nsecsElapsed()) / 1e9);
}

// Ends a player and whatever it started.
inline void endTree(QProcess &player)
{
    const QList<qint64> tree = processTree(player.processId());
    for (qsizetype i = tree.size() - 1; i >= 0; --i)
        ::kill(pid_t(tree[i]), SIGKILL);
    player.waitForFinished();
}

// 640x360 30 fps H.264 with AAC sound, made with ffmpeg.
inline QString makeVideo(const QString &dir)
{
    const QString path = dir + QStringLiteral("/bench.mp4");
    const QStringList args = { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
        QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
        QStringLiteral("-i"), QStringLiteral("testsrc2=size=640x360:rate=30:duration=%1").arg(kVideoSeconds),
        QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        QStringLiteral("sine=frequency=440:duration=%1").arg(kVideoSeconds), QStringLiteral("-c:v"),
        QStringLiteral("libx264"), QStringLiteral("-preset"), QStringLiteral("veryfast"),
        QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), QStringLiteral("-c:a"), QStringLiteral("aac"),
        QStringLiteral("-shortest"), path };
    if (QProcess::execute(QStringLiteral("ffmpeg"), args) != 0 || !QFile::exists(path))
        fail("ffmpeg could not make the test video");
    return path;
}

} // namespace PlayingCpu
