// Which list entries a built-in channel takes, and in which order it plays them.
#include "lists/BuiltInChannelMatcher.h"
#include "lists/ChannelNameRules.h"

#include <QTest>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

ListChannel entry(const char *name, const char *address, const char *tvgId = "", const char *status = "")
{
    ListChannel c;
    c.name = u(name);
    c.title = ChannelNameRules::splitTags(c.name).title;
    c.address = u(address);
    c.tvgId = u(tvgId);
    c.status = u(status);
    return c;
}

QStringList addressesOf(const QVector<ListChannel> &sources)
{
    QStringList addresses;
    for (const ListChannel &c : sources)
        addresses << c.address;
    return addresses;
}

} // namespace

class BuiltInChannelMatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void entryIsTakenByNameOrTvgId_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tvgId");
        QTest::addColumn<QString>("control"); // empty: no channel takes it
        QTest::newRow("tooltip, tags") << u("Band (1080p) [Geo-blocked]") << QString() << u("SpeedButton117");
        QTest::newRow("tooltip, punctuation") << u("Rede TV") << QString() << u("SpeedButton4");
        QTest::newRow("title suffix") << u("RedeTV (720p)") << QString() << u("SpeedButton4");
        QTest::newRow("title suffix, case") << u("BandNews") << QString() << u("SpeedButton5");
        QTest::newRow("tooltip, spaces") << u("BAND NEWS Ⓨ") << QString() << u("SpeedButton5");
        QTest::newRow("accents") << u("CANCAO NOVA") << QString() << u("SpeedButton32");
        QTest::newRow("tvg-id without country") << u("Bandeirantes") << u("Band.br") << u("SpeedButton117");
        QTest::newRow("tvg-id with feed") << u("Rede") << u("RedeTV.br@SD") << u("SpeedButton4");
        QTest::newRow("parentheses are the name") << u("SBT (Alterosa)") << QString() << u("SpeedButton2");
        QTest::newRow("no prefix rule") << u("Globo FM") << QString() << u("SpeedButton104"); // not Globo
        QTest::newRow("no substring rule") << u("SBT Rede Massa") << QString() << QString();
        QTest::newRow("other channel") << u("Band Sports") << QString() << u("SpeedButton3");
    }
    void entryIsTakenByNameOrTvgId()
    {
        QFETCH(QString, name);
        QFETCH(QString, tvgId);
        QFETCH(QString, control);
        ListChannel c = entry("", "http://cdn.test/1.m3u8");
        c.name = name;
        c.title = ChannelNameRules::splitTags(name).title;
        c.tvgId = tvgId;
        const BuiltInSources sources = BuiltInChannelMatcher(ChannelCatalogue::builtIn()).match({ c });
        QCOMPARE(sources.keys(), control.isEmpty() ? QStringList() : QStringList { control });
    }

    void playableEntriesComeFirstAndExactNamesLead()
    {
        const QVector<ListChannel> entries = {
            entry("Band (720p)", "http://a.test/timeout", "", "timeout"),
            entry("Band", "https://www.youtube.com/watch?v=x"),
            entry("Band", "http://band.example/placeholder"), entry("BAND", "http://a.test/exact"),
            entry("Band (1080p)", "http://a.test/online", "", "online"),
            entry("Band [Not 24/7]", "http://a.test/exact"), // the same address again
        };
        const BuiltInSources sources = BuiltInChannelMatcher(ChannelCatalogue::builtIn()).match(entries);
        QCOMPARE(addressesOf(sources.value(u("SpeedButton117"))),
            QStringList({ u("http://a.test/exact"), u("http://a.test/online"), u("http://a.test/timeout"),
                u("https://www.youtube.com/watch?v=x") }));
    }

    void coverageCountsChannelsWithSomethingToPlay()
    {
        const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        const BuiltInChannelMatcher matcher(catalogue);
        QCOMPARE(matcher.channelsWithAddress({}), 0); // every built-in address is a placeholder
        const BuiltInSources sources = matcher.match({ entry("Globo", "http://g.test/1"),
            entry("TVE", "http://t.example/1"), entry("CNN", "http://c.test/1") });
        QCOMPARE(matcher.channelsWithAddress(sources), 2);
        QCOMPARE(BuiltInChannelMatcher::coverageText(2, matcher.channelCount()),
            u("2 dos 101 canais do programa têm endereço"));
    }

    void appliedChannelPlaysFirstSourceAndRotatesTheRest()
    {
        const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        const BuiltInSources sources
            = BuiltInChannelMatcher(catalogue).match({ entry("Globo", "http://g.test/1"),
                entry("TV Globo", "http://g.test/2"), entry("BandNews", "http://bn.test/1") });
        const ChannelCatalogue applied = BuiltInChannelMatcher::applied(catalogue, sources);
        QCOMPARE(applied.byControl(u("SpeedButton90"))->address, u("http://g.test/2")); // exact title first
        QCOMPARE(applied.alternateListForTitle(u("Lumivortex TV - TV Globo"))->entries,
            QStringList({ u("http://g.test/2"), u("http://g.test/1") }));
        // Matched once, its built-in mirrors would lead away from the only real address.
        QCOMPARE(applied.byControl(u("SpeedButton5"))->address, u("http://bn.test/1"));
        QCOMPARE(applied.alternateListForTitle(u("Lumivortex TV - BANDNEWS"))->entries,
            QStringList { u("http://bn.test/1") });
    }
};

QTEST_GUILESS_MAIN(BuiltInChannelMatcherTest)
#include "builtinchannelmatcher_test.moc"
