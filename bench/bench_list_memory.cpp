// Resident memory of the program holding a 100,000-channel list, against the
// same program idle before the list was added, in one run: the program is
// started, settles, is given the list as a user adds one, and settles again;
// then "Canais" is opened on it. Goal: at most 40 MB more than idle, each.
//   bench_list_memory      (runs itself under xvfb-run without a display)
#include "app/ChannelListsHub.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "bench/BigChannelList.h"
#include "bench/PlayingCpu.h"
#include "engine/MediaEngine.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "tests/support/RecordingPowerOff.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <clocale>
#include <cstdio>

using PlayingCpu::ensureDisplay;
using PlayingCpu::runFor;
using PlayingCpu::runUntil;

namespace
{

constexpr int Channels = 100000;

double rssMb()
{
    QFile file(QStringLiteral("/proc/self/status"));
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

} // namespace

int main(int argc, char **argv)
{
    ensureDisplay(argc, argv);
    // Folders of its own, and the first-start offer of public lists already answered.
    QTemporaryDir home;
    for (const char *name : { "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" })
        qputenv(name, QFile::encodeName(home.filePath(QString::fromLatin1(name))));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (!writeFile(ChannelListRegistry::defaultPath(), "[General]\nsuggestionsAnswered=true\n"))
        return 2;
    const QString listPath = home.filePath(QStringLiteral("lista.m3u"));
    if (!writeFile(listPath, bigChannelList(Channels)))
        return 2;

    Program program(
        makePlayerEngine(), ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
    if (auto *check = program.mainWindow().findChild<QTimer *>(QStringLiteral("TimerUpdateCheck")))
        check->stop();
    program.mainWindow().show();
    ChannelListsHub &lists = program.channelLists();
    lists.start();
    runFor(5000);
    const double idle = rssMb();

    if (lists.registry().add(QString(), listPath).isEmpty()
        || !runUntil([&] { return lists.library().allChannels().size() == Channels; }, 60000))
        return 2;
    runFor(3000);
    const double withList = rssMb();
    lists.showChannelWindow();
    runFor(3000);
    const double windowOpen = rssMb();

    std::printf(
        "idle %.1f MB; with a %d-channel list %.1f MB (+%.1f); \"Canais\" open on it %.1f MB (+%.1f)\n", idle,
        Channels, withList, withList - idle, windowOpen, windowOpen - idle);
    std::printf("TABLE|RSS with a 100,000-channel list (MB)|%.1f|%.1f (idle)|+%.1f MB|<= idle + 40 MB\n",
        withList, idle, withList - idle);
    std::printf(
        "TABLE|RSS with a 100,000-channel list, \"Canais\" open (MB)|%.1f|%.1f (idle)|+%.1f MB|<= idle + "
        "40 MB\n",
        windowOpen, idle, windowOpen - idle);
    return withList - idle <= 40 && windowOpen - idle <= 40 ? 0 : 1;
}
