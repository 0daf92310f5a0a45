// Reading the radio database's answers: its real forms, older servers that
// write numbers as text, and hostile documents.
#include "radio/StationReader.h"
#include "tests/support/RadioDatabaseStandIn.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace
{
QByteArray arrayOf(const QList<QJsonObject> &objects)
{
    QJsonArray array;
    for (const QJsonObject &o : objects)
        array.append(o);
    return QJsonDocument(array).toJson();
}
} // namespace

class StationReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void databaseFormIsRead()
    {
        QJsonObject o
            = RadioDatabaseStandIn::station(QStringLiteral("u-1"), QStringLiteral("Rádio CBN"), 900, 41);
        o.insert(QLatin1String("tags"), QStringLiteral("news, talk,,news"));
        o.insert(QLatin1String("hls"), 1);
        o.insert(QLatin1String("codec"), QStringLiteral("AAC+"));
        o.insert(QLatin1String("bitrate"), 64);
        bool ok = false;
        const RadioStations stations = StationReader::readStations(arrayOf({ o }), &ok);
        QVERIFY(ok);
        QCOMPARE(stations.size(), 1);
        const RadioStation &s = stations.first();
        QCOMPARE(s.uuid, QStringLiteral("u-1"));
        QCOMPARE(s.name, QStringLiteral("Rádio CBN"));
        QCOMPARE(s.urlResolved, QStringLiteral("http://stream.test/u-1"));
        QCOMPARE(s.playAddress(), QStringLiteral("http://stream.test/u-1"));
        QCOMPARE(s.addresses(),
            (QStringList {
                QStringLiteral("http://stream.test/u-1"), QStringLiteral("http://stream.test/u-1.pls") }));
        QCOMPARE(s.favicon, QStringLiteral("http://radio.test/u-1.png"));
        QCOMPARE(s.tags, (QStringList { QStringLiteral("news"), QStringLiteral("talk") }));
        QCOMPARE(s.countryCode, QStringLiteral("BR"));
        QCOMPARE(s.clickCount, 900);
        QCOMPARE(s.votes, 41);
        QVERIFY(s.hls);
        QVERIFY(s.lastCheckOk);
        QCOMPARE(s.formatText(), QStringLiteral("AAC+ 64 kbps"));
    }

    void numbersWrittenAsTextOrBooleansAreRead()
    {
        QJsonObject o = RadioDatabaseStandIn::station(QStringLiteral("u-2"), QStringLiteral("Velho"));
        o.insert(QLatin1String("clickcount"), QStringLiteral("17"));
        o.insert(QLatin1String("votes"), QStringLiteral("-5"));
        o.insert(QLatin1String("lastcheckok"), false);
        o.insert(QLatin1String("bitrate"), 1e300);
        const RadioStations stations = StationReader::readStations(arrayOf({ o }));
        QCOMPARE(stations.size(), 1);
        QCOMPARE(stations.first().clickCount, 17);
        QCOMPARE(stations.first().votes, 0);
        QCOMPARE(stations.first().bitrate, 0);
        QVERIFY(!stations.first().lastCheckOk);
    }

    void stationsTheRuleRefusesAreDropped_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("resolved");
        QTest::addColumn<bool>("kept");
        QTest::newRow("engine protocol") << QStringLiteral("lavfi:sine") << QString() << false;
        QTest::newRow("local file") << QStringLiteral("/etc/passwd") << QStringLiteral("file:///etc/passwd")
                                    << false;
        QTest::newRow("edit list behind a good entered address")
            << QStringLiteral("http://ok.test/a") << QStringLiteral("edl://x") << true;
        QTest::newRow("no address") << QString() << QString() << false;
    }
    void stationsTheRuleRefusesAreDropped()
    {
        QFETCH(QString, url);
        QFETCH(QString, resolved);
        QFETCH(bool, kept);
        QJsonObject o = RadioDatabaseStandIn::station(QStringLiteral("u-3"), QStringLiteral("X"));
        o.insert(QLatin1String("url"), url);
        o.insert(QLatin1String("url_resolved"), resolved);
        const RadioStations stations = StationReader::readStations(arrayOf({ o }));
        QCOMPARE(stations.size(), kept ? 1 : 0);
        if (kept)
            QCOMPARE(stations.first().playAddress(), url);
    }

    void pictureOnlyOverHttp()
    {
        QJsonObject o = RadioDatabaseStandIn::station(QStringLiteral("u-4"), QStringLiteral("X"));
        o.insert(QLatin1String("favicon"), QStringLiteral("file:///home/user/.ssh/id_rsa"));
        QCOMPARE(StationReader::readStations(arrayOf({ o })).first().favicon, QString());
    }

    void documentsThatAreNoStationListGiveNothing_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("html") << QByteArray("<html>502 Bad Gateway</html>");
        QTest::newRow("object") << QByteArray("{\"ok\":false}");
        QTest::newRow("cut") << QByteArray("[{\"stationuuid\":\"a\",\"name\":\"b\",\"url\":\"http://x.test/");
        QTest::newRow("empty") << QByteArray();
    }
    void documentsThatAreNoStationListGiveNothing()
    {
        QFETCH(QByteArray, json);
        bool ok = true;
        QVERIFY(StationReader::readStations(json, &ok).isEmpty());
        QVERIFY(!ok);
    }

    void entriesOfTheWrongShapeAreSkipped()
    {
        const QByteArray json
            = "[1, \"x\", null, {\"name\":\"sem chave\",\"url\":\"http://a.test/\"},\n"
              "            {\"stationuuid\":[\"a\"],\"name\":\"b\",\"url\":\"http://a.test/\"},\n"
              "            {\"stationuuid\":\"ok\",\"name\":\"Boa\",\"url\":\"http://a.test/s\"}]";
        bool ok = false;
        const RadioStations stations = StationReader::readStations(json, &ok);
        QVERIFY(ok);
        QCOMPARE(stations.size(), 1);
        QCOMPARE(stations.first().uuid, QStringLiteral("ok"));
    }

    void longTextsAreBounded()
    {
        QJsonObject o
            = RadioDatabaseStandIn::station(QStringLiteral("u-5"), QString(100000, QLatin1Char('a')));
        o.insert(QLatin1String("tags"),
            QStringList(500, QStringLiteral("t")).join(QLatin1Char(',')) + QStringLiteral(",u,v"));
        const RadioStation s = StationReader::readStations(arrayOf({ o })).first();
        QCOMPARE(s.name.size(), StationReader::MaxTextChars);
        QVERIFY(s.tags.size() <= StationReader::MaxTags);
    }

    void writtenStationsReadBackTheSame()
    {
        const RadioStations stations = StationReader::readStations(arrayOf({
            RadioDatabaseStandIn::station(QStringLiteral("a"), QStringLiteral("Ação FM"), 3, 2,
                QStringLiteral("PT"), QStringLiteral("rock,pop")),
            RadioDatabaseStandIn::station(
                QStringLiteral("b"), QStringLiteral("B"), 1, 1, QString(), QString()),
        }));
        QCOMPARE(stations.size(), 2);
        QCOMPARE(StationReader::readStations(StationReader::writeStations(stations)), stations);
    }

    void cutTextsReadBackTheSameFromTheCache()
    {
        QJsonObject o = RadioDatabaseStandIn::station(QStringLiteral("u-6"), QStringLiteral("N"));
        o.insert(QLatin1String("countrycode"), QStringLiteral("R B"));
        o.insert(QLatin1String("codec"), QStringLiteral("MP3 a 128 kbps  estéreo"));
        o.insert(QLatin1String("name"),
            QString(StationReader::MaxTextChars - 1, QLatin1Char('a')) + QStringLiteral(" b"));
        const RadioStations stations = StationReader::readStations(arrayOf({ o }));
        QCOMPARE(stations.first().countryCode, QString());
        QCOMPARE(StationReader::readStations(StationReader::writeStations(stations)), stations);
    }

    void facetsAndClickAnswers()
    {
        const RadioFacets facets = StationReader::readFacets(
            "[{\"name\":\"pop\",\"stationcount\":120},{\"name\":\"\",\"stationcount\":3},{\"name\":"
            "\"Brazil\",\"iso_3166_1\":\"br\",\"stationcount\":\"9\"}]");
        QCOMPARE(facets.size(), 2);
        QCOMPARE(facets.at(0).stationCount, 120);
        QCOMPARE(facets.at(1).code, QStringLiteral("BR"));
        QCOMPARE(facets.at(1).stationCount, 9);
        QVERIFY(StationReader::readClickAnswer("{\"ok\":true,\"message\":\"retrieved station url\"}"));
        QVERIFY(!StationReader::readClickAnswer("{\"ok\":false}"));
        QVERIFY(!StationReader::readClickAnswer("true"));
    }
};

QTEST_GUILESS_MAIN(StationReaderTest)
#include "stationreader_test.moc"
