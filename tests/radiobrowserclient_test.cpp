// The radio database client against a loopback stand-in: what a search asks
// for and gets, the fallback from a server that fails to the next, the click
// count, and the built-in radios' search over it.
#include "radio/BuiltInRadioSearch.h"
#include "radio/RadioBrowserClient.h"
#include "radio/RadioServerList.h"
#include "tests/support/RadioDatabaseStandIn.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

using Station = RadioDatabaseStandIn;

class RadioBrowserClientTest : public QObject
{
    Q_OBJECT

    static QList<QJsonObject> someStations()
    {
        QJsonObject broken
            = Station::station(QStringLiteral("broken"), QStringLiteral("Rock Quebrada"), 9999);
        broken.insert(QLatin1String("lastcheckok"), 0);
        return { Station::station(QStringLiteral("a"), QStringLiteral("Rock Brasil"), 50, 1,
                     QStringLiteral("BR"), QStringLiteral("rock")),
            Station::station(QStringLiteral("b"), QStringLiteral("Rock Total"), 500, 1, QStringLiteral("BR"),
                QStringLiteral("rock,pop")),
            Station::station(QStringLiteral("c"), QStringLiteral("Rock Lisboa"), 900, 1, QStringLiteral("PT"),
                QStringLiteral("rock")),
            Station::station(QStringLiteral("d"), QStringLiteral("Samba"), 70, 1, QStringLiteral("BR"),
                QStringLiteral("samba")),
            broken };
    }

    static RadioStations search(
        RadioBrowserClient &client, const StationQuery &query, QString *error = nullptr)
    {
        QSignalSpy finished(&client, &RadioBrowserClient::searchFinished);
        client.search(query);
        if (!finished.wait(10000))
            return {};
        if (error)
            *error = finished.first().at(2).toString();
        return finished.first().at(1).value<RadioStations>();
    }

private slots:
    void searchSendsFiltersAndNamesItself()
    {
        Station db;
        db.setStations(someStations());
        RadioBrowserClient client;
        client.setServers({ db.address() });
        StationQuery query;
        query.name = QStringLiteral("rock ");
        query.countryCode = QStringLiteral("BR");
        query.tag = QStringLiteral("rock");
        const RadioStations found = search(client, query);
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(0).uuid, QStringLiteral("b")); // most clicked first
        QCOMPARE(found.at(1).uuid, QStringLiteral("a"));
        const QUrlQuery sent(QUrl(db.address() + db.targets().first()));
        QCOMPARE(sent.queryItemValue(QStringLiteral("name")), QStringLiteral("rock"));
        QCOMPARE(sent.queryItemValue(QStringLiteral("countrycode")), QStringLiteral("BR"));
        QCOMPARE(sent.queryItemValue(QStringLiteral("order")), QStringLiteral("clickcount"));
        QCOMPARE(sent.queryItemValue(QStringLiteral("reverse")), QStringLiteral("true"));
        QCOMPARE(sent.queryItemValue(QStringLiteral("hidebroken")), QStringLiteral("true"));
        QCOMPARE(db.userAgents(), QStringList { QStringLiteral("LumivortexTV/" LUMI_VERSION) });
    }

    void namesWithSpacesAndAmpersandsAreEscaped()
    {
        Station db;
        db.setStations({ Station::station(QStringLiteral("x"), QStringLiteral("Rock & Roll = 1")) });
        RadioBrowserClient client;
        client.setServers({ db.address() });
        StationQuery query;
        query.name = QStringLiteral("Rock & Roll = 1");
        QCOMPARE(search(client, query).size(), 1);
    }

    void refusingServerFallsToTheNext_data()
    {
        QTest::addColumn<bool>("refuses"); // else it answers 503
        QTest::newRow("connection refused") << true;
        QTest::newRow("error status") << false;
    }
    void refusingServerFallsToTheNext()
    {
        QFETCH(bool, refuses);
        Station failing;
        failing.failWith(503);
        Station db;
        db.setStations(someStations());
        const QString first = refuses
            ? QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::unusedPort())
            : failing.address();
        RadioBrowserClient client;
        client.setServers({ first, db.address() });
        StationQuery query;
        query.name = QStringLiteral("Samba");
        QString error = QStringLiteral("unset");
        QCOMPARE(search(client, query, &error).size(), 1);
        QVERIFY(error.isEmpty());
        QCOMPARE(db.targets().size(), 1);
        // The server that answered is asked first from now on.
        QCOMPARE(client.servers().first(), db.address());
    }

    void answerThatIsNoStationListFallsToTheNext()
    {
        Station garbage;
        LoopbackHttpServer::Response html;
        html.contentType = "text/html";
        html.body = "<html>captive portal</html>";
        garbage.server().setResponse(QStringLiteral("/json/stations/search"), html);
        Station db;
        db.setStations(someStations());
        RadioBrowserClient client;
        client.setServers({ garbage.address(), db.address() });
        QCOMPARE(search(client, StationQuery()).size(), 4);
    }

    void everyServerFailingSaysSo()
    {
        Station failing;
        failing.failWith(500);
        RadioBrowserClient client;
        client.setServers({ failing.address() });
        QString error;
        QVERIFY(search(client, StationQuery(), &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("500")));
    }

    void newSearchReplacesTheRunningOne()
    {
        Station db;
        db.setStations(someStations());
        RadioBrowserClient client;
        client.setServers({ db.address() });
        QSignalSpy finished(&client, &RadioBrowserClient::searchFinished);
        StationQuery first;
        first.name = QStringLiteral("Rock");
        StationQuery second;
        second.name = QStringLiteral("Samba");
        client.search(first);
        client.search(second);
        QVERIFY(finished.wait(10000));
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().at(0).value<StationQuery>().name, QStringLiteral("Samba"));
    }

    void playCountsAClick()
    {
        Station db;
        db.setStations(someStations());
        RadioBrowserClient client;
        client.setServers({ db.address() });
        QSignalSpy counted(&client, &RadioBrowserClient::clickCounted);
        client.countClick(QStringLiteral("d"));
        QVERIFY(counted.wait(10000));
        QVERIFY(counted.first().at(1).toBool());
        QCOMPARE(db.clicks(QStringLiteral("d")), 1);
        QCOMPARE(db.targets(), QStringList { QStringLiteral("/json/url/d") });
    }

    void tagsComeFromTheDatabase()
    {
        Station db;
        db.setStations(someStations());
        RadioBrowserClient client;
        client.setServers({ db.address() });
        QSignalSpy facets(&client, &RadioBrowserClient::facetsFinished);
        client.fetchFacets(RadioBrowserClient::Facet::Tags);
        QVERIFY(facets.wait(10000));
        QStringList names;
        for (const RadioFacet &f : facets.first().at(1).value<RadioFacets>())
            names << f.name;
        QVERIFY(names.contains(QStringLiteral("samba")));
    }

    void serverNamesFromDnsAreCheckedAndKeptForADay()
    {
        QCOMPARE(
            RadioServerList::serversFromTargets({ QStringLiteral("de1.api.radio-browser.info."),
                QStringLiteral("evil.example"), QStringLiteral("x.api.radio-browser.info.evil.example"),
                QStringLiteral("NL1.API.radio-browser.info"), QStringLiteral("de1.api.radio-browser.info") }),
            (QStringList { QStringLiteral("https://de1.api.radio-browser.info"),
                QStringLiteral("https://nl1.api.radio-browser.info") }));
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("radio.ini")), QSettings::IniFormat);
        RadioServerList list(settings);
        // Never looked up: the well-known servers stand in.
        const QStringList standIns = list.servers();
        const QStringList known = RadioServerList::wellKnownServers();
        QCOMPARE(
            QSet<QString>(standIns.cbegin(), standIns.cend()), QSet<QString>(known.cbegin(), known.cend()));
        settings.setValue(
            QStringLiteral("servers/list"), QStringList { QStringLiteral("fi1.api.radio-browser.info") });
        const QDateTime now = QDateTime::currentDateTimeUtc();
        settings.setValue(QStringLiteral("servers/lookedUp"), now.addSecs(-3600));
        QSignalSpy ready(&list, &RadioServerList::ready);
        list.refreshIfStale(now); // an hour old: no lookup
        QCOMPARE(ready.size(), 1);
        QVERIFY(!list.isLookingUp());
        QCOMPARE(list.servers(), QStringList { QStringLiteral("https://fi1.api.radio-browser.info") });
    }

    void builtInRadiosFindTheirStationsAndKeepThem()
    {
        Station db;
        db.setStations({ Station::station(QStringLiteral("cbn"), QStringLiteral("Rádio CBN"), 300),
            Station::station(QStringLiteral("cbn-pt"), QStringLiteral("CBN"), 900, 1, QStringLiteral("PT")),
            Station::station(QStringLiteral("globo"), QStringLiteral("Rádio Globo"), 800),
            Station::station(QStringLiteral("globofm"), QStringLiteral("Globo FM 92.5"), 20),
            Station::station(
                QStringLiteral("trance"), QStringLiteral("DI.FM - Trance"), 40, 1, QStringLiteral("US")),
            Station::station(
                QStringLiteral("other-trance"), QStringLiteral("Trance"), 4000, 1, QStringLiteral("DE")) });
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("radio.ini")), QSettings::IniFormat);
        const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        {
            BuiltInRadioSearch search(catalogue, settings);
            QSignalSpy finished(&search, &BuiltInRadioSearch::finished);
            search.start({ db.address() }, now);
            QVERIFY(finished.wait(60000));
            QCOMPARE(search.matches().value(QStringLiteral("SpeedButton19")).uuid, QStringLiteral("cbn"));
            QCOMPARE(
                search.matches().value(QStringLiteral("SpeedButton104")).uuid, QStringLiteral("globofm"));
            QCOMPARE(search.matches().value(QStringLiteral("rance1")).uuid, QStringLiteral("trance"));
            QVERIFY(!search.matches().contains(QStringLiteral("SpeedButton24"))); // no Radio Terra here
            QCOMPARE(db.targets().size(), 37); // one request per radio, one after another
        }
        // A week has not passed: the kept matches stand and nothing is asked.
        BuiltInRadioSearch again(catalogue, settings);
        QCOMPARE(again.matches().value(QStringLiteral("SpeedButton104")).uuid, QStringLiteral("globofm"));
        QSignalSpy finished(&again, &BuiltInRadioSearch::finished);
        again.start({ db.address() }, now.addDays(6));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(db.targets().size(), 37);
        again.start({ db.address() }, now.addDays(8));
        QVERIFY(finished.wait(60000));
        QCOMPARE(db.targets().size(), 74);
    }
};

QTEST_GUILESS_MAIN(RadioBrowserClientTest)
#include "radiobrowserclient_test.moc"
