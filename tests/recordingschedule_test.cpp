// The schedule of recordings: one timer armed for the next moment that
// matters, starts and ends handed on then, what passed while closed reported.
#include "recording/RecordingSchedule.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace
{

class FakeClock : public WallClock
{
public:
    QDateTime now() const override { return time; }
    QDateTime time = QDateTime(QDate(2025, 1, 31), QTime(19, 0));
};

ScheduledRecording between(const QDateTime &start, const QDateTime &end)
{
    ScheduledRecording e;
    e.channel = QStringLiteral("Canal Um");
    e.address = QStringLiteral("http://127.0.0.1:1/live.ts");
    e.start = start;
    e.end = end;
    return e;
}

} // namespace

class RecordingScheduleTest : public QObject
{
    Q_OBJECT

private slots:
    void timerFiresAtTheStartThenAtTheEnd();
    void guideProgrammeGetsTwoMinutesBeforeAndFiveAfter();
    void impossibleTimesAreRefused();
    void whatPassedWhileClosedIsReportedAtStart_data();
    void whatPassedWhileClosedIsReportedAtStart();
    void longWaitIsCutSoAClockChangeIsSeen();

private:
    QTemporaryDir dir;
    QString store() const { return dir.filePath(QStringLiteral("schedule.json")); }
};

void RecordingScheduleTest::timerFiresAtTheStartThenAtTheEnd()
{
    QFile::remove(store());
    FakeClock clock;
    RecordingSchedule schedule(store(), clock);
    schedule.load();
    QSignalSpy starts(&schedule, &RecordingSchedule::startDue);
    QSignalSpy ends(&schedule, &RecordingSchedule::endDue);
    QVERIFY(schedule.add(between(clock.time.addSecs(600), clock.time.addSecs(2400))));
    QVERIFY(schedule.timer().isActive());
    QCOMPARE(schedule.timer().interval(), 600 * 1000);

    clock.time = clock.time.addSecs(600);
    schedule.fireDue();
    QCOMPARE(starts.size(), 1);
    QCOMPARE(starts[0][0].value<ScheduledRecording>().channel, QStringLiteral("Canal Um"));
    QCOMPARE(schedule.timer().interval(), 1800 * 1000);
    // A timer firing early (the clock was set back) hands nothing on twice.
    schedule.fireDue();
    QCOMPARE(starts.size(), 1);
    QCOMPARE(ends.size(), 0);

    clock.time = clock.time.addSecs(1800);
    schedule.fireDue();
    QCOMPARE(ends.size(), 1);
    QVERIFY(schedule.entries().isEmpty());
    QVERIFY(!schedule.timer().isActive());
}

void RecordingScheduleTest::guideProgrammeGetsTwoMinutesBeforeAndFiveAfter()
{
    QFile::remove(store());
    FakeClock clock;
    RecordingSchedule schedule(store(), clock);
    const QDateTime start = clock.time.addSecs(3600);
    QVERIFY(schedule.addProgramme(QStringLiteral("Canal"), QStringLiteral("http://127.0.0.1:1/a"),
        QStringLiteral("Jornal"), start, start.addSecs(1800)));
    QCOMPARE(schedule.entries().size(), 1);
    QCOMPARE(schedule.entries()[0].start, start.addSecs(-120));
    QCOMPARE(schedule.entries()[0].end, start.addSecs(1800 + 300));
    QCOMPARE(schedule.entries()[0].programme, QStringLiteral("Jornal"));
}

void RecordingScheduleTest::impossibleTimesAreRefused()
{
    QFile::remove(store());
    FakeClock clock;
    RecordingSchedule schedule(store(), clock);
    QVERIFY(!schedule.add(between(clock.time.addSecs(60), clock.time.addSecs(60))));
    QVERIFY(!schedule.add(between(clock.time.addSecs(60), clock.time.addSecs(-60))));
    QVERIFY(!schedule.add(between(clock.time.addSecs(-600), clock.time.addSecs(-60))));
    QVERIFY(schedule.entries().isEmpty());
}

void RecordingScheduleTest::whatPassedWhileClosedIsReportedAtStart_data()
{
    QTest::addColumn<int>("closedFor"); // seconds after the entry was made
    QTest::addColumn<int>("missed");
    QTest::addColumn<int>("started");
    QTest::newRow("before the start") << 60 << 0 << 0;
    QTest::newRow("during: the rest is recorded") << 900 << 0 << 1;
    QTest::newRow("after the end: missed") << 4000 << 1 << 0;
}

void RecordingScheduleTest::whatPassedWhileClosedIsReportedAtStart()
{
    QFETCH(int, closedFor);
    QFETCH(int, missed);
    QFETCH(int, started);
    QFile::remove(store());
    FakeClock clock;
    {
        RecordingSchedule first(store(), clock);
        first.load();
        QVERIFY(first.add(between(clock.time.addSecs(600), clock.time.addSecs(1800))));
    }
    clock.time = clock.time.addSecs(closedFor);
    RecordingSchedule next(store(), clock);
    QSignalSpy missedSpy(&next, &RecordingSchedule::missed);
    QSignalSpy starts(&next, &RecordingSchedule::startDue);
    next.load();
    QCOMPARE(missedSpy.size(), missed);
    QCOMPARE(starts.size(), started);
    QCOMPARE(next.entries().size(), missed ? 0 : 1);
    if (missed)
        QCOMPARE(
            missedSpy[0][0].value<QList<ScheduledRecording>>().value(0).channel, QStringLiteral("Canal Um"));
}

void RecordingScheduleTest::longWaitIsCutSoAClockChangeIsSeen()
{
    QFile::remove(store());
    FakeClock clock;
    RecordingSchedule schedule(store(), clock);
    QVERIFY(schedule.add(between(clock.time.addDays(2), clock.time.addDays(2).addSecs(60))));
    QCOMPARE(schedule.timer().interval(), 3600 * 1000);
    QSignalSpy starts(&schedule, &RecordingSchedule::startDue);
    schedule.fireDue(); // an hour later by the timer, but the wall clock did not move
    QCOMPARE(starts.size(), 0);
    QVERIFY(schedule.timer().isActive());
}

QTEST_GUILESS_MAIN(RecordingScheduleTest)
#include "recordingschedule_test.moc"
