// Resident memory of the program idle, with the browser window open and after
// it has closed again. The browser runs in a process of its own; its memory is
// reported beside the player's.
//   bench_browser_memory      (runs itself under xvfb-run without a display)
#include "app/MainWindow.h"
#include "app/Program.h"
#include "bench/PlayingCpu.h"
#include "browser/BrowserProcess.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MediaEngine.h"
#include "tests/support/RecordingPowerOff.h"
#include "update/UpdateChecker.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <unistd.h>

using PlayingCpu::ensureDisplay;
using PlayingCpu::runFor;

namespace
{

QByteArray procFile(qint64 pid, const char *name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double rssMb(qint64 pid)
{
    for (const QByteArray &line : procFile(pid, "status").split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // The browser process is this program started again with the private argument.
    if (argc > 1 && qstrcmp(argv[1], "--browser-process") == 0)
        return runProgram(argc, argv);
    ensureDisplay(argc, argv);
    // Chromium will not sandbox itself as root; the benchmark's browser runs without.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    Program program(
        makePlayerEngine(), ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
    program.updateChecker().checkTimer()->stop();
    program.mainWindow().show();
    runFor(8000);
    const qint64 self = QCoreApplication::applicationPid();
    const double idle = rssMb(self);

    program.mainWindow().findChild<QAction *>(QStringLiteral("AbrirLumivortexBrowser1"))->trigger();
    const qint64 browser = program.browser().processId();
    QElapsedTimer waited;
    waited.start();
    while (!procFile(browser, "maps").contains("libQt6WebEngineCore") && waited.elapsed() < 30000)
        runFor(100);
    runFor(5000);
    const double open = rssMb(self);
    const double browserRss = rssMb(browser);
    program.browser().end();
    runFor(3000);
    const double after = rssMb(self);

    std::printf(
        "player idle %.1f MB, browser open %.1f MB (+ %.1f MB in the browser process), closed %.1f MB\n",
        idle, open, browserRss, after);
    const bool met = after <= idle + 10 && browserRss > 0;
    std::printf("TABLE|RSS after browser open+close (MB)|%.1f|%.1f (idle)|%.2f|<= idle + 10 MB\n", after,
        idle, after / idle);
    // The browser's renderer runs in QtWebEngineProcess, counted on neither side.
    std::printf(
        "TABLE|RSS with browser open: player + browser process (MB)|%.1f + %.1f|-|-|-\n", open, browserRss);
    return met ? 0 : 1;
}
