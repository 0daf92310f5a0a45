// The guides kept: named by list headers (only over the network), added by
// the user, suggested; a local file imported end to end to now/next on a
// worker, shown from its cache on a later start, read again when its offset
// or the wanted channels change, and kept when a reading fails.
#include "guide/GuideLibrary.h"
#include "lists/M3uListReader.h"
#include "tests/support/GuideBytes.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// Around the real clock: the library reads with the current time.
QByteArray guideAroundNow()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime hour = now.addSecs(-(now.toSecsSinceEpoch() % 3600));
    QByteArray xml = "<tv><channel id=\"tv-globo\"><display-name>TV Globo</display-name></channel>"
                     "<channel id=\"SBT\"><display-name>SBT</display-name></channel>";
    for (const char *channel : { "tv-globo", "SBT" }) {
        for (int h = -1; h < 3; ++h) {
            xml += "<programme start=\"" + GuideBytes::brasilia(hour.addSecs(h * 3600)) + "\" stop=\""
                + GuideBytes::brasilia(hour.addSecs((h + 1) * 3600)) + "\" channel=\"" + channel
                + "\"><title>" + channel + " " + QByteArray::number(h) + "</title></programme>";
        }
    }
    return xml + "</tv>";
}

GuideChannelQuery named(const char *name)
{
    ListChannel entry;
    entry.name = entry.title = u(name);
    entry.address = QStringLiteral("https://cdn.test/") + entry.name;
    return GuideChannelQuery::forEntry(entry);
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A library over one local guide file, started for some channels.
struct Started {
    Started(const QString &folder, const QString &file, const QVector<GuideChannelQuery> &channels)
        : registry(folder + QStringLiteral("/guides.ini"), folder + QStringLiteral("/cache"))
        , choices(folder + QStringLiteral("/choices.ini"))
        , id(registry.add(QString(), file))
        , library(registry, choices)
    {
        library.setChannels(channels);
        library.start();
    }
    bool shows(const GuideChannelQuery &channel) const
    {
        return library.isIdle() && !library.schedule(channel).isEmpty();
    }

    GuideRegistry registry;
    GuideChoices choices;
    QString id;
    GuideLibrary library;
};

} // namespace

class GuideLibraryTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void init()
    {
        for (const char *name : { "guides.ini", "choices.ini" })
            QFile::remove(path(name));
        QDir(path("cache")).removeRecursively();
    }

    void listHeadersNameOnlyNetworkGuides()
    {
        GuideRegistry registry(path("guides.ini"), path("cache"));
        registry.setListGuides(QStringLiteral("list1"),
            { u("https://epg.test/br.xml.gz"), u("/etc/passwd"), u("file:///etc/passwd"),
                u("ftp://epg.test/a.xml"), u(" https://epg.test/br.xml.gz ") });
        QCOMPARE(registry.guides().size(), 1);
        const GuideSourceEntry guide = registry.guides().first();
        QCOMPARE(guide.name, u("br.xml.gz (epg.test)"));
        QString error;
        QVERIFY(!registry.remove(guide.id, &error));
        QVERIFY(error.contains(u("lista")));
        // The user adds the same guide: it stays when the list no longer names it.
        QCOMPARE(registry.add(u("Meu guia"), u("https://epg.test/br.xml.gz"), -3), guide.id);
        registry.setListGuides(QStringLiteral("list1"), {});
        QCOMPARE(registry.guides().size(), 1);
        QCOMPARE(registry.guides().first().offsetHours, -3);
        registry.setListGuides(QStringLiteral("list2"), { u("https://other.test/g.xml") });
        QVERIFY(registry.remove(guide.id));
        registry.setListGuides(QStringLiteral("list2"), {});
        QVERIFY(registry.guides().isEmpty());
        // Kept across runs as the registry left it.
        registry.add(QString(), path("guides.ini"));
        QCOMPARE(GuideRegistry(path("guides.ini"), path("cache")).guides().size(), 1);
    }

    void everyHeaderSpellingNamesGuides_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("x-tvg-url, two")
            << QByteArray("#EXTM3U x-tvg-url=\"https://a.test/1.xml,https://a.test/2.xml.gz\"");
        QTest::newRow("url-tvg") << QByteArray(
            "#EXTM3U url-tvg=\"https://a.test/1.xml, https://a.test/2.xml.gz\"");
        QTest::newRow("tvg-url, unquoted")
            << QByteArray("#EXTM3U tvg-url=https://a.test/1.xml,https://a.test/2.xml.gz");
    }
    void everyHeaderSpellingNamesGuides()
    {
        QFETCH(QByteArray, header);
        const M3uList list = M3uListReader::parse(header + "\n#EXTINF:-1,Canal\nhttps://cdn.test/c\n");
        GuideRegistry registry(path("guides.ini"), path("cache"));
        registry.setListGuides(QStringLiteral("list1"), list.guideAddresses);
        QCOMPARE(registry.guides().size(), 2);
        QCOMPARE(registry.guides().last().address, u("https://a.test/2.xml.gz"));
        QCOMPARE(registry.guides().last().lists, QStringList { QStringLiteral("list1") });
    }

    void suggestedGuidesAreOfferedUnticked()
    {
        const QVector<SuggestedList> suggested = GuideRegistry::suggested();
        QCOMPARE(suggested.size(), 4);
        QVERIFY(suggested.last().address.endsWith(u("epg_BR.xml.gz")));
        for (const SuggestedList &guide : suggested)
            QVERIFY(!guide.chosenByDefault);
    }

    void localFileImportsToNowNextThenShowsFromCache()
    {
        const QString file = path("guia.xml.gz");
        write(file, GuideBytes::deflated(guideAroundNow()));
        QString id;
        {
            GuideRegistry registry(path("guides.ini"), path("cache"));
            GuideChoices choices(path("choices.ini"));
            id = registry.add(u("Guia local"), file);
            QVERIFY(!id.isEmpty());
            GuideLibrary library(registry, choices);
            library.setChannels({ named("TV Globo") });
            library.start();
            QTRY_VERIFY(library.isIdle()
                && !library.nowNext(named("TV Globo"), QDateTime::currentDateTimeUtc()).now.title.isEmpty());
            const NowNext globo = library.nowNext(named("TV Globo"), QDateTime::currentDateTimeUtc());
            QCOMPARE(globo.now.title, u("tv-globo 0"));
            QCOMPARE(globo.next.title, u("tv-globo 1"));
            // SBT is in the guide but no channel wants it: its programmes were dropped.
            QVERIFY(library.schedule(named("SBT")).isEmpty());
            const GuideSourceEntry state = registry.guide(id);
            QCOMPARE(state.channelCount, 1);
            QCOMPARE(state.programmeCount, 4);
            QVERIFY(state.lastRefresh.isValid() && state.firstStart < state.lastStop);
            QCOMPARE(state.lastError, QString());
            QVERIFY(QFile::exists(registry.storePath(id)));
        }
        // A later start with the file gone: only the cache can answer.
        QVERIFY(QFile::remove(file));
        GuideRegistry registry(path("guides.ini"), path("cache"));
        GuideChoices choices(path("choices.ini"));
        GuideLibrary library(registry, choices);
        library.setChannels({ named("TV Globo") });
        QSignalSpy changed(&library, &GuideLibrary::schedulesChanged);
        library.start();
        QTRY_VERIFY(library.isIdle() && changed.count() > 0);
        QCOMPARE(
            library.nowNext(named("TV Globo"), QDateTime::currentDateTimeUtc()).now.title, u("tv-globo 0"));
    }

    void offsetAndNewChannelsReadTheGuideAgain()
    {
        write(path("guia.xml"), guideAroundNow());
        Started run(m_dir.path(), path("guia.xml"), { named("TV Globo") });
        QTRY_VERIFY(run.shows(named("TV Globo")));
        const qint64 start = run.library.schedule(named("TV Globo")).record(0).start;

        run.registry.setOffset(run.id, 2);
        QTRY_VERIFY(run.library.isIdle() && run.library.schedule(named("TV Globo")).record(0).start != start);
        QCOMPARE(run.library.schedule(named("TV Globo")).record(0).start, start + 2 * 3600);

        run.library.setChannels({ named("TV Globo"), named("SBT") });
        QTRY_VERIFY(run.shows(named("SBT")));
    }

    void failedReadingKeepsTheGuide()
    {
        write(path("guia.xml"), guideAroundNow());
        Started run(m_dir.path(), path("guia.xml"), { named("SBT") });
        QTRY_VERIFY(run.shows(named("SBT")));

        write(path("guia.xml"), "<html><body>Servidor fora do ar</body></html>");
        QVERIFY(run.library.refresh(run.id));
        QTRY_VERIFY(run.library.isIdle() && !run.registry.guide(run.id).lastError.isEmpty());
        QCOMPARE(run.registry.guide(run.id).lastError, u("O arquivo não é um guia XMLTV."));
        QVERIFY(!run.library.schedule(named("SBT")).isEmpty());
    }

    void choiceOfNoneHidesTheGuide()
    {
        write(path("guia.xml"), guideAroundNow());
        Started run(m_dir.path(), path("guia.xml"), { named("SBT") });
        QTRY_VERIFY(run.shows(named("SBT")));
        QSignalSpy changed(&run.library, &GuideLibrary::schedulesChanged);
        run.choices.chooseNone(named("SBT").identity);
        QCOMPARE(changed.count(), 1);
        QVERIFY(run.library.schedule(named("SBT")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(GuideLibraryTest)
#include "guidelibrary_test.moc"
