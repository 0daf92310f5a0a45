// Resident memory of the program with a 100,000-channel list, against the
// same program idle with no list, both measured in this run: the real program
// is started twice with folders of its own, and its memory is read once it has
// read the list and gone quiet. Goal: at most 40 MB more than idle.
//   bench_list_memory      (runs itself under xvfb-run without a display)
#include "bench/BigChannelList.h"
#include "bench/PlayingCpu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using PlayingCpu::ensureDisplay;
using PlayingCpu::processCpuSeconds;
using PlayingCpu::runFor;

namespace
{

constexpr int Channels = 100000;

double rssMb(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024.0;
    return 0;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The program's memory once it has used no CPU for two seconds (at least five
// seconds after its start, at most a minute); 0 when it did not start.
double settledRssMb(const QByteArray &list)
{
    QTemporaryDir home;
    const QString config = home.filePath(QStringLiteral("config/lumivortex"));
    // Both runs skip the first-start offer of public lists: its window is no part of the figure.
    if (!writeFile(config + QStringLiteral("/channel-lists.ini"), "[General]\nsuggestionsAnswered=true\n"))
        return 0;
    if (!list.isEmpty() && !writeFile(config + QStringLiteral("/channels.m3u"), list))
        return 0;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(LUMI_PROGRAM_PATH), {});
    if (!program.waitForStarted(10000))
        return 0;
    const qint64 pid = program.processId();
    runFor(5000);
    double cpu = processCpuSeconds(pid);
    for (int waited = 0; waited < 55000 && program.state() == QProcess::Running; waited += 2000) {
        runFor(2000);
        const double now = processCpuSeconds(pid);
        if (now - cpu < 0.02)
            break;
        cpu = now;
    }
    const double rss = program.state() == QProcess::Running ? rssMb(pid) : 0;
    program.kill();
    program.waitForFinished(5000);
    return rss;
}

} // namespace

int main(int argc, char **argv)
{
    ensureDisplay(argc, argv);
    QCoreApplication app(argc, argv);
    const QByteArray list = bigChannelList(Channels);
    const double idle = settledRssMb({});
    const double withList = settledRssMb(list);
    const double cost = withList - idle;
    std::printf("program idle %.1f MB, with a %d-channel list (%.1f MiB) %.1f MB: %.1f MB more\n", idle,
        Channels, double(list.size()) / (1 << 20), withList, cost);
    std::printf(
        "TABLE|RSS with a 100,000-channel list (MB)|%.1f|%.1f (idle, no list)|+%.1f MB|<= idle + 40 MB\n",
        withList, idle, cost);
    return idle > 0 && withList > 0 && cost <= 40 ? 0 : 1;
}
