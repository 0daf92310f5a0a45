// Throughput of HttpDownload on a 200 MB loopback download beside `curl -o` in the
// same run, and how much of the GUI thread the progress hand-overs take.
#include "tests/support/LoopbackHttpServer.h"
#include "update/HttpDownload.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace
{

double threadCpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

struct Run {
    double seconds = 0;
    int progressCalls = 0;
    double guiCpuMs = 0;
    bool ok = false;
};

Run runCurl(const QString &url, const QString &file)
{
    Run run;
    QElapsedTimer clock;
    clock.start();
    const int code = QProcess::execute(
        QStringLiteral("curl"), { QStringLiteral("-s"), QStringLiteral("-o"), file, url });
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.ok = code == 0;
    return run;
}

Run runComponent(const QString &url, const QString &file, int progressIntervalMs)
{
    Run run;
    HttpDownload get;
    get.setURL(url);
    get.setFileName(file);
    get.setProgressIntervalMs(progressIntervalMs);
    get.OnProgress = [&run](QObject *, qint64, qint64) { ++run.progressCalls; };
    get.OnDoneFile = [&run](QObject *, const QString &, qint64) { run.ok = true; };
    const double cpuBefore = threadCpuMs();
    QElapsedTimer clock;
    clock.start();
    get.StartDownload();
    while (get.isRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.guiCpuMs = threadCpuMs() - cpuBefore;
    return run;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 size = 200LL * 1024 * 1024;
    const int rounds = 5;

    LoopbackHttpServer server;
    LoopbackHttpServer::Response response;
    response.body = QByteArray(size, 'L');
    server.setResponse(QStringLiteral("/update.bin"), response);
    const QString url = server.url(QStringLiteral("/update.bin"));
    QTemporaryDir dir;
    const QString curlFile = dir.filePath(QStringLiteral("curl.bin"));
    const QString ourFile = dir.filePath(QStringLiteral("httpget.bin"));

    QList<double> curlSeconds;
    QList<double> ourSeconds;
    Run last;
    for (int i = 0; i < rounds; ++i) {
        // Alternate so that neither side always meets a warm or a cold page cache.
        const Run c = runCurl(url, curlFile);
        const Run h = runComponent(url, ourFile, 50);
        if (!c.ok || !h.ok || QFileInfo(curlFile).size() != size || QFileInfo(ourFile).size() != size) {
            std::fprintf(stderr, "download failed (curl %d, HttpDownload %d)\n", c.ok, h.ok);
            return 1;
        }
        curlSeconds.append(c.seconds);
        ourSeconds.append(h.seconds);
        last = h;
        QFile::remove(curlFile);
        QFile::remove(ourFile);
    }

    // Every block handed over, on a tenth of the size: why the hand-overs are capped.
    LoopbackHttpServer::Response small;
    small.body = QByteArray(size / 10, 'L');
    server.setResponse(QStringLiteral("/small.bin"), small);
    const Run uncapped = runComponent(server.url(QStringLiteral("/small.bin")), ourFile, 0);
    const Run cappedSmall = runComponent(server.url(QStringLiteral("/small.bin")), ourFile, 50);

    const double mb = size / (1024.0 * 1024.0);
    const double curlMedian = median(curlSeconds);
    const double ourMedian = median(ourSeconds);
    std::printf("download: 200 MB over loopback, median of %d rounds\n", rounds);
    std::printf("  curl -o            %8.3f s  %8.1f MB/s\n", curlMedian, mb / curlMedian);
    std::printf("  HttpDownload           %8.3f s  %8.1f MB/s  (%.2fx curl, goal >= 0.90x)\n", ourMedian,
        mb / ourMedian, curlMedian / ourMedian);
    std::printf("  progress calls     %8d in last round (%.1f per s), GUI thread CPU %.1f ms (%.1f%% of the "
                "transfer)\n",
        last.progressCalls, last.progressCalls / last.seconds, last.guiCpuMs,
        100.0 * last.guiCpuMs / (last.seconds * 1000.0));
    std::printf("  20 MB, every block %8.3f s  %8d calls, GUI thread CPU %.1f ms\n", uncapped.seconds,
        uncapped.progressCalls, uncapped.guiCpuMs);
    std::printf("  20 MB, capped 50ms %8.3f s  %8d calls, GUI thread CPU %.1f ms\n", cappedSmall.seconds,
        cappedSmall.progressCalls, cappedSmall.guiCpuMs);
    // One row for bench/run's table: figure|ours|reference|ratio|goal.
    std::printf("TABLE|download 200 MB (MB/s)|%.1f|%.1f (curl)|%.2f|>= 0.9x curl\n", mb / ourMedian,
        mb / curlMedian, curlMedian / ourMedian);
    return curlMedian / ourMedian >= 0.9 ? 0 : 2;
}
