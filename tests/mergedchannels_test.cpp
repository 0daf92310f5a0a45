// Entries of every list merged into channels: by tvg-id without its feed, by
// the name without its tags, and never the false friends.
#include "lists/ChannelNameRules.h"
#include "lists/MergedChannels.h"

#include <QTest>

namespace
{

ListChannel entry(const char *name, const char *tvgId = "", const char *address = nullptr)
{
    ListChannel c;
    c.name = QString::fromUtf8(name);
    const TaggedName split = ChannelNameRules::splitTags(c.name);
    c.title = split.title;
    c.tags = split.tags;
    c.tvgId = QString::fromUtf8(tvgId);
    c.address = address ? QString::fromUtf8(address) : QStringLiteral("http://a.test/") + c.name + c.tvgId;
    return c;
}

// Each channel as its entries' indexes, in the channels' order.
QVector<QVector<int>> grouped(const MergedChannels &merged)
{
    QVector<QVector<int>> groups;
    for (int c = 0; c < merged.size(); ++c)
        groups.append(merged.sources(c));
    return groups;
}

} // namespace

class MergedChannelsTest : public QObject
{
    Q_OBJECT

private slots:
    void sameChannelIsOneRow_data()
    {
        QTest::addColumn<QVector<ListChannel>>("entries");
        QTest::addColumn<QVector<QVector<int>>>("channels");

        QTest::newRow("feeds of one id") << QVector<ListChannel> { entry("Band", "Band.br@SD"),
            entry("Band HD", "Band.br@HD"), entry("Band", "band.br") }
                                         << QVector<QVector<int>> { { 0, 1, 2 } };
        QTest::newRow("names with quality and status tags")
            << QVector<ListChannel> { entry("Rede Vida (720p)"), entry("REDE VIDA [Not 24/7]"),
                   entry("Rede Vida HD [Geo-blocked]"), entry("Rede  Vida (1080p)") }
            << QVector<QVector<int>> { { 0, 1, 2, 3 } };
        QTest::newRow("false friends: Globo and Globo FM") << QVector<ListChannel> { entry("Globo"),
            entry("Globo FM"), entry("Globo (720p)") } << QVector<QVector<int>> { { 0, 2 }, { 1 } };
        QTest::newRow("false friends: SBT (Alterosa) and SBT Rede Massa")
            << QVector<ListChannel> { entry("SBT (Alterosa)"), entry("SBT Rede Massa"), entry("SBT") }
            << QVector<QVector<int>> { { 0 }, { 1 }, { 2 } };
        QTest::newRow("different ids with one name stay apart")
            << QVector<ListChannel> { entry("Band", "Band.br"), entry("Band", "Band.us") }
            << QVector<QVector<int>> { { 0 }, { 1 } };
        QTest::newRow("a name joins the one id that carries it") << QVector<ListChannel> { entry("Cultura"),
            entry("TV Cultura", "Cultura.br"), entry("TV Cultura (480p)") }
                                                                 << QVector<QVector<int>> { { 0 }, { 1, 2 } };
        QTest::newRow("a name shared by two ids joins neither") << QVector<ListChannel> {
            entry("Band", "Band.br"), entry("Band", "Band.us"), entry("Band [Not 24/7]")
        } << QVector<QVector<int>> { { 0 }, { 1 }, { 2 } };
        QTest::newRow("a name alone is never stripped to nothing") << QVector<ListChannel> { entry("HD"),
            entry("4K"), entry("HD [Not 24/7]") } << QVector<QVector<int>> { { 0, 2 }, { 1 } };
    }
    void sameChannelIsOneRow()
    {
        QFETCH(QVector<ListChannel>, entries);
        QFETCH(QVector<QVector<int>>, channels);
        const MergedChannels merged { ListChannels(entries) };
        QCOMPARE(grouped(merged), channels);
        for (int c = 0; c < merged.size(); ++c) {
            QCOMPARE(merged.sourceCount(c), channels[c].size());
            for (const int e : channels[c])
                QCOMPARE(merged.channelOfEntry(e), c);
            QCOMPARE(merged.channelOfKey(merged.key(c)), c);
        }
    }

    void keyFollowsTheIdWhateverEntryComesFirst()
    {
        const MergedChannels merged { ListChannels {
            entry("TV Cultura"), entry("TV Cultura", "Cultura.br@SD") } };
        QCOMPARE(merged.size(), 1);
        QCOMPARE(merged.key(0), QStringLiteral("id:cultura.br"));
        QCOMPARE(merged.firstEntry(0), 0);
        QCOMPARE(MergedChannels::keyOf(entry("Rede Vida HD (720p)")), QStringLiteral("name:redevida"));
        QCOMPARE(MergedChannels::keyOf(QString(), QStringLiteral("!!!"), QStringLiteral("http://h.test/1")),
            QStringLiteral("address:http://h.test/1"));
    }

    void rowsKeepTheListsOrder()
    {
        // The third entry joins the second channel after the fourth made its own.
        const MergedChannels merged { ListChannels {
            entry("A"), entry("B", "B.br"), entry("B"), entry("C"), entry("A [Not 24/7]") } };
        QCOMPARE(grouped(merged), (QVector<QVector<int>> { { 0, 4 }, { 1, 2 }, { 3 } }));
        QCOMPARE(merged.channelOfKey(QStringLiteral("name:zzz")), -1);
    }
};

QTEST_GUILESS_MAIN(MergedChannelsTest)
#include "mergedchannels_test.moc"
