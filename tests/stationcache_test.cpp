// The radio cache: the last answers and the kept stations survive a restart
// (offline they still show and play), a damaged file counts as empty, and
// the number of answers kept is bounded.
#include "radio/StationCache.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
RadioStation station(const QString &uuid, const QString &name)
{
    RadioStation s;
    s.uuid = uuid;
    s.name = name;
    s.url = QStringLiteral("http://s.test/") + uuid;
    s.tags = QStringList { QStringLiteral("pop") };
    s.countryCode = QStringLiteral("BR");
    s.clickCount = 3;
    return s;
}

StationQuery named(const QString &name)
{
    StationQuery q;
    q.name = name;
    return q;
}
} // namespace

class StationCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void answersAndKeptStationsSurviveARestart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("radio/stations.json"));
        {
            StationCache cache(path);
            cache.storeResults(
                named(QStringLiteral("rock")), { station(QStringLiteral("a"), QStringLiteral("A")) });
            cache.keep(station(QStringLiteral("fav"), QStringLiteral("Favorita")));
        }
        StationCache cache(path);
        QCOMPARE(cache.results(named(QStringLiteral("Rock"))),
            (RadioStations { station(QStringLiteral("a"), QStringLiteral("A")) }));
        QVERIFY(cache.answeredAt(named(QStringLiteral("rock"))).isValid());
        QVERIFY(cache.station(QStringLiteral("fav")));
        QVERIFY(cache.station(QStringLiteral("a"))); // seen in a kept answer
        QVERIFY(!cache.station(QStringLiteral("zzz")));
    }

    void keptStationTakesTheDatabasesNewerAddress()
    {
        QTemporaryDir dir;
        StationCache cache(dir.filePath(QStringLiteral("s.json")));
        cache.keep(station(QStringLiteral("a"), QStringLiteral("A")));
        RadioStation moved = station(QStringLiteral("a"), QStringLiteral("A"));
        moved.url = QStringLiteral("http://new.test/a");
        cache.storeResults(named(QStringLiteral("x")), { moved });
        QCOMPARE(cache.station(QStringLiteral("a"))->url, QStringLiteral("http://new.test/a"));
    }

    void damagedFileCountsAsEmpty()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"queries\":[{\"key\":\"k\",\"stations\":[{\"stationuuid\":");
        file.close();
        StationCache cache(path);
        QVERIFY(cache.kept().isEmpty());
        cache.keep(station(QStringLiteral("b"), QStringLiteral("B")));
        cache.flush();
        QCOMPARE(StationCache(path).kept().size(), 1);
    }

    void oldestAnswersGoFirst()
    {
        QTemporaryDir dir;
        StationCache cache(dir.filePath(QStringLiteral("s.json")));
        for (int i = 0; i <= StationCache::MaxQueries; ++i)
            cache.storeResults(
                named(QString::number(i)), { station(QString::number(i), QStringLiteral("S")) });
        QVERIFY(!cache.hasResults(named(QStringLiteral("0"))));
        QVERIFY(cache.hasResults(named(QString::number(StationCache::MaxQueries))));
        cache.flush();
        StationCache reread(dir.filePath(QStringLiteral("s.json")));
        QVERIFY(!reread.hasResults(named(QStringLiteral("0"))));
        QVERIFY(reread.hasResults(named(QStringLiteral("1"))));
    }
};

QTEST_GUILESS_MAIN(StationCacheTest)
#include "stationcache_test.moc"
