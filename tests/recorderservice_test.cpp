// The recorder service with real recorders on the loopback server: a
// scheduled recording that starts and ends when its timer says, the file's
// name, the disk-full message.
#include "recording/RecorderService.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LiveStream.h"
#include "tests/support/MediaProbe.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace
{

class FakeClock : public WallClock
{
public:
    QDateTime now() const override { return time; }
    QDateTime time = QDateTime::currentDateTime();
};

class NoRoom : public FreeSpace
{
public:
    qint64 freeBytes(const QString &) const override { return 100 << 20; }
};

} // namespace

class RecorderServiceTest : public QObject
{
    Q_OBJECT

private slots:
    void scheduledRecordingStartsAndEndsOnTime();
    void fullDiskIsSaidAndMarked();
    void fileNameNeverRepeats();
};

void RecorderServiceTest::scheduledRecordingStartsAndEndsOnTime()
{
    QTemporaryDir dir;
    LoopbackHttpServer server;
    LiveStream::Options options;
    options.speed = 4;
    LiveStream live(server, options);
    FakeClock clock;
    RecordingList list(dir.filePath(QStringLiteral("recordings.json")));
    RecordingSchedule schedule(dir.filePath(QStringLiteral("schedule.json")), clock);
    RecorderService::Settings settings;
    settings.folder = dir.filePath(QStringLiteral("Vídeos/Lumivortex"));
    RecorderService service(list, schedule, settings);
    QSignalSpy changed(&service, &RecorderService::recordingChanged);
    QSignalSpy stopped(&service, &RecorderService::stopped);
    schedule.load();

    ScheduledRecording entry;
    entry.channel = QStringLiteral("Canal Um");
    entry.address = live.tsUrl();
    entry.start = clock.time.addSecs(300);
    entry.end = clock.time.addSecs(360);
    QVERIFY(schedule.add(entry));
    QCOMPARE(schedule.timer().interval(), 300 * 1000);
    QVERIFY(!service.isRecording());

    clock.time = entry.start;
    schedule.fireDue(); // what the timer runs when it fires
    QVERIFY(service.isRecording());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(schedule.timer().interval(), 60 * 1000);
    QTRY_VERIFY_WITH_TIMEOUT(list.recordings().value(0).seconds > 4, 15000 * Fixtures::slowdown);

    clock.time = entry.end;
    schedule.fireDue(); // what the timer runs when it fires
    QTRY_COMPARE_WITH_TIMEOUT(stopped.size(), 1, 10000);
    QVERIFY(!service.isRecording());
    QCOMPARE(changed.size(), 2);
    QVERIFY(schedule.entries().isEmpty());
    const Recording r = list.recordings().value(0);
    QCOMPARE(r.state, Recording::State::Finished);
    QCOMPARE(r.files.size(), 1);
    QVERIFY2(QRegularExpression(
                 QStringLiteral("/Vídeos/Lumivortex/Canal Um \\d{4}-\\d\\d-\\d\\d \\d\\dh\\d\\d\\.ts$"))
                 .match(r.files[0])
                 .hasMatch(),
        qPrintable(r.files[0]));
    QVERIFY(MediaProbe::of(r.files[0]).duration > 4);
}

void RecorderServiceTest::fullDiskIsSaidAndMarked()
{
    QTemporaryDir dir;
    LoopbackHttpServer server;
    LiveStream live(server, {});
    FakeClock clock;
    RecordingList list(dir.filePath(QStringLiteral("recordings.json")));
    RecordingSchedule schedule(dir.filePath(QStringLiteral("schedule.json")), clock);
    NoRoom noRoom;
    RecorderService::Settings settings;
    settings.folder = dir.path();
    settings.recorder.freeSpace = &noRoom;
    RecorderService service(list, schedule, settings);
    QSignalSpy messages(&service, &RecorderService::message);
    QSignalSpy stopped(&service, &RecorderService::stopped);
    RecordingSource source;
    source.address = live.tsUrl();
    QVERIFY(!service.start(QStringLiteral("Canal"), source).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(stopped.size(), 1, 15000 * Fixtures::slowdown);
    QCOMPARE(stopped[0][1].value<Recording::State>(), Recording::State::DiskFull);
    QCOMPARE(list.recordings().value(0).state, Recording::State::DiskFull);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0][0].toString().contains(QStringLiteral("disco está quase cheio")));
}

void RecorderServiceTest::fileNameNeverRepeats()
{
    QTemporaryDir dir;
    const QDateTime when(QDate(2025, 1, 31), QTime(20, 5));
    const QString first = RecorderService::freeFileName(dir.path(), QStringLiteral("A/B\nC"), when);
    QCOMPARE(first, dir.filePath(QStringLiteral("A B C 2025-01-31 20h05.ts")));
    QFile(first).open(QIODevice::WriteOnly);
    QCOMPARE(RecorderService::freeFileName(dir.path(), QStringLiteral("A/B\nC"), when),
        dir.filePath(QStringLiteral("A B C 2025-01-31 20h05 2.ts")));
}

QTEST_GUILESS_MAIN(RecorderServiceTest)
#include "recorderservice_test.moc"
