#include "options/SleepSchedule.h"

#include <QtTest>

namespace
{
const QDate Day(2031, 5, 14);

QDateTime at(const QDate &date, const char *time)
{
    return QDateTime(date, QTime::fromString(QLatin1String(time), QStringLiteral("hh:mm:ss.zzz")), Qt::UTC);
}
QDateTime at(const char *time)
{
    return at(Day, time);
}
} // namespace

class SleepScheduleTest : public QObject
{
    Q_OBJECT

private slots:
    void firesOnceWhenTheTimeFallsBetweenTicks_data();
    void firesOnceWhenTheTimeFallsBetweenTicks();
    void twoTicksInTheChosenSecondStopOnlyOnce();
    void firesAgainTheNextDay();
    void localClockCrossingTheTimeFires();
    void listHoldsEveryQuarterHourOfTheDay();
    void parseTimeRejectsWhatIsNotATimeOfDay_data();
    void parseTimeRejectsWhatIsNotATimeOfDay();
};

void SleepScheduleTest::firesOnceWhenTheTimeFallsBetweenTicks_data()
{
    QTest::addColumn<bool>("armed");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QDateTime>("previous");
    QTest::addColumn<QDateTime>("current");
    QTest::addColumn<bool>("due");

    const QString eleven = QStringLiteral("23:00:00");
    QTest::newRow("tick in the chosen second")
        << true << eleven << at("22:59:59.400") << at("23:00:00.400") << true;
    QTest::newRow("tick exactly on the time")
        << true << eleven << at("22:59:59.000") << at("23:00:00.000") << true;
    QTest::newRow("previous tick exactly on the time")
        << true << eleven << at("23:00:00.000") << at("23:00:01.000") << false;
    QTest::newRow("late tick skips the chosen second")
        << true << eleven << at("22:59:59.900") << at("23:00:01.100") << true;
    QTest::newRow("late tick crossing the time")
        << true << eleven << at("22:59:58.900") << at("23:00:02.100") << true;
    QTest::newRow("both ticks before") << true << eleven << at("22:59:58.400") << at("22:59:59.400") << false;
    QTest::newRow("both ticks after") << true << eleven << at("23:00:00.400") << at("23:00:01.400") << false;
    QTest::newRow("midnight wrap") << true << QStringLiteral("00:00:00") << at("23:59:59.600")
                                   << at(Day.addDays(1), "00:00:00.400") << true;
    QTest::newRow("midnight wrap, time of the evening before")
        << true << QStringLiteral("23:45:00") << at("23:59:59.600") << at(Day.addDays(1), "00:00:00.400")
        << false;
    QTest::newRow("gap at the limit") << true << eleven << at("22:59:56.000") << at("23:00:01.000") << true;
    QTest::newRow("gap just past the limit")
        << true << eleven << at("22:59:55.999") << at("23:00:01.000") << false;
    QTest::newRow("clock jumps forward hours")
        << true << eleven << at("18:00:00.000") << at("23:00:00.500") << false;
    QTest::newRow("resumed a day later")
        << true << eleven << at("22:00:00.000") << at(Day.addDays(1), "23:00:00.500") << false;
    QTest::newRow("clock goes backwards over the time")
        << true << eleven << at("23:00:00.500") << at("22:59:59.500") << false;
    QTest::newRow("clock goes backwards to the time")
        << true << eleven << at("23:00:03.000") << at("23:00:00.000") << false;
    QTest::newRow("same moment twice") << true << eleven << at("23:00:00.000") << at("23:00:00.000") << false;
    QTest::newRow("unarmed") << false << eleven << at("22:59:59.400") << at("23:00:00.400") << false;
    QTest::newRow("no time chosen") << true << QString() << at("22:59:59.400") << at("23:00:00.400") << false;
    QTest::newRow("no previous tick") << true << eleven << QDateTime() << at("23:00:00.400") << false;
}

void SleepScheduleTest::firesOnceWhenTheTimeFallsBetweenTicks()
{
    QFETCH(bool, armed);
    QFETCH(QString, time);
    QFETCH(QDateTime, previous);
    QFETCH(QDateTime, current);
    QFETCH(bool, due);

    const SleepSchedule schedule(armed, SleepSchedule::parseTime(time));
    QCOMPARE(schedule.isDueBetween(previous, current), due);
}

void SleepScheduleTest::twoTicksInTheChosenSecondStopOnlyOnce()
{
    const SleepSchedule schedule(true, QTime(23, 0));
    const QList<QDateTime> ticks { at("22:59:59.050"), at("22:59:59.980"), at("23:00:00.020"),
        at("23:00:00.990"), at("23:00:01.700") };
    int fired = 0;
    for (int i = 1; i < ticks.size(); ++i)
        fired += schedule.isDueBetween(ticks[i - 1], ticks[i]) ? 1 : 0;
    QCOMPARE(fired, 1);
}

void SleepScheduleTest::firesAgainTheNextDay()
{
    const SleepSchedule schedule(true, QTime(7, 30));
    const QDate tomorrow = Day.addDays(1);
    QVERIFY(schedule.isDueBetween(at("07:29:59.500"), at("07:30:00.500")));
    QVERIFY(schedule.isDueBetween(at(tomorrow, "07:29:59.500"), at(tomorrow, "07:30:00.500")));
}

void SleepScheduleTest::localClockCrossingTheTimeFires()
{
    // The window reads the local clock; the rule must not need UTC moments.
    const SleepSchedule schedule(true, QTime(12, 15));
    const QDateTime before(Day, QTime(12, 14, 59, 700), Qt::LocalTime);
    QVERIFY(schedule.isDueBetween(before, before.addMSecs(1000)));
    QVERIFY(!schedule.isDueBetween(before.addMSecs(1000), before.addMSecs(2000)));
}

void SleepScheduleTest::listHoldsEveryQuarterHourOfTheDay()
{
    const QStringList times = SleepSchedule::timesOfDay();
    QCOMPARE(times.size(), 96);
    QCOMPARE(times.first(), QStringLiteral("00:00:00"));
    QCOMPARE(times.at(1), QStringLiteral("00:15:00"));
    QCOMPARE(times.at(4), QStringLiteral("01:00:00"));
    QCOMPARE(times.at(94), QStringLiteral("23:30:00"));
    QCOMPARE(times.last(), QStringLiteral("23:45:00"));
    for (int i = 0; i < times.size(); ++i)
        QCOMPARE(SleepSchedule::parseTime(times.at(i)), QTime(0, 0).addSecs(i * 15 * 60));
}

void SleepScheduleTest::parseTimeRejectsWhatIsNotATimeOfDay_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTime>("time");
    QTest::newRow("list entry") << QStringLiteral("23:45:00") << QTime(23, 45);
    QTest::newRow("seconds") << QStringLiteral("08:05:09") << QTime(8, 5, 9);
    QTest::newRow("empty") << QString() << QTime();
    QTest::newRow("hour 24") << QStringLiteral("24:00:00") << QTime();
    QTest::newRow("no seconds") << QStringLiteral("23:45") << QTime();
    QTest::newRow("words") << QStringLiteral("meia-noite") << QTime();
}

void SleepScheduleTest::parseTimeRejectsWhatIsNotATimeOfDay()
{
    QFETCH(QString, text);
    QFETCH(QTime, time);
    QCOMPARE(SleepSchedule::parseTime(text), time);
    QCOMPARE(SleepSchedule::parseTime(text).isValid(), time.isValid());
}

QTEST_GUILESS_MAIN(SleepScheduleTest)
#include "sleep_schedule_test.moc"
