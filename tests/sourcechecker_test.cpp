// The background check against loopback servers: what each answer makes of
// a source, HLS followed to its first segment, and the limits: four
// connections at most, one request per server per interval, a cancel that
// leaves nothing behind.
#include "lists/SourceChecker.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <mutex>

using Response = LoopbackHttpServer::Response;
Q_DECLARE_METATYPE(SourceProbe)
Q_DECLARE_METATYPE(SourceHealth)

namespace
{

Response answer(
    int status, const QByteArray &body = "\x47 some transport stream", const QByteArray &type = "video/mp2t")
{
    Response r;
    r.status = status;
    r.body = body;
    r.contentType = type;
    return r;
}

SourceProbe probe(const QString &address, const QString &list = QStringLiteral("list1"))
{
    SourceProbe p;
    p.listId = list;
    p.address = address;
    return p;
}

// Waits for the check to end; the answers by address.
QHash<QString, SourceHealth> checkedAll(
    SourceChecker &checker, const QVector<SourceProbe> &probes, int ms = 20000)
{
    QHash<QString, SourceHealth> found;
    QObject::connect(&checker, &SourceChecker::checked, &checker,
        [&found](const SourceProbe &p, SourceHealth h) { found.insert(p.address, h); });
    QSignalSpy finished(&checker, &SourceChecker::finished);
    checker.check(probes);
    if (!finished.wait(ms))
        return {};
    return found;
}

// Counts what a server sees: requests in flight at once across servers, and
// when each server was asked.
struct Watch {
    std::mutex mutex;
    int inFlight = 0;
    int mostInFlight = 0;
    QElapsedTimer clock;
    QHash<quint16, QVector<qint64>> startsByServer;

    int startsOf(quint16 server)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return int(startsByServer.value(server).size());
    }

    Response slowStream(quint16 server, int holdMs)
    {
        Response r;
        r.produce = [this, server, holdMs](const QByteArray &, LoopbackHttpServer::BodyWriter &writer) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                startsByServer[server].append(clock.elapsed());
                mostInFlight = std::max(mostInFlight, ++inFlight);
            }
            writer.wait(holdMs);
            {
                std::lock_guard<std::mutex> lock(mutex);
                --inFlight;
            }
            writer.write("\x47\x40\x00\x10", 4);
        };
        return r;
    }
};

} // namespace

class SourceCheckerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<SourceProbe>();
        qRegisterMetaType<SourceHealth>();
    }

    void answersAreClassified()
    {
        LoopbackHttpServer server;
        server.setResponse(QStringLiteral("/ts"), answer(200));
        server.setResponse(QStringLiteral("/empty"), answer(200, QByteArray()));
        server.setResponse(QStringLiteral("/forbidden"), answer(403));
        server.setResponse(QStringLiteral("/legal"), answer(451));
        server.setResponse(QStringLiteral("/login"), answer(401));
        server.setResponse(QStringLiteral("/error"), answer(500));
        Response stalled = answer(200);
        stalled.stallAfterBytes = 0;
        server.setResponse(QStringLiteral("/stalled"), stalled);
        // HLS: a master playlist, its variant, the variant's first segment.
        server.setResponse(QStringLiteral("/live/master.m3u8"),
            answer(200, "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=800000\nlow/index.m3u8\n",
                "application/vnd.apple.mpegurl"));
        server.setResponse(QStringLiteral("/live/low/index.m3u8"),
            answer(200, "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\n/seg/1.ts\n#EXTINF:2,\n/seg/2.ts\n",
                "text/plain"));
        server.setResponse(QStringLiteral("/seg/1.ts"), answer(200));
        server.setResponse(QStringLiteral("/broken.m3u8"),
            answer(200, "#EXTM3U\n#EXTINF:2,\nmissing.ts\n", "application/x-mpegurl"));
        server.setResponse(
            QStringLiteral("/nothing.m3u8"), answer(200, "#EXTM3U\n#EXT-X-ENDLIST\n", "text/plain"));

        const QString refused = QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::unusedPort());
        const QHash<QString, SourceHealth> expected {
            { server.url(QStringLiteral("/ts")), SourceHealth::Playing },
            { server.url(QStringLiteral("/empty")), SourceHealth::Dead },
            { server.url(QStringLiteral("/absent")), SourceHealth::Dead },
            { server.url(QStringLiteral("/forbidden")), SourceHealth::Blocked },
            { server.url(QStringLiteral("/legal")), SourceHealth::Blocked },
            { server.url(QStringLiteral("/login")), SourceHealth::NeedsLogin },
            { server.url(QStringLiteral("/error")), SourceHealth::Dead },
            { server.url(QStringLiteral("/stalled")), SourceHealth::Dead },
            { server.url(QStringLiteral("/live/master.m3u8")), SourceHealth::Playing },
            { server.url(QStringLiteral("/broken.m3u8")), SourceHealth::Dead },
            { server.url(QStringLiteral("/nothing.m3u8")), SourceHealth::Dead },
            { refused, SourceHealth::Dead },
            { QStringLiteral("rtmp://127.0.0.1/live/x"), SourceHealth::Unknown },
        };
        QVector<SourceProbe> probes;
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
            probes << probe(it.key());
        SourceChecker checker(nullptr, { 4, 20, 2000, 1000 });
        QCOMPARE(checkedAll(checker, probes), expected);
        // The segment of the master playlist's variant was asked, the second one never.
        QString heads;
        for (const QByteArray &request : server.requests())
            heads += QString::fromLatin1(request.left(request.indexOf('\r'))) + u'\n';
        QVERIFY2(heads.contains(QStringLiteral("GET /seg/1.ts")), qPrintable(heads));
        QVERIFY(!heads.contains(QStringLiteral("GET /seg/2.ts")));
    }

    void checkKeepsItsLimits()
    {
        Watch watch;
        watch.clock.start();
        std::vector<std::unique_ptr<LoopbackHttpServer>> servers;
        QVector<SourceProbe> probes;
        for (int s = 0; s < 6; ++s) {
            servers.push_back(std::make_unique<LoopbackHttpServer>());
            LoopbackHttpServer &server = *servers.back();
            for (int i = 0; i < 3; ++i) {
                const QString path = QStringLiteral("/c%1").arg(i);
                server.setResponse(path, watch.slowStream(server.port(), 300));
                probes << probe(server.url(path));
            }
        }
        // The same stream in a second list is asked once and answered for both.
        probes << probe(servers.front()->url(QStringLiteral("/c0")), QStringLiteral("list2"));
        // Asked a full interval after its answer: however late a request arrives, never closer.
        constexpr int interval = 400;
        SourceChecker checker(nullptr, { 4, interval, 2000, 3000 });
        QSignalSpy progress(&checker, &SourceChecker::progress);
        QSignalSpy checked(&checker, &SourceChecker::checked);
        const QHash<QString, SourceHealth> found = checkedAll(checker, probes);
        QCOMPARE(found.size(), 18);
        QCOMPARE(checked.count(), 19);
        for (const SourceHealth h : found)
            QCOMPARE(h, SourceHealth::Playing);
        QCOMPARE(progress.last().at(0).toInt(), 18);
        QCOMPARE(progress.last().at(1).toInt(), 18);
        QCOMPARE(checker.isRunning(), false);

        std::lock_guard<std::mutex> lock(watch.mutex);
        QCOMPARE(watch.mostInFlight, 4); // reached, never passed
        for (auto it = watch.startsByServer.constBegin(); it != watch.startsByServer.constEnd(); ++it) {
            QCOMPARE(it->size(), 3);
            for (int i = 1; i < it->size(); ++i)
                QVERIFY2(it->at(i) - it->at(i - 1) >= interval,
                    qPrintable(QStringLiteral("server %1 asked again after %2 ms")
                                   .arg(it.key())
                                   .arg(it->at(i) - it->at(i - 1))));
        }
    }

    void cancelLeavesNothingBehind()
    {
        Watch watch;
        watch.clock.start();
        LoopbackHttpServer server;
        QVector<SourceProbe> probes;
        for (int i = 0; i < 6; ++i) {
            const QString path = QStringLiteral("/c%1").arg(i);
            server.setResponse(path, watch.slowStream(server.port(), 2000));
            probes << probe(server.url(path));
        }
        SourceChecker checker(nullptr, { 4, 10, 2000, 5000 });
        QSignalSpy checked(&checker, &SourceChecker::checked);
        QSignalSpy finished(&checker, &SourceChecker::finished);
        checker.check(probes);
        QVERIFY(checker.isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(watch.startsOf(server.port()) > 0, 5000);
        checker.cancel();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(!checker.isRunning());
        QTest::qWait(300);
        QCOMPARE(checked.count(), 0);
        // A new check after a cancel starts afresh.
        server.setResponse(QStringLiteral("/ok"), answer(200));
        QCOMPARE(checkedAll(checker, { probe(server.url(QStringLiteral("/ok"))) }).size(), 1);
    }
};

QTEST_GUILESS_MAIN(SourceCheckerTest)
#include "sourcechecker_test.moc"
