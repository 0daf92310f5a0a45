// A 30-minute pause on a 5 Mb/s live channel, then play (the channel served
// time-accelerated by a child process, so the pause takes minutes, not half
// an hour): no hole in the picture when it resumes, memory over playing the
// same channel without the buffer (goal <= 200 MB), and CPU while paused
// (goal <= 0.5 %, measured at the channel's real rate; a longer pause costs
// the same per second, as the buffer only appends). Each figure is measured
// in a process of its own so that one phase's memory does not stay in the next.
// The floors beside it: the channel only received into a file (curl), and
// received, demultiplexed and written again (ffmpeg -c copy).
//   bench_live_buffer [--minutes M] [--speed S]    (defaults: 30 min at 10x)
#include "bench/LiveChannels.h"
#include "bench/PlayingCpu.h"
#include "engine/LiveBuffer.h"
#include "engine/MpvEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTemporaryDir>
#include <cstdio>

using namespace PlayingCpu;

namespace
{

constexpr MediaEngine::State playing = MediaEngine::State::Playing;

void result(const char *key, double value)
{
    std::printf("RESULT %s %.3f\n", key, value);
    std::fflush(stdout);
}

void playUntilPlaying(MpvEngine &engine, const QString &url)
{
    engine.setUrl(url);
    if (!runUntil([&] { return engine.state() == playing; }, 30000))
        fail("the engine did not play the channel");
}

// Without the buffer: memory while the channel plays, CPU paused (libmpv's
// memory cache fills, then stops reading).
int phaseWithoutBuffer(const char *program)
{
    LiveChannels::Server server(program, 1, { QStringLiteral("/a") });
    MpvEngine engine(MpvEngine::Output::Null);
    LiveBufferSettings off;
    off.enabled = false;
    engine.liveBuffer()->setSettings(off);
    playUntilPlaying(engine, server.ts[0]);
    runFor(20000);
    result("rss", LiveChannels::rssMegabytes());
    engine.pause();
    runFor(kSettleMs);
    result("cpuPaused", ownCpuPercentOver(20));
    engine.stop();
    // The reference: bare mpv paused on the same channel with its cache on disk.
    QTemporaryDir cache;
    QProcess mpv;
    mpv.start(QStringLiteral("mpv"),
        { QStringLiteral("--no-config"), QStringLiteral("--vo=null"), QStringLiteral("--ao=null"),
            QStringLiteral("--really-quiet"), QStringLiteral("--cache=yes"),
            QStringLiteral("--cache-on-disk=yes"), QStringLiteral("--cache-dir=") + cache.path(),
            QStringLiteral("--pause"), server.ts[0] });
    if (!mpv.waitForStarted())
        fail("mpv could not be started");
    runFor(5000);
    result("mpvPaused", treeCpuPercentOver(mpv.processId(), 20));
    endTree(mpv);
    // The floors under any buffer: the channel's bytes only received and
    // written to a file, and received, demultiplexed and written again.
    const QString raw = cache.filePath(QStringLiteral("raw.ts"));
    QProcess curl;
    curl.start(QStringLiteral("curl"), { QStringLiteral("-s"), QStringLiteral("-o"), raw, server.ts[0] });
    if (!curl.waitForStarted())
        fail("curl could not be started");
    runFor(kSettleMs);
    result("receiveOnly", treeCpuPercentOver(curl.processId(), 20));
    endTree(curl);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
        { QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("quiet"),
            QStringLiteral("-i"), server.ts[0], QStringLiteral("-c"), QStringLiteral("copy"),
            QStringLiteral("-f"), QStringLiteral("mpegts"), QStringLiteral("-y"),
            cache.filePath(QStringLiteral("copy.ts")) });
    if (!ffmpeg.waitForStarted())
        fail("ffmpeg could not be started");
    runFor(kSettleMs);
    result("demuxAndWrite", treeCpuPercentOver(ffmpeg.processId(), 20));
    endTree(ffmpeg);
    return 0;
}

int phaseWithBuffer(const char *program, double minutes, double speed)
{
    QTemporaryDir dir;
    LiveBufferSettings on;
    on.folder = dir.filePath(QStringLiteral("live-buffer"));
    on.seconds = int(minutes * 60) + 300;
    {
        LiveChannels::Server server(program, 1, { QStringLiteral("/a") });
        MpvEngine engine(MpvEngine::Output::Null);
        engine.liveBuffer()->setSettings(on);
        playUntilPlaying(engine, server.ts[0]);
        runFor(5000);
        engine.pause();
        runFor(kSettleMs);
        result("cpuPaused", ownCpuPercentOver(20));
    }
    LiveChannels::Server server(program, speed, { QStringLiteral("/a") });
    MpvEngine engine(MpvEngine::Output::Null);
    engine.liveBuffer()->setSettings(on);
    LiveBuffer &buffer = *engine.liveBuffer();
    playUntilPlaying(engine, server.ts[0]);
    runFor(3000);
    engine.pause();
    const double pausedAt = engine.currentPosition();
    QElapsedTimer paused;
    paused.start();
    if (!runUntil([&] { return buffer.secondsBehindLive() >= minutes * 60; },
            int(minutes * 60 / speed * 3000) + 60000))
        fail("the buffer did not fill");
    result("pausedFor", buffer.secondsBehindLive());
    result("pausedWall", double(paused.elapsed()) / 1000);
    result("rss", LiveChannels::rssMegabytes());
    result("diskMB", double(buffer.diskBytes()) / 1e6);
    engine.play();
    bool buffering = false;
    QObject::connect(&engine, &MediaEngine::stateChanged, [&] { buffering |= engine.state() != playing; });
    runFor(500);
    const double resumedAt = engine.currentPosition();
    runFor(5000);
    result("resumeOffset", resumedAt - pausedAt);
    result("playedIn5s", engine.currentPosition() - resumedAt);
    result("buffering", buffering ? 1 : 0);
    result("rssAfterPlay", LiveChannels::rssMegabytes());
    return 0;
}

QHash<QByteArray, double> runPhase(const char *program, const QStringList &args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QString::fromLocal8Bit(program), args);
    child.waitForFinished(-1);
    QHash<QByteArray, double> figures;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.value(0) == "RESULT")
            figures.insert(words.value(1), words.value(2).toDouble());
    }
    if (child.exitCode() != 0 || figures.isEmpty())
        fail("a phase failed");
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    if (LiveChannels::serveIfAsked(argc, argv))
        return 0;
    double minutes = 30;
    double speed = 10;
    QByteArray phase;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--minutes") == 0)
            minutes = QByteArray(argv[i + 1]).toDouble();
        if (qstrcmp(argv[i], "--speed") == 0)
            speed = QByteArray(argv[i + 1]).toDouble();
        if (qstrcmp(argv[i], "--phase") == 0)
            phase = argv[i + 1];
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (phase == "without")
        return phaseWithoutBuffer(argv[0]);
    if (phase == "with")
        return phaseWithBuffer(argv[0], minutes, speed);

    const QHash<QByteArray, double> without
        = runPhase(argv[0], { QStringLiteral("--phase"), QStringLiteral("without") });
    const QHash<QByteArray, double> with = runPhase(argv[0],
        { QStringLiteral("--phase"), QStringLiteral("with"), QStringLiteral("--minutes"),
            QString::number(minutes), QStringLiteral("--speed"), QString::number(speed) });
    const double over = std::max(with["rss"], with["rssAfterPlay"]) - without["rss"];
    const bool noHole
        = std::abs(with["resumeOffset"]) < 1.0 && with["playedIn5s"] > 4.5 && with["buffering"] == 0;
    std::printf(
        "live buffer: %.0f min pause on a 5 Mb/s channel (%.1f min behind live after %.0f s at %.0fx)\n",
        minutes, with["pausedFor"] / 60, with["pausedWall"], speed);
    std::printf("  memory: %.1f MB paused, %.1f MB playing on, against %.1f MB playing without the buffer: "
                "+%.1f MB (goal <= 200 MB); disk %.0f MB\n",
        with["rss"], with["rssAfterPlay"], without["rss"], over, with["diskMB"]);
    std::printf("  play: resumed %.2f s from where it paused, %.2f s played in 5 s, %s (goal: no hole)\n",
        with["resumeOffset"], with["playedIn5s"], with["buffering"] ? "buffered" : "no buffering");
    std::printf(
        "  CPU paused: %.2f %% with the buffer, %.2f %% without, bare mpv paused with its disk cache %.2f %% "
        "(goal <= 0.5 %%)\n",
        with["cpuPaused"], without["cpuPaused"], without["mpvPaused"]);
    std::printf(
        "  floors on the same channel: received into a file %.2f %% (curl), received, demultiplexed and "
        "written %.2f %% (ffmpeg -c copy)\n",
        without["receiveOnly"], without["demuxAndWrite"]);
    std::printf(
        "TABLE|live buffer: memory over playing without it, after a %.0f-min pause at 5 Mb/s (MB)|%.1f|"
        "%.1f (playing without buffer)|-|<= +200 MB\n",
        minutes, over, without["rss"]);
    std::printf(
        "TABLE|live buffer: CPU paused on a 5 Mb/s channel (%%)|%.2f|%.2f (bare mpv, disk cache)|%.2f|"
        "<= 0.5 %%\n",
        with["cpuPaused"], without["mpvPaused"], with["cpuPaused"] / without["mpvPaused"]);
    std::printf(
        "TABLE|live buffer: floor, the channel only received into a file (%%)|%.2f|%.2f (ffmpeg -c copy: "
        "also demultiplexed)|-|-\n",
        without["receiveOnly"], without["demuxAndWrite"]);
    std::printf("TABLE|live buffer: play after the pause, resumed at / played in 5 s (s)|%.2f / %.2f|-|-|"
                "no hole: %s\n",
        with["resumeOffset"], with["playedIn5s"], noHole ? "none" : "HOLE");
    return over <= 200 && with["cpuPaused"] <= 0.5 && noHole ? 0 : 1;
}
