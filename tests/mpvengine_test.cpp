// The real libmpv engine with null outputs, on local media and on loopback
// streams of every kind.
#include "engine/MediaTimeText.h"
#include "engine/MpvEngine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <clocale>
#include <cmath>
#include <limits>
#include <memory>

using Response = LoopbackHttpServer::Response;

namespace
{

using Fixtures::slowdown;

QString fixture(const QString &name)
{
    return Fixtures::path(name);
}

QByteArray fixtureBytes(const QString &name)
{
    return Fixtures::bytes(name);
}

Response body(const QByteArray &bytes, const QByteArray &type)
{
    Response r;
    r.body = bytes;
    r.contentType = type;
    return r;
}

using State = MediaEngine::State;
using States = QList<MediaEngine::State>;
constexpr State idle = State::Idle;
constexpr State failed = State::Failed;
constexpr State stopped = State::Stopped;
constexpr State ended = State::Ended;
constexpr State connecting = State::Opening;
constexpr State playing = State::Playing;
constexpr State paused = State::Paused;

// Every state the engine reports, in order, with what was reported inside
// the call that caused it; the buffer percent of each Buffering report.
struct StatusLog {
    explicit StatusLog(MediaEngine &engine)
    {
        QObject::connect(&engine, &MediaEngine::stateChanged, &engine, [this, &engine](State state) {
            seen << state;
            if (state == State::Buffering)
                bufferPercents << engine.bufferPercent();
        });
    }
    bool contains(State s) const { return seen.contains(s); }
    States seen;
    QList<int> bufferPercents;
};

} // namespace

class MpvEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void timeTextRollsHoursIntoMinutes_data();
    void timeTextRollsHoursIntoMinutes();
    void constructorSetsNumericLocaleToC();
    void fileReachingItsEndReportsEnded();
    void stateOfOwnCallsIsReportedInsideTheCall();
    void pauseFlagDoesNotSurviveUrlWrite();
    void endlessHttpStreamIsLive();
    void liveStreamThatClosesFailsAsInterrupted();
    void slowStreamReportsBuffering();
    void mmsAddressGoesToThePlayerUnchanged();
    void localHlsPlaylistPlaysItsLocalSegments();
    void networkHlsNeverOpensLocalSegments();
    void loopRepeatsTheFile();
    void closeReleasesTheMedia();
    void playlistEntryPlaysWhateverTheMimeType_data();
    void playlistEntryPlaysWhateverTheMimeType();
    void deadFirstEntryFallsToTheNext_data();
    void deadFirstEntryFallsToTheNext();
    void unplayableAddressFailsToOpen_data();
    void unplayableAddressFailsToOpen();
    void staleEventsOfPreviousUrlAreDropped_data();
    void staleEventsOfPreviousUrlAreDropped();
    void stalledStreamEndsWithinNetworkTimeout();
    void manyUrlWritesInARowSettle_data();
    void manyUrlWritesInARowSettle();
    void volumeAndRateAreClamped_data();
    void volumeAndRateAreClamped();
    void seekIsClampedToTheFile();
    void seekWithNothingLoadedIsIgnored();
    void fullScreenRefusedWithNothingLoaded();

private:
    std::unique_ptr<LoopbackHttpServer> server;
    std::unique_ptr<MpvEngine> engine;
};

void MpvEngineTest::init()
{
    server = std::make_unique<LoopbackHttpServer>();
    engine = std::make_unique<MpvEngine>(MpvEngine::Output::Null);
}

void MpvEngineTest::cleanup()
{
    engine.reset();
    server.reset();
}

void MpvEngineTest::timeTextRollsHoursIntoMinutes_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << QStringLiteral("00:00");
    QTest::newRow("fraction dropped") << 59.99 << QStringLiteral("00:59");
    QTest::newRow("one minute") << 60.0 << QStringLiteral("01:00");
    QTest::newRow("hour and a quarter") << 4503.0 << QStringLiteral("75:03");
    QTest::newRow("beyond 99 minutes") << 6000.0 << QStringLiteral("100:00");
    QTest::newRow("negative") << -3.0 << QStringLiteral("00:00");
    QTest::newRow("not a number") << std::nan("") << QString();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QStringLiteral("35791394:07");
}

void MpvEngineTest::timeTextRollsHoursIntoMinutes()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(mediaTimeText(seconds), text);
}

void MpvEngineTest::constructorSetsNumericLocaleToC()
{
    engine.reset();
    std::setlocale(LC_NUMERIC, "C.UTF-8");
    engine = std::make_unique<MpvEngine>(MpvEngine::Output::Null);
    QCOMPARE(QByteArray(std::setlocale(LC_NUMERIC, nullptr)), QByteArray("C"));
}

void MpvEngineTest::fileReachingItsEndReportsEnded()
{
    StatusLog log(*engine);
    QCOMPARE(engine->state(), idle);
    QCOMPARE(engine->durationString(), QString());
    engine->setUrl(fixture(QStringLiteral("clip2.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    QVERIFY(std::abs(engine->duration() - 2.0) < 0.2);
    QCOMPARE(engine->durationString(), QStringLiteral("00:02"));
    QVERIFY(engine->currentPositionString().startsWith(QStringLiteral("00:0")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), ended, 8000);
    QCOMPARE(log.seen, (States { connecting, playing, ended }));
    QCOMPARE(engine->duration(), 0.0);
    QCOMPARE(engine->currentPositionString(), QString());
}

void MpvEngineTest::stateOfOwnCallsIsReportedInsideTheCall()
{
    StatusLog log(*engine);
    engine->stop();
    QCOMPARE(log.seen, States { stopped });
    engine->setUrl(fixture(QStringLiteral("clip5.mp4")));
    QCOMPARE(log.seen, (States { stopped, connecting }));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    engine->pause();
    QCOMPARE(log.seen.last(), paused);
    engine->play();
    QCOMPARE(log.seen.last(), playing);
    engine->stop();
    QCOMPARE(log.seen.last(), stopped);
    engine->setUrl(QString());
    QCOMPARE(log.seen.last(), idle);
    QCOMPARE(engine->url(), QString());
    // Nothing more arrives from the stopped file.
    const qsizetype count = log.seen.size();
    QTest::qWait(300);
    QCOMPARE(log.seen.size(), count);
}

void MpvEngineTest::pauseFlagDoesNotSurviveUrlWrite()
{
    engine->setUrl(fixture(QStringLiteral("clip5.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    engine->pause();
    QCOMPARE(engine->state(), paused);
    engine->setUrl(fixture(QStringLiteral("clip2.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    const double before = engine->currentPosition();
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() > before + 0.2, 3000);
}

void MpvEngineTest::endlessHttpStreamIsLive()
{
    Response r = body(fixtureBytes(QStringLiteral("stream.mp3")), "audio/mpeg");
    r.endless = true;
    r.chunkBytes = 4000;
    r.chunkDelayMs = 100;
    server->setResponse(QStringLiteral("/radio"), r);
    engine->setUrl(server->url(QStringLiteral("/radio")));
    QCOMPARE(engine->state(), connecting);
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 8000);
    QCOMPARE(engine->duration(), 0.0);
    QCOMPARE(engine->durationString(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() > 0.1, 3000);
    const double before = engine->currentPosition();
    engine->setCurrentPosition(before + 60);
    QTest::qWait(200);
    QVERIFY(engine->currentPosition() < before + 5);
    QCOMPARE(engine->state(), playing);
}

void MpvEngineTest::liveStreamThatClosesFailsAsInterrupted()
{
    const QByteArray second = fixtureBytes(QStringLiteral("stream.mp3"));
    Response r = body(second + second, "audio/mpeg");
    r.length = Response::Length::Missing;
    server->setResponse(QStringLiteral("/radio"), r);
    StatusLog log(*engine);
    engine->setUrl(server->url(QStringLiteral("/radio")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    QCOMPARE(engine->duration(), 0.0);
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), failed, 8000);
    QCOMPARE(log.seen, (States { connecting, playing, failed }));
    QCOMPARE(engine->failure(), MediaEngine::Failure::Interrupted);
}

void MpvEngineTest::slowStreamReportsBuffering()
{
    // Half the speed the sound needs: the player keeps running dry.
    Response r = body(fixtureBytes(QStringLiteral("stream.mp3")), "audio/mpeg");
    r.endless = true;
    r.chunkBytes = 1000;
    r.chunkDelayMs = 500;
    server->setResponse(QStringLiteral("/radio"), r);
    StatusLog log(*engine);
    engine->setUrl(server->url(QStringLiteral("/radio")));
    QTRY_VERIFY_WITH_TIMEOUT(log.contains(State::Buffering), 15000);
    QVERIFY(log.seen.indexOf(playing) >= 0);
    QVERIFY(log.seen.indexOf(playing) < log.seen.indexOf(State::Buffering));
    for (int percent : std::as_const(log.bufferPercents))
        QVERIFY2(percent >= 0 && percent <= 100, qPrintable(QString::number(percent)));
    engine->pause();
    QCOMPARE(engine->state(), paused);
}

void MpvEngineTest::mmsAddressGoesToThePlayerUnchanged()
{
    const QString url = QStringLiteral("mms://127.0.0.1:%1/live").arg(server->port());
    engine->setUrl(url);
    QCOMPARE(engine->url(), url);
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), failed, 8000);
    // libmpv spoke MMS over HTTP to the server itself; the resolver never did.
    const QList<QByteArray> requests = server->requests();
    QVERIFY(!requests.isEmpty());
    for (const QByteArray &request : requests) {
        QVERIFY(request.startsWith("GET /live"));
        QVERIFY(!request.contains("LumivortexTV"));
    }
}

void MpvEngineTest::localHlsPlaylistPlaysItsLocalSegments()
{
    // Read as one stream, not as a playlist of one-second files.
    engine->setUrl(fixture(QStringLiteral("hls/index.m3u8")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    QVERIFY2(std::abs(engine->duration() - 4.0) < 0.3, qPrintable(QString::number(engine->duration())));
}

void MpvEngineTest::networkHlsNeverOpensLocalSegments()
{
    QByteArray playlist = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:1\n";
    for (int i = 0; i < 4; ++i) {
        const QString segment = fixture(QStringLiteral("hls/seg%1.ts").arg(i));
        playlist += "#EXTINF:1.0,\n" + QUrl::fromLocalFile(segment).toEncoded() + "\n";
    }
    playlist += "#EXT-X-ENDLIST\n";
    server->setResponse(QStringLiteral("/live.m3u8"), body(playlist, "application/vnd.apple.mpegurl"));
    StatusLog log(*engine);
    engine->setUrl(server->url(QStringLiteral("/live.m3u8")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), failed, 8000);
    QCOMPARE(log.seen, (States { connecting, failed }));
}

void MpvEngineTest::loopRepeatsTheFile()
{
    StatusLog log(*engine);
    engine->setLoop(true);
    QVERIFY(engine->loop());
    engine->setUrl(fixture(QStringLiteral("clip2.mp4")));
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() > 1.5, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() < 1.0, 3000);
    QCOMPARE(engine->state(), playing);
    QVERIFY(!log.contains(ended));
}

void MpvEngineTest::closeReleasesTheMedia()
{
    engine->setUrl(fixture(QStringLiteral("clip5.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    engine->close();
    QCOMPARE(engine->state(), idle);
    QCOMPARE(engine->url(), QString());
    QCOMPARE(engine->duration(), 0.0);
    engine->play(); // nothing to reopen
    QCOMPARE(engine->state(), idle);
}

void MpvEngineTest::playlistEntryPlaysWhateverTheMimeType_data()
{
    QTest::addColumn<QByteArray>("playlist");
    QTest::addColumn<QByteArray>("type");
    QTest::newRow("asx as video/x-ms-asf")
        << QByteArray("<ASX version=\"3.0\"><Entry><Ref href=\"clip.mp4\"/></Entry></ASX>")
        << QByteArray("video/x-ms-asf");
    QTest::newRow("asx as text/html")
        << QByteArray("<asx><entry><ref href=\"/clip.mp4\"/></entry></asx>") << QByteArray("text/html");
    QTest::newRow("reference as video/x-ms-asf")
        << QByteArray("[Reference]\r\nRef1=PORT/clip.mp4\r\n") << QByteArray("video/x-ms-asf");
}

void MpvEngineTest::playlistEntryPlaysWhateverTheMimeType()
{
    QFETCH(QByteArray, playlist);
    QFETCH(QByteArray, type);
    playlist.replace("PORT", server->url(QString()).toUtf8());
    server->setResponse(
        QStringLiteral("/clip.mp4"), body(fixtureBytes(QStringLiteral("clip2.mp4")), "video/mp4"));
    server->setResponse(QStringLiteral("/list"), body(playlist, type));
    StatusLog log(*engine);
    engine->setUrl(server->url(QStringLiteral("/list")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 8000);
    QVERIFY(std::abs(engine->duration() - 2.0) < 0.2);
    QCOMPARE(engine->url(), server->url(QStringLiteral("/list")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), ended, 8000);
    QCOMPARE(log.seen, (States { connecting, playing, ended }));
}

void MpvEngineTest::deadFirstEntryFallsToTheNext_data()
{
    QTest::addColumn<QString>("dead");
    QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::unusedPort());
    QTest::newRow("not found") << QStringLiteral("/missing");
    QTest::newRow("garbage") << QStringLiteral("/garbage");
    QTest::newRow("empty playlist") << QStringLiteral("/empty.asx");
    QTest::newRow("missing local file") << QStringLiteral("/nonexistent/file.mp4");
}

void MpvEngineTest::deadFirstEntryFallsToTheNext()
{
    QFETCH(QString, dead);
    server->setResponse(
        QStringLiteral("/clip.mp4"), body(fixtureBytes(QStringLiteral("clip2.mp4")), "video/mp4"));
    server->setResponse(QStringLiteral("/garbage"), body(QByteArray(20000, 'g'), "audio/mpeg"));
    server->setResponse(QStringLiteral("/empty.asx"), body("<asx version=\"3.0\"></asx>", "video/x-ms-asf"));
    const QByteArray list = "<asx version=\"3.0\"><entry><ref href=\"" + dead.toUtf8()
        + "\"/></entry><entry><ref href=\"/clip.mp4\"/></entry></asx>";
    server->setResponse(QStringLiteral("/list.asx"), body(list, "video/x-ms-asf"));
    StatusLog log(*engine);
    engine->setUrl(server->url(QStringLiteral("/list.asx")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 10000);
    QCOMPARE(log.seen, (States { connecting, playing }));
    QVERIFY(std::abs(engine->duration() - 2.0) < 0.2);
}

void MpvEngineTest::unplayableAddressFailsToOpen_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("not found") << QStringLiteral("/missing");
    QTest::newRow("refused") << QStringLiteral("refused");
    QTest::newRow("garbage body") << QStringLiteral("/garbage");
    QTest::newRow("5 MB non-playlist body") << QStringLiteral("/big");
    QTest::newRow("5 MB page") << QStringLiteral("/bigpage");
    QTest::newRow("empty playlist") << QStringLiteral("/empty.asx");
    QTest::newRow("playlist of dead entries") << QStringLiteral("/dead.asx");
    QTest::newRow("playlist pointing at itself") << QStringLiteral("/loop.asx");
    QTest::newRow("empty body") << QStringLiteral("/nothing");
    QTest::newRow("missing local file") << QStringLiteral("/nonexistent/file.mp4");
}

void MpvEngineTest::unplayableAddressFailsToOpen()
{
    QFETCH(QString, path);
    server->setResponse(QStringLiteral("/garbage"), body(QByteArray(20000, 'g'), "audio/mpeg"));
    const QByteArray line = "not a stream, only text\n";
    const QByteArray big = line.repeated(5 * 1024 * 1024 / line.size() + 1);
    server->setResponse(QStringLiteral("/big"), body(big, "application/octet-stream"));
    server->setResponse(QStringLiteral("/bigpage"), body("<html>" + big, "text/html"));
    server->setResponse(QStringLiteral("/empty.asx"), body("<asx version=\"3.0\"></asx>", "video/x-ms-asf"));
    server->setResponse(QStringLiteral("/dead.asx"),
        body("<asx><entry><ref href=\"/missing1\"/><ref href=\"/missing2\"/></entry></asx>", "text/plain"));
    server->setResponse(QStringLiteral("/loop.asx"),
        body("<asx><entry><ref href=\"/loop.asx\"/></entry></asx>", "text/plain"));
    server->setResponse(QStringLiteral("/nothing"), body(QByteArray(), "audio/mpeg"));
    const QString url = path == QLatin1String("refused")
        ? QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::unusedPort())
        : path.startsWith(QLatin1String("/nonexistent")) ? path
                                                         : server->url(path);
    StatusLog log(*engine);
    QElapsedTimer clock;
    clock.start();
    engine->setUrl(url);
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), failed, 12000 * slowdown);
    QVERIFY2(clock.elapsed() < 11000 * slowdown, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(log.seen, (States { connecting, failed }));
    QCOMPARE(engine->failure(), MediaEngine::Failure::CouldNotOpen);
}

void MpvEngineTest::staleEventsOfPreviousUrlAreDropped_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<MediaEngine::State>("final");
    QTest::addColumn<double>("duration");
    QTest::newRow("file, then refused")
        << QStringLiteral("file:clip2.mp4") << QStringLiteral("refused") << failed << 0.0;
    QTest::newRow("slow playlist, then refused")
        << QStringLiteral("/slow.asx") << QStringLiteral("refused") << failed << 0.0;
    QTest::newRow("slow playlist, then file")
        << QStringLiteral("/slow.asx") << QStringLiteral("file:clip5.mp4") << playing << 5.0;
    QTest::newRow("http file, then file")
        << QStringLiteral("/clip.mp4") << QStringLiteral("file:clip5.mp4") << playing << 5.0;
    QTest::newRow("missing file, then file")
        << QStringLiteral("file:none.mp4") << QStringLiteral("file:clip5.mp4") << playing << 5.0;
    QTest::newRow("file, then http file")
        << QStringLiteral("file:clip5.mp4") << QStringLiteral("/clip.mp4") << playing << 2.0;
}

void MpvEngineTest::staleEventsOfPreviousUrlAreDropped()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(MediaEngine::State, final);
    QFETCH(double, duration);
    server->setResponse(
        QStringLiteral("/clip.mp4"), body(fixtureBytes(QStringLiteral("clip2.mp4")), "video/mp4"));
    Response slow = body("<asx><entry><ref href=\"/clip.mp4\"/></entry></asx>", "video/x-ms-asf");
    slow.chunkBytes = 8;
    slow.chunkDelayMs = 20;
    server->setResponse(QStringLiteral("/slow.asx"), slow);
    const auto address = [this](const QString &what) {
        if (what == QLatin1String("refused"))
            return QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::unusedPort());
        if (what.startsWith(QLatin1String("file:")))
            return fixture(what.mid(5));
        return server->url(what);
    };
    engine->setUrl(address(first));
    // A busy GUI thread: libmpv opens (or fails) the first address meanwhile,
    // and its events wait in the queue when the second address is written.
    QThread::msleep(700);
    StatusLog log(*engine);
    engine->setUrl(address(second));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), final, 8000);
    QCOMPARE(log.seen, (States { connecting, final }));
    QVERIFY(std::abs(engine->duration() - duration) < 0.2);
    // Whatever the first address would still have said stays unheard.
    QTest::qWait(1500);
    QCOMPARE(log.seen, (States { connecting, final }));
}

void MpvEngineTest::stalledStreamEndsWithinNetworkTimeout()
{
    QByteArray audio;
    while (audio.size() < 200000)
        audio += fixtureBytes(QStringLiteral("stream.mp3"));
    Response r = body(audio, "audio/mpeg");
    r.endless = true;
    r.stallAfterBytes = 16000; // four seconds of sound
    server->setResponse(QStringLiteral("/radio"), r);
    StatusLog log(*engine);
    engine->setUrl(server->url(QStringLiteral("/radio")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), failed, 15000 * slowdown);
    QVERIFY2(clock.elapsed() < 13000 * slowdown, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!log.contains(ended) && !log.contains(stopped));
}

void MpvEngineTest::manyUrlWritesInARowSettle_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<MediaEngine::State>("final");
    QTest::newRow("local file") << QStringLiteral("clip2.mp4") << playing;
    QTest::newRow("refused address") << QStringLiteral("refused") << failed;
}

void MpvEngineTest::manyUrlWritesInARowSettle()
{
    QFETCH(QString, target);
    QFETCH(MediaEngine::State, final);
    const QString url = target == QLatin1String("refused")
        ? QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::unusedPort())
        : fixture(target);
    for (int i = 0; i < 1000; ++i) {
        engine->setUrl(url);
        QCOMPARE(engine->state(), connecting);
        if (i % 100 == 0)
            QCoreApplication::processEvents();
    }
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), final, 10000);
}

void MpvEngineTest::volumeAndRateAreClamped_data()
{
    QTest::addColumn<int>("volume");
    QTest::addColumn<int>("volumeRead");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("rateRead");
    QTest::newRow("inside") << 37 << 37 << 1.5 << 1.5;
    QTest::newRow("below") << -20 << 0 << -1.0 << 0.01;
    QTest::newRow("zero rate") << 0 << 0 << 0.0 << 0.01;
    QTest::newRow("above") << 400 << 100 << 1000.0 << 100.0;
}

void MpvEngineTest::volumeAndRateAreClamped()
{
    QFETCH(int, volume);
    QFETCH(int, volumeRead);
    QFETCH(double, rate);
    QFETCH(double, rateRead);
    QCOMPARE(engine->volume(), 50);
    engine->setVolume(volume);
    engine->setRate(rate);
    QCOMPARE(engine->volume(), volumeRead);
    QCOMPARE(engine->rate(), rateRead);
    engine->setUrl(fixture(QStringLiteral("clip2.mp4")));
    engine->setRate(rate);
    engine->setVolume(volume);
    QCOMPARE(engine->rate(), rateRead);
    QCOMPARE(engine->volume(), volumeRead);
}

void MpvEngineTest::seekIsClampedToTheFile()
{
    engine->setUrl(fixture(QStringLiteral("clip5.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 5000);
    engine->pause();
    engine->setCurrentPosition(3.0);
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(engine->currentPosition() - 3.0) < 0.3, 3000);
    QCOMPARE(engine->currentPositionString(), QStringLiteral("00:03"));
    engine->setCurrentPosition(-10);
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() < 0.3, 3000);
    engine->setCurrentPosition(std::nan(""));
    QTest::qWait(100);
    QVERIFY(engine->currentPosition() < 0.3);
    // Past the end: the position lands on the end, which ends the file normally.
    StatusLog log(*engine);
    engine->play();
    engine->setCurrentPosition(1e9);
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), ended, 5000);
    QCOMPARE(log.seen, (States { playing, ended }));
}

void MpvEngineTest::seekWithNothingLoadedIsIgnored()
{
    engine->setCurrentPosition(12);
    QCOMPARE(engine->currentPosition(), 0.0);
    QCOMPARE(engine->currentPositionString(), QString());
    engine->pause();
    engine->play();
    QCOMPARE(engine->state(), idle);
}

void MpvEngineTest::fullScreenRefusedWithNothingLoaded()
{
    QVERIFY_THROWS_EXCEPTION(EngineError, engine->setFullScreen(true));
    QVERIFY(!engine->isFullScreen());
    engine->setUrl(fixture(QStringLiteral("clip2.mp4")));
    engine->setFullScreen(true);
    QVERIFY(engine->isFullScreen());
    engine->setFullScreen(false);
    QVERIFY(!engine->isFullScreen());
}

QTEST_MAIN(MpvEngineTest)
#include "mpvengine_test.moc"
