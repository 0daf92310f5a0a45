// Pause and rewind of live channels with the real engine (null outputs) and
// live channels on the loopback server; and a recording that goes on while
// the engine watches, changes and stops other channels.
#include "engine/LiveBuffer.h"
#include "engine/MpvEngine.h"
#include "engine/PausedStreamSockets.h"
#include "engine/StreamRecorder.h"
#include "recording/RecorderService.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LiveStream.h"
#include "tests/support/MediaProbe.h"
#include "tests/support/OpenFiles.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <cmath>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

using Fixtures::slowdown;

constexpr MediaEngine::State playing = MediaEngine::State::Playing;

int lowWaterOf(int fd)
{
    int bytes = -1;
    socklen_t size = sizeof bytes;
    getsockopt(fd, SOL_SOCKET, SO_RCVLOWAT, &bytes, &size);
    return bytes;
}

// The low-water marks of this process's TCP connections to (peer) or from
// (local) a loopback port.
QList<int> lowWatersOn(quint16 port, bool peer)
{
    QList<int> marks;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &name : fds.entryList(QDir::Files | QDir::System)) {
        sockaddr_in address {};
        socklen_t size = sizeof address;
        const int fd = name.toInt();
        const int got = peer ? getpeername(fd, reinterpret_cast<sockaddr *>(&address), &size)
                             : getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size);
        if (got == 0 && address.sin_family == AF_INET && ntohs(address.sin_port) == port)
            marks << lowWaterOf(fd);
    }
    return marks;
}

} // namespace

class LiveBufferTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pauseKeepsTheChannelAndPlayResumesWhereItPaused_data();
    void pauseKeepsTheChannelAndPlayResumesWhereItPaused();
    void rewindThenBackToLive();
    void pausedChannelWakesOnlyItsReaderInBatches();
    void onlyTaggedSocketsAreBatched();
    void rewindIsBoundedBySettingsSeconds();
    void fileAtItsBoundRenewsTheBuffer();
    void stopAndTuneFreeTheBuffer();
    void filesPlayWithoutTheBuffer();
    void recordingGoesOnWhileOtherChannelsAreWatched();
    void recordingFromTheStartOfTheBufferKeepsWhatWasKept();
    void keptPartOfAStreamWithLateSoundIsSaved();

private:
    void play(const QString &url);
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<LoopbackHttpServer> server;
    std::unique_ptr<MpvEngine> engine;
    LiveBufferSettings settings;
};

void LiveBufferTest::init()
{
    dir = std::make_unique<QTemporaryDir>();
    server = std::make_unique<LoopbackHttpServer>();
    engine = std::make_unique<MpvEngine>(MpvEngine::Output::Null);
    settings = {};
    settings.folder = dir->filePath(QStringLiteral("cache/live-buffer"));
    engine->liveBuffer()->setSettings(settings);
}

void LiveBufferTest::cleanup()
{
    engine.reset();
    server.reset();
    dir.reset();
}

void LiveBufferTest::play(const QString &url)
{
    engine->setUrl(url);
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 10000 * slowdown);
    QVERIFY(engine->liveBuffer()->isActive());
}

void LiveBufferTest::pauseKeepsTheChannelAndPlayResumesWhereItPaused_data()
{
    QTest::addColumn<bool>("hls");
    QTest::newRow("MPEG-TS") << false;
    QTest::newRow("HLS") << true;
}

void LiveBufferTest::pauseKeepsTheChannelAndPlayResumesWhereItPaused()
{
    QFETCH(bool, hls);
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a")));
    play(hls ? live.hlsUrl() : live.tsUrl());
    QTest::qWait(1000);
    engine->pause();
    const double pausedAt = engine->currentPosition();
    const double behindAtPause = engine->liveBuffer()->secondsBehindLive();
    QTest::qWait(3500);
    QCOMPARE(engine->state(), MediaEngine::State::Paused);
    QCOMPARE(engine->currentPosition(), pausedAt);
    // The channel went on arriving while paused.
    QVERIFY2(engine->liveBuffer()->secondsBehindLive() > behindAtPause + 2.0,
        qPrintable(
            QStringLiteral("%1 -> %2").arg(behindAtPause).arg(engine->liveBuffer()->secondsBehindLive())));
    QVERIFY(engine->liveBuffer()->diskBytes() > 0);
    engine->play();
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() > pausedAt + 0.5, 5000);
    QVERIFY(engine->currentPosition() < pausedAt + 2.0); // from where it paused, not from live
    QVERIFY(engine->liveBuffer()->secondsBehindLive() > 2.0);
}

void LiveBufferTest::pausedChannelWakesOnlyItsReaderInBatches()
{
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a")));
    play(live.tsUrl());
    QTest::qWait(1000);
    const quint16 port = server->port();
    QVERIFY(!lowWatersOn(port, true).isEmpty());
    engine->pause();
    const double behindAtPause = engine->liveBuffer()->secondsBehindLive();
    // A second of the channel (125 kB), once the mark has followed what came.
    const auto batched = [&] {
        const QList<int> marks = lowWatersOn(port, true);
        return std::any_of(marks.begin(), marks.end(), [](int bytes) { return bytes >= 64 * 1024; });
    };
    QTRY_VERIFY2_WITH_TIMEOUT(batched(), qPrintable(QStringLiteral("marks: %1").arg([&] {
        QStringList marks;
        for (int bytes : lowWatersOn(port, true))
            marks << QString::number(bytes);
        return marks.join(u' ');
    }())),
        5000 * slowdown);
    for (int bytes : lowWatersOn(port, false))
        QCOMPARE(bytes, 1); // the server's side of the same connections
    // Still kept while batched: the picture falls behind live with the pause.
    QTRY_VERIFY_WITH_TIMEOUT(
        engine->liveBuffer()->secondsBehindLive() > behindAtPause + 2.5, 5000 * slowdown);
    engine->play();
    for (int bytes : lowWatersOn(port, true))
        QCOMPARE(bytes, 1);
    const double resumedAt = engine->currentPosition();
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() > resumedAt + 0.5, 5000);
}

void LiveBufferTest::onlyTaggedSocketsAreBatched()
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    QVERIFY(bind(listener, reinterpret_cast<sockaddr *>(&address), size) == 0);
    QVERIFY(listen(listener, 4) == 0);
    QVERIFY(getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size) == 0);
    const int tagged = socket(AF_INET, SOCK_STREAM, 0);
    const int other = socket(AF_INET, SOCK_STREAM, 0);
    const int odd = PausedStreamSockets::tagBytes + 2; // near the tag, not it
    const int oddSized = socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(setsockopt(tagged, SOL_SOCKET, SO_SNDBUF, &PausedStreamSockets::tagBytes, sizeof(int)) == 0);
    QVERIFY(setsockopt(oddSized, SOL_SOCKET, SO_SNDBUF, &odd, sizeof odd) == 0);
    for (int fd : { tagged, other, oddSized })
        QVERIFY(::connect(fd, reinterpret_cast<sockaddr *>(&address), size) == 0);

    QCOMPARE(PausedStreamSockets::setLowWater(40000), 1);
    QCOMPARE(lowWaterOf(tagged), 40000);
    QCOMPARE(lowWaterOf(other), 1);
    QCOMPARE(lowWaterOf(oddSized), 1);
    QCOMPARE(PausedStreamSockets::setLowWater(1), 1);
    QCOMPARE(lowWaterOf(tagged), 1);

    // The mark follows what arrives: a second of it, and 1 when nothing came.
    PausedReadBatching batching(100);
    qint64 kept = 1000;
    batching.start(200000, [&] { return kept; });
    QCOMPARE(lowWaterOf(tagged), 200000);
    kept += 5000; // 50 kB a second
    QTRY_COMPARE(lowWaterOf(tagged), 50000);
    QTRY_COMPARE(lowWaterOf(tagged), 1);
    kept += 10000;
    QTRY_COMPARE(lowWaterOf(tagged), 100000);
    batching.stop();
    QCOMPARE(lowWaterOf(tagged), 1);
    QCOMPARE(lowWaterOf(other), 1);
    for (int fd : { tagged, other, oddSized, listener })
        ::close(fd);

    QCOMPARE(PausedStreamSockets::lowWaterFor(0), 0);
    QCOMPARE(PausedStreamSockets::lowWaterFor(2000), 0); // slow radio: not worth it
    QCOMPARE(PausedStreamSockets::lowWaterFor(4e6), 1024 * 1024);
}

void LiveBufferTest::rewindThenBackToLive()
{
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a")));
    play(live.tsUrl());
    LiveBuffer &buffer = *engine->liveBuffer();
    QTRY_VERIFY_WITH_TIMEOUT(buffer.secondsAvailable() > 6, 15000 * slowdown);
    QVERIFY(buffer.atLiveEdge());
    buffer.seekBehindLive(5);
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(buffer.secondsBehindLive() - 5) < 1.2, 5000);
    buffer.seekBy(-1);
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(buffer.secondsBehindLive() - 6) < 1.2, 5000);
    QVERIFY(!buffer.atLiveEdge());
    QTest::qWait(1000);
    QVERIFY(std::abs(buffer.secondsBehindLive() - 6) < 1.5); // it stays behind while it plays
    buffer.returnToLive();
    QTRY_VERIFY_WITH_TIMEOUT(buffer.atLiveEdge(), 5000);
    QCOMPARE(engine->state(), playing);
}

void LiveBufferTest::rewindIsBoundedBySettingsSeconds()
{
    settings.seconds = 10;
    engine->liveBuffer()->setSettings(settings);
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a"), 8));
    play(live.tsUrl());
    LiveBuffer &buffer = *engine->liveBuffer();
    engine->pause();
    // Paused longer than the bound: libmpv stops reading ahead at it.
    QTRY_VERIFY_WITH_TIMEOUT(buffer.secondsBehindLive() > 8, 15000 * slowdown);
    QTest::qWait(2000);
    QVERIFY2(buffer.secondsBehindLive() < 11.5, qPrintable(QString::number(buffer.secondsBehindLive())));
    QVERIFY(buffer.secondsAvailable() <= 10.5);
    engine->play();
    buffer.seekBehindLive(100);
    QTRY_VERIFY_WITH_TIMEOUT(buffer.secondsBehindLive() < 11.5, 5000);
}

void LiveBufferTest::fileAtItsBoundRenewsTheBuffer()
{
    settings.maxBytes = 3 << 20;
    engine->liveBuffer()->setSettings(settings);
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a"), 8));
    play(live.tsUrl());
    LiveBuffer &buffer = *engine->liveBuffer();
    QSignalSpy renewed(&buffer, &LiveBuffer::renewed);
    QSignalSpy statuses(engine.get(), &MediaEngine::stateChanged);
    QTRY_VERIFY_WITH_TIMEOUT(buffer.diskBytes() > 2 << 20, 15000 * slowdown);
    QTRY_COMPARE_WITH_TIMEOUT(renewed.size(), 1, 10000 * slowdown);
    QTRY_VERIFY_WITH_TIMEOUT(buffer.isActive() && buffer.diskBytes() < 2 << 20, 10000 * slowdown);
    QCOMPARE(engine->state(), playing);
    QCOMPARE(statuses.size(), 0); // quietly: nothing for the reconnection to see
}

void LiveBufferTest::stopAndTuneFreeTheBuffer()
{
    LiveStream first(*server, LiveStream::named(QStringLiteral("/a")));
    LiveStream second(*server, LiveStream::named(QStringLiteral("/b")));
    play(first.tsUrl());
    LiveBuffer &buffer = *engine->liveBuffer();
    QTRY_VERIFY_WITH_TIMEOUT(buffer.diskBytes() > 0, 10000 * slowdown);
    QCOMPARE(filesOpenIn(settings.folder), 1);
    QVERIFY(QDir(settings.folder).isEmpty()); // unlinked from the start
    play(second.tsUrl());
    QTRY_COMPARE_WITH_TIMEOUT(filesOpenIn(settings.folder), 1, 5000);
    engine->stop();
    QVERIFY(!buffer.isActive());
    QCOMPARE(buffer.secondsBehindLive(), 0.0);
    QTRY_COMPARE_WITH_TIMEOUT(filesOpenIn(settings.folder), 0, 5000);
}

void LiveBufferTest::filesPlayWithoutTheBuffer()
{
    engine->setUrl(Fixtures::path(QStringLiteral("clip5.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 10000);
    QVERIFY(!engine->liveBuffer()->isActive());
    engine->setCurrentPosition(3);
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() >= 3, 3000);
    engine->liveBuffer()->returnToLive(); // ignored
    QVERIFY(engine->currentPosition() >= 3);
    QCOMPARE(filesOpenIn(settings.folder), 0);
}

void LiveBufferTest::recordingGoesOnWhileOtherChannelsAreWatched()
{
    LiveStream recorded(*server, LiveStream::named(QStringLiteral("/a")));
    LiveStream watched(*server, LiveStream::named(QStringLiteral("/b")));
    LiveStream other(*server, LiveStream::named(QStringLiteral("/c")));
    const QString path = dir->filePath(QStringLiteral("Canal A.ts"));
    StreamRecorder recorder(path);
    QSignalSpy finished(&recorder, &StreamRecorder::finished);
    QSignalSpy interrupted(&recorder, &StreamRecorder::interrupted);
    RecordingSource source;
    source.address = recorded.tsUrl();
    QVERIFY(recorder.start(source));
    play(watched.tsUrl());
    QTest::qWait(1500);
    play(other.hlsUrl());
    QTest::qWait(1000);
    engine->stop();
    engine->setUrl(Fixtures::path(QStringLiteral("clip2.mp4")));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.secondsWritten() > 4, 10000 * slowdown);
    recorder.stop();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QCOMPARE(interrupted.size(), 0);
    const MediaProbe probe = MediaProbe::of(path);
    QCOMPARE(probe.gaps, 0);
    QVERIFY(probe.duration > 4);
}

void LiveBufferTest::recordingFromTheStartOfTheBufferKeepsWhatWasKept()
{
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a")));
    play(live.tsUrl());
    QTRY_VERIFY_WITH_TIMEOUT(engine->liveBuffer()->secondsAvailable() > 5, 15000 * slowdown);
    WallClock clock;
    RecordingList list(dir->filePath(QStringLiteral("recordings.json")));
    RecordingSchedule schedule(dir->filePath(QStringLiteral("schedule.json")), clock);
    RecorderService::Settings recording;
    recording.folder = dir->filePath(QStringLiteral("videos"));
    RecorderService service(list, schedule, recording);
    QSignalSpy saved(engine->liveBuffer(), &LiveBuffer::saved);
    QSignalSpy stopped(&service, &RecorderService::stopped);
    RecordingSource source;
    source.address = live.tsUrl();
    const QString id = service.startFromBuffer(QStringLiteral("Canal"), source, *engine->liveBuffer());
    QVERIFY(!id.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(saved.size(), 1, 10000 * slowdown);
    QVERIFY(saved[0][1].toBool());
    QTRY_VERIFY_WITH_TIMEOUT(
        list.find(id)->files.size() == 2 && list.find(id)->seconds > 7, 15000 * slowdown);
    service.stop(id);
    QTRY_COMPARE_WITH_TIMEOUT(stopped.size(), 1, 10000);
    const QStringList files = list.find(id)->files;
    QVERIFY2(files[1].endsWith(QStringLiteral(" (parte 2).ts")), qPrintable(files[1]));
    const MediaProbe kept = MediaProbe::of(files[0]);
    QVERIFY2(kept.duration > 4.5, qPrintable(QString::number(kept.duration)));
    QCOMPARE(kept.gaps, 0);
    QVERIFY(MediaProbe::of(files[1]).duration > 1);
}

void LiveBufferTest::keptPartOfAStreamWithLateSoundIsSaved()
{
    // ffmpeg's muxer sends the sound 0.7 s behind the picture. Joined at the
    // start of a segment, the probe must wait for the sound, or the kept part
    // could not be written: its header needs the sound's parameters.
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a")));
    LiveStream next(*server, LiveStream::named(QStringLiteral("/b")));
    QTest::qWait(int((1 - std::fmod(live.streamSeconds(), 1.0)) * 1000));
    play(live.tsUrl());
    LiveBuffer &buffer = *engine->liveBuffer();
    QTRY_VERIFY_WITH_TIMEOUT(buffer.secondsAvailable() > 3, 15000 * slowdown);
    const QString path = dir->filePath(QStringLiteral("kept.ts"));
    QSignalSpy saved(&buffer, &LiveBuffer::saved);
    QVERIFY(buffer.saveKept(path));
    engine->setUrl(next.tsUrl()); // at once: the save does not care
    QTRY_COMPARE_WITH_TIMEOUT(saved.size(), 1, 15000 * slowdown);
    QVERIFY(saved[0][1].toBool());
    QVERIFY(MediaProbe::of(path).duration > 2.5);
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), playing, 10000 * slowdown);
}

QTEST_MAIN(LiveBufferTest)
#include "livebuffer_test.moc"
