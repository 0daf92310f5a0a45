// Checking 1,000 sources served by loopback servers, 20 % of them dead
// (refused or 404) and 10 % slow (first bytes after a second), a quarter of
// them HLS (playlist, then the first segment). Goals: done within 60 s, never
// more than 4 connections at once, never more than one request a second to
// one server, no GUI-thread stall over 50 ms. Reference, measured in the same
// run: the floor the limits allow (the busiest server's requests, one a second).
#include "bench/StallProbe.h"
#include "lists/SourceChecker.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

namespace
{

constexpr int Sources = 1000;
constexpr int Servers = 50;
constexpr int SlowMs = 1000;

struct Watch {
    std::mutex mutex;
    QElapsedTimer clock;
    int inFlight = 0;
    int mostInFlight = 0;
    QHash<int, std::vector<qint64>> starts; // server -> request times (ms)

    void begin(int server)
    {
        std::lock_guard<std::mutex> lock(mutex);
        starts[server].push_back(clock.elapsed());
        mostInFlight = std::max(mostInFlight, ++inFlight);
    }
    void end()
    {
        std::lock_guard<std::mutex> lock(mutex);
        --inFlight;
    }
};

LoopbackHttpServer::Response counted(
    Watch &watch, int server, int status, const QByteArray &body, int delayMs)
{
    LoopbackHttpServer::Response r;
    r.status = status;
    r.produce = [&watch, server, body, delayMs](const QByteArray &, LoopbackHttpServer::BodyWriter &writer) {
        watch.begin(server);
        if (delayMs > 0)
            writer.wait(delayMs);
        if (!body.isEmpty())
            writer.write(body.constData(), body.size());
        watch.end();
    };
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Watch watch;
    watch.clock.start();
    std::vector<std::unique_ptr<LoopbackHttpServer>> servers;
    for (int s = 0; s < Servers; ++s)
        servers.push_back(std::make_unique<LoopbackHttpServer>());
    // Refused sources are spread over ports as the live ones are over servers:
    // the ports of servers that have gone.
    std::vector<quint16> refusedPorts;
    for (int s = 0; s < Servers; ++s)
        refusedPorts.push_back(LoopbackHttpServer().port());

    QVector<SourceProbe> probes;
    int expectedPlaying = 0;
    int requestsOfBusiest = 0;
    QHash<int, int> requestsOf;
    const QByteArray ts("\x47\x40\x00\x10 transport stream", 22);
    for (int i = 0; i < Sources; ++i) {
        // Every tenth source of a kind, ten in a row on one server: each serves all kinds.
        const int s = (i / 10) % Servers;
        LoopbackHttpServer &server = *servers[size_t(s)];
        SourceProbe probe;
        probe.listId = QStringLiteral("list1");
        const int kind = i % 10;
        if (kind == 0) { // dead: nobody listens
            probe.address = QStringLiteral("http://127.0.0.1:%1/dead/%2").arg(refusedPorts[size_t(s)]).arg(i);
        } else if (kind == 1) { // dead: 404
            const QString path = QStringLiteral("/gone/%1").arg(i);
            server.setResponse(path, counted(watch, s, 404, {}, 0));
            probe.address = server.url(path);
            ++requestsOf[s];
        } else if (kind == 2) { // slow
            const QString path = QStringLiteral("/slow/%1.ts").arg(i);
            server.setResponse(path, counted(watch, s, 200, ts, SlowMs));
            probe.address = server.url(path);
            ++expectedPlaying;
            ++requestsOf[s];
        } else if (kind <= 5) { // HLS: playlist and segment
            const QString path = QStringLiteral("/hls/%1/index.m3u8").arg(i);
            server.setResponse(
                path, counted(watch, s, 200, "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nseg1.ts\n", 0));
            server.setResponse(QStringLiteral("/hls/%1/seg1.ts").arg(i), counted(watch, s, 200, ts, 0));
            probe.address = server.url(path);
            ++expectedPlaying;
            requestsOf[s] += 2;
        } else {
            const QString path = QStringLiteral("/live/%1.ts").arg(i);
            server.setResponse(path, counted(watch, s, 200, ts, 0));
            probe.address = server.url(path);
            ++expectedPlaying;
            ++requestsOf[s];
        }
        probes.append(probe);
    }
    for (const int n : std::as_const(requestsOf))
        requestsOfBusiest = std::max(requestsOfBusiest, n);

    SourceChecker checker;
    int playing = 0;
    int dead = 0;
    QObject::connect(&checker, &SourceChecker::checked, [&](const SourceProbe &, SourceHealth health) {
        playing += health == SourceHealth::Playing;
        dead += health == SourceHealth::Dead;
    });
    bool done = false;
    QObject::connect(&checker, &SourceChecker::finished, [&done] { done = true; });
    double idle = 0;
    {
        StallProbe probe;
        StallProbe::runFor(1000);
        idle = probe.longestMs();
    }
    StallProbe probe;
    QElapsedTimer elapsed;
    elapsed.start();
    checker.check(probes);
    while (!done && elapsed.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = double(elapsed.elapsed()) / 1000;
    const double stall = probe.longestMs();

    qint64 closest = -1;
    {
        std::lock_guard<std::mutex> lock(watch.mutex);
        for (auto it = watch.starts.begin(); it != watch.starts.end(); ++it) {
            std::sort(it->begin(), it->end());
            for (size_t k = 1; k < it->size(); ++k) {
                const qint64 gap = (*it)[k] - (*it)[k - 1];
                closest = closest < 0 ? gap : std::min(closest, gap);
            }
        }
    }
    const double floor = double(requestsOfBusiest - 1);
    std::printf("source check: %d sources on %d loopback servers, %d playing, %d dead\n", Sources, Servers,
        playing, dead);
    std::printf("  done in                            : %6.1f s   (goal <= 60 s)\n", seconds);
    std::printf("  floor of one request a second (ref): %6.1f s   (%d requests on the busiest server)\n",
        floor, requestsOfBusiest);
    std::printf("  most connections at once           : %6d     (goal <= 4)\n", watch.mostInFlight);
    std::printf("  closest two requests to one server : %6lld ms  (goal >= 1000 ms)\n", qlonglong(closest));
    std::printf("  longest GUI-thread gap (5 ms timer): %6.1f ms  (goal <= 50 ms)\n", stall);
    std::printf("  same timer, idle GUI thread (ref)  : %6.1f ms\n", idle);
    std::printf(
        "TABLE|source check: 1,000 sources, 20 %% dead, 10 %% slow (s)|%.1f|%.1f (one request a second "
        "floor)|%.2f|<= 60 s\n",
        seconds, floor, floor > 0 ? seconds / floor : 0.0);
    std::printf("TABLE|source check: most connections, closest requests to one server (ms), GUI stall "
                "(ms)|%d, %lld, %.1f|%.1f (idle GUI thread)|-|<= 4, >= 1000, <= 50\n",
        watch.mostInFlight, qlonglong(closest), stall, idle);
    const bool met = done && seconds <= 60 && watch.mostInFlight <= 4 && closest >= 1000 && stall <= 50
        && playing == expectedPlaying && dead == Sources - expectedPlaying;
    return met ? 0 : 1;
}
