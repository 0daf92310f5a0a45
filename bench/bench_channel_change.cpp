// How fast a channel change shows its first picture, and how fast a stalled
// source gives way to the next, on 5 Mb/s live channels served on loopback by
// a child process (so the server's CPU is not counted here).
//
// Click to first picture: the player tunes from one playing channel to the
// other (a tune is what a click does) until the engine shows the new
// channel's first frame; the reference is bare mpv (`mpv --no-config`)
// changing between the same addresses in the same run, told by its IPC
// socket to load the next one and timed to its "playback-restart" event,
// which is the event our engine's first frame comes from; both waits are
// woken by the event itself. Both with null video and audio outputs, one
// playing at a time, trials interleaved so both see the same load.
// Goal: median of 10 <= 1.0x mpv on MPEG-TS and HLS, and <= 1 s on HLS.
//
// Failover: a channel with two sources plays the first; its connection then
// hangs (no byte, no close); the time until the second source's first frame.
// Goal <= 6 s. The reference: the same with the switching off, the time until
// the engine gives the stream up and the reconnection question would come.
#include "bench/LiveChannels.h"
#include "bench/PlayingCpu.h"
#include "engine/LiveBuffer.h"
#include "engine/MpvEngine.h"
#include "player/AlternateAddresses.h"
#include "player/Player.h"
#include "player/Reconnection.h"
#include "player/SourceFailover.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

using namespace PlayingCpu;

namespace
{

constexpr int Trials = 10;
constexpr int FailoverTrials = 5;
// The fixture channels' segments: one picture group each.
constexpr double kSegmentSeconds = 1.0;
const QString kChannel = QStringLiteral("Lumivortex TV - Canal de Teste");

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

// Runs the event loop until `done` holds, checked whenever `sender` emits
// `signal`: woken by the event itself, as the program is, not by polling.
template <typename Sender, typename Signal>
bool waitFor(Sender *sender, Signal signal, const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    timeout.start(timeoutMs);
    loop.exec();
    return done();
}

// Bare mpv, idle, driven through its JSON IPC socket.
class BareMpv
{
public:
    explicit BareMpv(const QString &dir)
    {
        const QString socket = dir + QStringLiteral("/mpv.sock");
        m_process.start(QStringLiteral("mpv"),
            { QStringLiteral("--no-config"), QStringLiteral("--idle=yes"), QStringLiteral("--vo=null"),
                QStringLiteral("--ao=null"), QStringLiteral("--really-quiet"),
                QStringLiteral("--input-ipc-server=") + socket });
        if (!m_process.waitForStarted())
            fail("mpv could not be started");
        if (!runUntil(
                [&] {
                    m_socket.connectToServer(socket);
                    return m_socket.waitForConnected(50);
                },
                10000))
            fail("mpv's IPC socket did not open");
    }
    ~BareMpv() { endTree(m_process); }

    // Milliseconds from the load command to the first frame; -1 on failure.
    double load(const QString &url)
    {
        m_socket.readAll();
        const QJsonObject command { { QStringLiteral("command"),
            QJsonArray { QStringLiteral("loadfile"), url, QStringLiteral("replace") } } };
        QElapsedTimer clock;
        clock.start();
        m_socket.write(QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n');
        m_socket.flush();
        bool shown = false;
        waitFor(
            &m_socket, &QLocalSocket::readyRead,
            [&] {
                while (m_socket.canReadLine())
                    if (m_socket.readLine().contains("\"playback-restart\""))
                        shown = true;
                return shown;
            },
            20000);
        return shown ? double(clock.nsecsElapsed()) / 1e6 : -1;
    }

    void stop()
    {
        m_socket.write(R"({"command":["stop"]})"
                       "\n");
        m_socket.flush();
    }

private:
    QProcess m_process;
    QLocalSocket m_socket;
};

struct Ours {
    // The live buffer is on by default: it writes the channel to the cache
    // folder (a temporary one here), and it makes the engine learn the sound's
    // parameters before the first picture so that what it kept can be saved.
    explicit Ours(bool liveBuffer = false)
        : player(std::make_unique<MpvEngine>(MpvEngine::Output::Null))
    {
        LiveBufferSettings buffer;
        buffer.enabled = liveBuffer;
        player.engine().liveBuffer()->setSettings(buffer);
        QObject::connect(&player.engine(), &MediaEngine::firstFrameShown, [this] { ++frames; });
        QObject::connect(&player.engine(), &MediaEngine::stateChanged, [this](MediaEngine::State state) {
            if (state == MediaEngine::State::Failed)
                ++failures;
        });
    }
    double tune(const QString &url)
    {
        const int before = frames;
        QElapsedTimer clock;
        clock.start();
        player.tune({ kChannel, url, false });
        const bool shown = waitFor(
            &player.engine(), &MediaEngine::firstFrameShown, [&] { return frames > before; }, 20000);
        return shown ? double(clock.nsecsElapsed()) / 1e6 : -1;
    }
    Player player;
    int frames = 0;
    int failures = 0;
};

struct Change {
    double ours;
    double mpv;
};

// A live server hands a new client the current segment from its start up to
// now, so how long the first picture takes depends on where in its segment
// the click falls. Trials at a steady rhythm would fall on the same place for
// each player every time; instead both load each trial at the same place,
// and the places are spread over the whole segment.
void waitForSegmentPlace(LiveChannels::Server &server, int channel, double place)
{
    const double clock = server.clock(channel);
    const double into = std::fmod(clock, kSegmentSeconds);
    const double wait = std::fmod(place * kSegmentSeconds - into + kSegmentSeconds, kSegmentSeconds);
    runFor(int(wait * 1000));
}

Change channelChanges(Ours &ours, BareMpv &mpv, LiveChannels::Server &server, const QStringList &urls)
{
    QList<double> oursMs;
    QList<double> mpvMs;
    // The first load of each warms what both keep between channels.
    ours.tune(urls[1]);
    ours.player.engine().stop();
    mpv.load(urls[1]);
    mpv.stop();
    for (int trial = 0; trial < Trials; ++trial) {
        const int channel = trial % 2;
        const QString url = urls[channel];
        const double place = ((trial * 3) % Trials + 0.5) / Trials;
        // One plays at a time, and they take turns at going first.
        double a = -1;
        double b = -1;
        for (int turn = 0; turn < 2; ++turn) {
            runFor(300);
            waitForSegmentPlace(server, channel, place);
            if ((turn + trial) % 2 == 0) {
                a = ours.tune(url);
                ours.player.engine().stop();
            } else {
                b = mpv.load(url);
                mpv.stop();
            }
        }
        if (a < 0 || b < 0)
            fail("a channel change showed no picture");
        oursMs << a;
        mpvMs << b;
    }
    return { median(oursMs), median(mpvMs) };
}

// Milliseconds from the first source's hang to the second source's first
// frame (switching on) or to the engine giving up (off).
double stallToNextPicture(LiveChannels::Server &server, bool switching)
{
    Ours ours;
    ours.player.failover().setEnabled(switching);
    ours.player.alternates().setEntries(kChannel, { server.ts[0], server.ts[1] });
    if (ours.tune(server.ts[0]) < 0)
        fail("the first source showed no picture");
    runFor(2000);
    const int frames = ours.frames;
    const int failures = ours.failures;
    QElapsedTimer clock;
    clock.start();
    server.hang(0);
    const bool done
        = runUntil([&] { return switching ? ours.frames > frames : ours.failures > failures; }, 30000);
    if (!done || (switching && ours.player.engine().url() != server.ts[1]))
        fail("the stalled source was not given up");
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (LiveChannels::serveIfAsked(argc, argv))
        return 0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));
    QApplication app(argc, argv);
    LiveChannels::Server server(argv[0], 1, { QStringLiteral("/a"), QStringLiteral("/b") });
    runFor(3000); // both channels have a few segments out

    bool met = true;
    for (const bool liveBuffer : { true, false }) {
        Ours ours(liveBuffer);
        BareMpv mpv(dir.path());
        const Change hls = channelChanges(ours, mpv, server, server.hls);
        const Change ts = channelChanges(ours, mpv, server, server.ts);
        const char *how = liveBuffer ? "live buffer on (default)" : "live buffer off";
        std::printf(
            "click to first picture, %s, median of %d (ms): HLS %.0f (mpv %.0f), MPEG-TS %.0f (mpv %.0f)\n",
            how, Trials, hls.ours, hls.mpv, ts.ours, ts.mpv);
        std::printf("TABLE|click to first picture, local HLS, %s, median of %d (ms)|%.0f|%.0f (mpv "
                    "--no-config)|%.2f|<= 1.0x mpv, <= 1000 ms\n",
            how, Trials, hls.ours, hls.mpv, hls.ours / hls.mpv);
        std::printf("TABLE|click to first picture, local MPEG-TS, %s, median of %d (ms)|%.0f|%.0f (mpv "
                    "--no-config)|%.2f|<= 1.0x mpv\n",
            how, Trials, ts.ours, ts.mpv, ts.ours / ts.mpv);
        met = met && hls.ours <= hls.mpv && ts.ours <= ts.mpv && hls.ours <= 1000;
    }

    QList<double> switched;
    for (int trial = 0; trial < FailoverTrials; ++trial)
        switched << stallToNextPicture(server, true);
    const double reference = stallToNextPicture(server, false);
    const double failover = median(switched);
    std::printf("stalled source to the next source's picture, median of %d: %.0f ms (switching off: given up "
                "after %.0f ms)\n",
        FailoverTrials, failover, reference);
    std::printf("TABLE|failover: stalled source to the next source's picture, median of %d (ms)|%.0f|%.0f "
                "(switching off: engine gives up, question)|%.2f|<= 6000 ms\n",
        FailoverTrials, failover, reference, failover / reference);
    met = met && failover <= 6000;
    return met ? 0 : 1;
}
