// The stream recorder against live channels on the loopback server: what it
// writes plays without a hole, through a dead connection, a source switch and
// a disk that fills up.
#include "engine/StreamRecorder.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LiveStream.h"
#include "tests/support/MediaProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace
{

// A disk with `size` bytes of which the folder's files use what they use.
class SmallDisk : public FreeSpace
{
public:
    SmallDisk(QString folder, qint64 size)
        : m_folder(std::move(folder))
        , m_size(size)
    {
    }
    qint64 freeBytes(const QString &) const override
    {
        qint64 used = 0;
        for (const QFileInfo &file : QDir(m_folder).entryInfoList(QDir::Files))
            used += file.size();
        return m_size - used;
    }

private:
    QString m_folder;
    qint64 m_size;
};

RecordingSource from(const QString &address)
{
    RecordingSource source;
    source.address = address;
    return source;
}

} // namespace

class StreamRecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void recordsTheProgrammeWithoutAHole_data();
    void recordsTheProgrammeWithoutAHole();
    void deadConnectionAndSourceSwitchCostUnderFiveSeconds();
    void existingFileIsNeverOverwritten();
    void refusedAddressRecordsNothing_data();
    void refusedAddressRecordsNothing();
    void fullDiskStopsCleanlyAndTheFilePlaysToTheEnd();

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<LoopbackHttpServer> server;
    QString mounted;
};

void StreamRecorderTest::init()
{
    folder = std::make_unique<QTemporaryDir>();
    server = std::make_unique<LoopbackHttpServer>();
}

void StreamRecorderTest::cleanup()
{
    server.reset();
    if (!mounted.isEmpty())
        QProcess::execute(QStringLiteral("umount"), { QStringLiteral("-l"), mounted });
    mounted.clear();
    folder.reset();
}

void StreamRecorderTest::recordsTheProgrammeWithoutAHole_data()
{
    QTest::addColumn<bool>("hls");
    QTest::newRow("MPEG-TS") << false;
    QTest::newRow("HLS") << true;
}

void StreamRecorderTest::recordsTheProgrammeWithoutAHole()
{
    QFETCH(bool, hls);
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a"), 4));
    const QString path = folder->filePath(QStringLiteral("Canal 2025-01-31 20h00.ts"));
    StreamRecorder recorder(path);
    QSignalSpy finished(&recorder, &StreamRecorder::finished);
    QVERIFY(recorder.start(from(hls ? live.hlsUrl() : live.tsUrl())));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.secondsWritten() > 12, 15000 * Fixtures::slowdown);
    recorder.stop();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QCOMPARE(finished[0][0].value<StreamRecorder::Outcome>(), StreamRecorder::Outcome::Stopped);
    QCOMPARE(recorder.files(), QStringList { path });
    const MediaProbe probe = MediaProbe::of(path);
    QCOMPARE(probe.gaps, 0);
    QVERIFY2(probe.duration > 11, qPrintable(QString::number(probe.duration)));
    QVERIFY(std::abs(probe.duration - recorder.secondsWritten()) < 1.0);
    QCOMPARE(MediaProbe::decodingErrors(path), QString());
}

void StreamRecorderTest::deadConnectionAndSourceSwitchCostUnderFiveSeconds()
{
    LiveStream first(*server, LiveStream::named(QStringLiteral("/a")));
    LiveStream second(*server, LiveStream::named(QStringLiteral("/b")));
    StreamRecorderSettings settings;
    settings.stallMs = 1000;
    const QString path = folder->filePath(QStringLiteral("Canal.ts"));
    StreamRecorder recorder(path, settings);
    QSignalSpy interrupted(&recorder, &StreamRecorder::interrupted);
    QSignalSpy resumed(&recorder, &StreamRecorder::resumed);
    QSignalSpy finished(&recorder, &StreamRecorder::finished);
    QElapsedTimer wall;
    QObject::connect(&recorder, &StreamRecorder::partStarted, [&] { wall.start(); });
    QVERIFY(recorder.start(from(first.tsUrl())));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.secondsWritten() > 1.5, 10000 * Fixtures::slowdown);
    first.hangOpenConnections();
    QTRY_COMPARE_WITH_TIMEOUT(resumed.size(), 1, 10000 * Fixtures::slowdown);
    QCOMPARE(interrupted.size(), 1);
    const double before = recorder.secondsWritten();
    QVERIFY(recorder.switchSource(from(second.tsUrl())));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.secondsWritten() > before + 2, 10000 * Fixtures::slowdown);
    recorder.stop();
    const double recorded = double(wall.elapsed()) / 1000;
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);

    QCOMPARE(recorder.files(), QStringList { path });
    const MediaProbe probe = MediaProbe::of(path);
    QCOMPARE(probe.gaps, 0);
    // Nothing dropped beyond what the interruptions cost: the programme in
    // the file is the time recorded less the losses (half a second of slack for the
    // picture group cut at each end).
    QVERIFY2(probe.duration > recorded - recorder.secondsLost() - 0.5,
        qPrintable(QStringLiteral("%1 s in the file, %2 s recorded, %3 s lost")
                       .arg(probe.duration)
                       .arg(recorded)
                       .arg(recorder.secondsLost())));
    QVERIFY2(recorder.secondsLost() <= 5, qPrintable(QString::number(recorder.secondsLost())));
    QCOMPARE(MediaProbe::decodingErrors(path), QString());
}

void StreamRecorderTest::existingFileIsNeverOverwritten()
{
    LiveStream live(*server, LiveStream::named(QStringLiteral("/a"), 4));
    const QString path = folder->filePath(QStringLiteral("Canal.ts"));
    QFile existing(path);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("older recording");
    existing.close();
    StreamRecorder recorder(path);
    QSignalSpy finished(&recorder, &StreamRecorder::finished);
    QVERIFY(recorder.start(from(live.tsUrl())));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.secondsWritten() > 2, 10000 * Fixtures::slowdown);
    recorder.stop();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("older recording"));
    QCOMPARE(recorder.files(), QStringList { folder->filePath(QStringLiteral("Canal (parte 2).ts")) });
}

void StreamRecorderTest::refusedAddressRecordsNothing_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("local file") << QStringLiteral("/etc/passwd");
    QTest::newRow("file scheme") << QStringLiteral("file:///etc/passwd");
    QTest::newRow("filter graph") << QStringLiteral("lavfi://testsrc");
    QTest::newRow("concat") << QStringLiteral("concat:/etc/passwd|/etc/group");
}

void StreamRecorderTest::refusedAddressRecordsNothing()
{
    QFETCH(QString, address);
    StreamRecorder recorder(folder->filePath(QStringLiteral("x.ts")));
    QVERIFY(!recorder.start(from(address)));
    QVERIFY(!recorder.isRunning());
    QVERIFY(QDir(folder->path()).isEmpty());
}

void StreamRecorderTest::fullDiskStopsCleanlyAndTheFilePlaysToTheEnd()
{
    // A real small disk where the machine lets the test make one; otherwise a
    // disk of the same size seen through the free-space reader.
    constexpr qint64 diskBytes = 12 << 20;
    const QString disk = folder->filePath(QStringLiteral("disk"));
    QDir().mkpath(disk);
    SmallDisk small(disk, diskBytes);
    StreamRecorderSettings settings;
    settings.minimumFreeBytes = 2 << 20;
    if (QProcess::execute(QStringLiteral("mount"),
            { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                QStringLiteral("size=%1").arg(diskBytes), QStringLiteral("tmpfs"), disk })
        == 0)
        mounted = disk;
    else
        settings.freeSpace = &small;
    qInfo("disk: %s", mounted.isEmpty() ? "free-space reader" : "tmpfs mount");

    LiveStream live(*server, LiveStream::named(QStringLiteral("/a"), 16));
    const QString path = disk + QStringLiteral("/Canal.ts");
    StreamRecorder recorder(path, settings);
    QSignalSpy finished(&recorder, &StreamRecorder::finished);
    QVERIFY(recorder.start(from(live.tsUrl())));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 30000 * Fixtures::slowdown);
    QCOMPARE(finished[0][0].value<StreamRecorder::Outcome>(), StreamRecorder::Outcome::DiskFull);
    const qint64 size = QFileInfo(path).size();
    QVERIFY2(
        size > 4 << 20 && size <= diskBytes - settings.minimumFreeBytes, qPrintable(QString::number(size)));
    const MediaProbe probe = MediaProbe::of(path);
    QCOMPARE(probe.gaps, 0);
    QVERIFY(std::abs(probe.duration - recorder.secondsWritten()) < 1.0);
    QCOMPARE(MediaProbe::decodingErrors(path), QString());
}

QTEST_GUILESS_MAIN(StreamRecorderTest)
#include "streamrecorder_test.moc"
