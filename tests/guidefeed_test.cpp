// Where guides come from: a list on the loopback server whose header names a
// gzip guide, end to end through the program to now/next for its channel and
// the built-in channel that plays it; refreshes that fail, find the guide
// unchanged or come from the hourly check; guides that go with their list.
#include "app/ChannelListsHub.h"
#include "channels/ChannelCatalogue.h"
#include "guide/GuideFeed.h"
#include "guide/GuideLibrary.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/GuideBytes.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Response = LoopbackHttpServer::Response;

namespace
{

QByteArray guideAroundNow()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime hour = now.addSecs(-(now.toSecsSinceEpoch() % 3600));
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv><channel id=\"Globo.br\">"
                     "<display-name>Globo</display-name></channel><channel id=\"BAND\"/>";
    for (const QByteArray &channel : { QByteArray("Globo.br"), QByteArray("BAND") }) {
        const QByteArray title = channel == "BAND" ? "Brasil Urgente " : "Jornal ";
        for (int h = -1; h < 3; ++h)
            xml += "<programme start=\"" + GuideBytes::brasilia(hour.addSecs(h * 3600)) + "\" stop=\""
                + GuideBytes::brasilia(hour.addSecs((h + 1) * 3600)) + "\" channel=\"" + channel
                + "\"><title>" + title + QByteArray::number(h) + "</title></programme>";
    }
    return xml + "</tv>";
}

Response answer(int status, const QByteArray &body = {})
{
    Response r;
    r.status = status;
    r.body = body;
    return r;
}

QString nowOn(const GuideLibrary &guides, const GuideChannelQuery &channel)
{
    return guides.nowNext(channel, QDateTime::currentDateTimeUtc()).now.title;
}

// The guide, the list and the classes that join them, over one temporary home.
struct Feed {
    explicit Feed(const QString &home)
        : lists(home + QStringLiteral("/lists.ini"))
        , listLibrary(&lists)
        , registry(home + QStringLiteral("/guides.ini"), home + QStringLiteral("/guides"))
        , choices(home + QStringLiteral("/choices.ini"))
        , library(registry, choices)
        , feed(library, registry, lists, listLibrary)
    {
    }

    ChannelListRegistry lists;
    ChannelListLibrary listLibrary;
    GuideRegistry registry;
    GuideChoices choices;
    GuideLibrary library;
    GuideFeed feed;
};

} // namespace

class GuideFeedTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    LoopbackHttpServer m_server;

    QByteArray listNaming(const QString &guidePath) const
    {
        return "#EXTM3U x-tvg-url=\"" + m_server.url(guidePath).toUtf8()
            + "\"\n#EXTINF:-1 tvg-id=\"Globo.br@SD\",TV Globo HD\nhttp://127.0.0.1:9/globo\n";
    }

    // A feed whose one list names one guide, fetched and read.
    void startFeed(Feed &f, QString *guideId)
    {
        m_server.setResponse(
            QStringLiteral("/epg.xml.gz"), answer(200, GuideBytes::deflated(guideAroundNow())));
        m_server.setResponse(
            QStringLiteral("/lista.m3u"), answer(200, listNaming(QStringLiteral("/epg.xml.gz"))));
        f.lists.add(QStringLiteral("Teste"), m_server.url(QStringLiteral("/lista.m3u")));
        f.listLibrary.start();
        f.feed.start();
        QTRY_COMPARE_WITH_TIMEOUT(f.registry.guides().size(), 1, 10000);
        *guideId = f.registry.guides().first().id;
        QTRY_VERIFY_WITH_TIMEOUT(
            !f.feed.isBusy(*guideId) && f.registry.guide(*guideId).programmeCount > 0, 10000);
    }

    GuideChannelQuery listEntry(const Feed &f) const
    {
        return GuideChannelQuery::forEntry(f.listLibrary.allChannels().at(0));
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("cache"))));
    }

    void listHeaderGuideReachesNowNextInTheProgram()
    {
        m_server.setResponse(
            QStringLiteral("/epg.xml.gz"), answer(200, GuideBytes::deflated(guideAroundNow())));
        m_server.setResponse(
            QStringLiteral("/lista.m3u"), answer(200, listNaming(QStringLiteral("/epg.xml.gz"))));
        FakeProgram p;
        ChannelListsHub &hub = p.program.channelLists();
        hub.registry().add(QStringLiteral("Teste"), m_server.url(QStringLiteral("/lista.m3u")));
        p.program.start();
        QTRY_COMPARE_WITH_TIMEOUT(hub.library().allChannels().size(), 1, 10000);
        const GuideChannelQuery entry = GuideChannelQuery::forEntry(hub.library().allChannels().at(0));
        const GuideLibrary &guides = p.program.guides();
        QTRY_VERIFY_WITH_TIMEOUT(nowOn(guides, entry).startsWith(QStringLiteral("Jornal")), 15000);
        QCOMPARE(nowOn(guides, entry), QStringLiteral("Jornal 0"));
        QCOMPARE(
            guides.nowNext(entry, QDateTime::currentDateTimeUtc()).next.title, QStringLiteral("Jornal 1"));

        // The built-in channel that plays the entry has its programmes, one
        // that no list plays has those of its name, and "Globo FM" has none.
        const ChannelCatalogue &catalogue = hub.catalogue();
        const Channel *band = catalogue.byControl(QStringLiteral("SpeedButton117"));
        QVERIFY(band);
        QCOMPARE(nowOn(guides, GuideChannelQuery::forBuiltIn(*band)), QStringLiteral("Brasil Urgente 0"));
        const Channel *globo = catalogue.byControl(QStringLiteral("SpeedButton90"));
        const Channel *globoFm = catalogue.byControl(QStringLiteral("SpeedButton104"));
        QVERIFY(globo && globoFm);
        const QVector<ListChannel> plays = hub.builtInSources().value(globo->control);
        QVERIFY(!plays.isEmpty());
        QCOMPARE(
            nowOn(guides, GuideChannelQuery::forBuiltIn(*globo, &plays.first())), QStringLiteral("Jornal 0"));
        QVERIFY(nowOn(guides, GuideChannelQuery::forBuiltIn(*globoFm)).isEmpty());

        const GuideSourceEntry guide = p.program.guideRegistry().guides().first();
        QCOMPARE(guide.lists, QStringList { hub.registry().lists().first().id });
        QCOMPARE(guide.channelCount, 2); // the list's and the built-in BAND
        QVERIFY(guide.lastRefresh.isValid());
        QVERIFY(guide.lastError.isEmpty());
    }

    void failedRefreshKeepsProgrammesAndShowsError()
    {
        QTemporaryDir home;
        Feed f(home.path());
        QString id;
        startFeed(f, &id);
        const GuideChannelQuery entry = listEntry(f);
        QCOMPARE(nowOn(f.library, entry), QStringLiteral("Jornal 0"));
        m_server.setResponse(QStringLiteral("/epg.xml.gz"), answer(500, "falhou"));
        QVERIFY(f.feed.refresh(id));
        QVERIFY(f.feed.isBusy(id));
        QTRY_VERIFY_WITH_TIMEOUT(!f.registry.guide(id).lastError.isEmpty(), 10000);
        QVERIFY(f.registry.guide(id).lastError.contains(QStringLiteral("500")));
        QCOMPARE(nowOn(f.library, entry), QStringLiteral("Jornal 0"));
    }

    void unchangedGuideCountsAsRefreshedWithoutReading()
    {
        QTemporaryDir home;
        Feed f(home.path());
        Response r = answer(200, GuideBytes::deflated(guideAroundNow()));
        r.headers = { { "ETag", "\"e1\"" } };
        QString id;
        startFeed(f, &id);
        m_server.setResponse(QStringLiteral("/epg.xml.gz"), r);
        QVERIFY(f.feed.refresh(id));
        QTRY_COMPARE_WITH_TIMEOUT(f.registry.guide(id).etag, QByteArray("\"e1\""), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!f.feed.isBusy(id), 10000);
        const QDateTime before = f.registry.guide(id).lastRefresh;
        m_server.setResponse(QStringLiteral("/epg.xml.gz"), answer(304));
        QSignalSpy reading(&f.library, &GuideLibrary::busyChanged);
        QTest::qWait(1100); // the refresh time is kept in whole seconds
        QVERIFY(f.feed.refresh(id));
        QTRY_VERIFY_WITH_TIMEOUT(f.registry.guide(id).lastRefresh > before, 10000);
        QVERIFY(m_server.requests().last().contains("If-None-Match: \"e1\""));
        QVERIFY(reading.isEmpty());
        QVERIFY(f.registry.guide(id).programmeCount > 0);
        QCOMPARE(nowOn(f.library, listEntry(f)), QStringLiteral("Jornal 0"));
    }

    void hourlyCheckFetchesGuideEndingSoon()
    {
        QTemporaryDir home;
        Feed f(home.path());
        QString id;
        startFeed(f, &id);
        QCOMPARE(f.feed.refreshTimer().interval(), GuideFeed::RefreshCheckMs);
        QVERIFY(f.feed.refreshTimer().isActive());
        const int asked = int(m_server.requests().size());
        // The guide ends within a day: the next check asks for it again.
        f.feed.refreshTimer().start(1);
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requests().size() > asked, 10000);
        QVERIFY(m_server.requests().last().contains("/epg.xml.gz"));
    }

    void downloadBeforeAnyChannelWaitsForThem()
    {
        QTemporaryDir home;
        // The library alone: nothing tells it any channel.
        GuideRegistry registry(
            home.filePath(QStringLiteral("guides.ini")), home.filePath(QStringLiteral("guides")));
        GuideChoices choices(home.filePath(QStringLiteral("choices.ini")));
        GuideLibrary library(registry, choices);
        struct {
            GuideRegistry &registry;
            GuideLibrary &library;
        } f { registry, library };
        const QString id = f.registry.add(QString(), QStringLiteral("https://epg.test/br.xml"));
        f.library.start();
        QTRY_VERIFY(f.library.isIdle()); // the (missing) cache
        QDir().mkpath(f.registry.cacheFolder());
        QFile copy(f.registry.copyPath(id));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(guideAroundNow());
        copy.close();
        f.library.importDownloaded(id, "\"e1\"", QString());
        QVERIFY(f.library.isIdle());
        QCOMPARE(f.registry.guide(id).etag, QByteArray("\"e1\""));
        ListChannel entry;
        entry.name = entry.title = QStringLiteral("Globo");
        entry.address = QStringLiteral("https://cdn.test/globo");
        const GuideChannelQuery globo = GuideChannelQuery::forEntry(entry);
        f.library.setChannels({ globo });
        QTRY_COMPARE_WITH_TIMEOUT(nowOn(f.library, globo), QStringLiteral("Jornal 0"), 10000);
        QCOMPARE(f.registry.guide(id).channelCount, 1);
    }

    void guideGoesWithItsList()
    {
        QTemporaryDir home;
        Feed f(home.path());
        QString id;
        startFeed(f, &id);
        const QString copy = f.registry.copyPath(id);
        const GuideChannelQuery entry = listEntry(f);
        QVERIFY(QFile::exists(copy));
        QVERIFY(f.lists.remove(f.lists.lists().first().id));
        QVERIFY(f.registry.guides().isEmpty());
        QVERIFY(!QFile::exists(copy));
        QVERIFY(nowOn(f.library, entry).isEmpty());
    }
};

QTEST_MAIN(GuideFeedTest)
#include "guidefeed_test.moc"
