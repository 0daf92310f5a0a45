// The order a channel's sources are tried in, and when a channel is off the air.
#include "lists/ChannelNameRules.h"
#include "lists/SourceRanking.h"

#include <QTest>

namespace
{

ListChannel source(const char *name, const char *address, const char *status = "")
{
    ListChannel c;
    c.name = QString::fromUtf8(name);
    const TaggedName split = ChannelNameRules::splitTags(c.name);
    c.title = split.title;
    c.tags = split.tags;
    c.address = QString::fromUtf8(address);
    c.status = QString::fromUtf8(status);
    return c;
}

using Health = QHash<QString, SourceHealth>;

QStringList addresses(const ListChannels &entries, const QVector<int> &order)
{
    QStringList result;
    for (const int e : order)
        result << entries.field(e, ListChannels::Address);
    return result;
}

} // namespace

class SourceRankingTest : public QObject
{
    Q_OBJECT

private slots:
    void sourcesRankByStatusThenListOrder_data()
    {
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<Health>("health");
        QTest::addColumn<QStringList>("order");

        const QString g = QStringLiteral("http://geo.test/");
        const QString p = QStringLiteral("http://part.test/");
        const QString u1 = QStringLiteral("http://unknown1.test/");
        const QString o = QStringLiteral("http://online.test/");
        const QString t = QStringLiteral("http://timeout.test/");
        const QString u2 = QStringLiteral("http://unknown2.test/");

        QTest::newRow("what the lists say") << QString() << Health() << QStringList { o, u1, u2, p, g, t };
        QTest::newRow("the source that last played well comes first")
            << t << Health() << QStringList { t, o, u1, u2, p, g };
        QTest::newRow("a check outweighs the list's tags")
            << QString() << Health { { p, SourceHealth::Playing }, { o, SourceHealth::Dead } }
            << QStringList { p, u1, u2, g, t, o };
        QTest::newRow("blocked and login ranks with geo-blocked, before dead")
            << QString()
            << Health { { u1, SourceHealth::NeedsLogin }, { u2, SourceHealth::Dead },
                   { o, SourceHealth::Blocked } }
            << QStringList { p, g, u1, o, t, u2 };
        QTest::newRow("a preferred address the channel lacks changes nothing")
            << QStringLiteral("http://elsewhere.test/") << Health() << QStringList { o, u1, u2, p, g, t };
    }
    void sourcesRankByStatusThenListOrder()
    {
        QFETCH(QString, preferred);
        QFETCH(Health, health);
        QFETCH(QStringList, order);
        const ListChannels entries {
            source("Band [Geo-blocked]", "http://geo.test/"),
            source("Band [Not 24/7]", "http://part.test/"),
            source("Band", "http://unknown1.test/"),
            source("Band (720p)", "http://online.test/", "online"),
            source("Band", "http://timeout.test/", "timeout"),
            source("Band HD", "http://unknown2.test/"),
        };
        const MergedChannels merged(entries);
        QCOMPARE(merged.size(), 1);
        QCOMPARE(addresses(entries, SourceRanking::ranked(merged, 0, health, preferred)), order);
    }

    void channelIsOffAirOnlyWhenEverySourceWasFoundNotPlaying_data()
    {
        QTest::addColumn<Health>("health");
        QTest::addColumn<bool>("offAir");
        const QString a = QStringLiteral("http://a.test/");
        const QString b = QStringLiteral("http://b.test/");
        QTest::newRow("never checked") << Health() << false;
        QTest::newRow("one not checked") << Health { { a, SourceHealth::Dead } } << false;
        QTest::newRow("one playing") << Health { { a, SourceHealth::Dead }, { b, SourceHealth::Playing } }
                                     << false;
        QTest::newRow("one not checkable")
            << Health { { a, SourceHealth::Dead }, { b, SourceHealth::Unknown } } << false;
        QTest::newRow("dead and blocked")
            << Health { { a, SourceHealth::Dead }, { b, SourceHealth::Blocked } } << true;
    }
    void channelIsOffAirOnlyWhenEverySourceWasFoundNotPlaying()
    {
        QFETCH(Health, health);
        QFETCH(bool, offAir);
        const ListChannels entries { source("X", "http://a.test/"), source("X", "http://b.test/") };
        QCOMPARE(SourceRanking::isOffAir(entries, { 0, 1 }, health), offAir);
    }
};

QTEST_GUILESS_MAIN(SourceRankingTest)
#include "sourceranking_test.moc"
