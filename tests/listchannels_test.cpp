// Packed list channels: every field back as it went in, across blocks, and
// copies that share their blocks but never see each other's changes.
#include "lists/ListChannels.h"

#include <QTest>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

ListChannel channel(int i)
{
    ListChannel c;
    c.name = u("Canção %1 (720p) [Geo-blocked]").arg(i);
    c.title = u("Canção %1").arg(i);
    c.tags = QStringList { u("720p"), u("Geo-blocked") };
    c.tvgId = u("Cancao%1.br").arg(i);
    c.logo = u("https://logos.test/%1.png").arg(i);
    c.group = u("Religioso;Geral");
    c.address = u("https://cdn.test/live/%1/index.m3u8").arg(i);
    c.status = i % 2 ? u("online") : QString();
    return c;
}

} // namespace

class ListChannelsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFieldComesBackAsItWentIn()
    {
        ListChannel full = channel(1);
        full.tvgName = u("Canção, SP");
        full.userAgent = u("Mozilla/5.0 (X11; Linux)");
        full.referrer = u("https://site.test/");
        const ListChannel empty;
        ListChannel oneTag;
        oneTag.name = u("SBT Ⓨ");
        oneTag.tags = QStringList { u("Ⓨ") };
        const ListChannels channels { full, empty, oneTag };
        QCOMPARE(channels.size(), 3);
        QCOMPARE(channels.at(0), full);
        QCOMPARE(channels.at(1), empty);
        QCOMPARE(channels.at(2), oneTag);
        QCOMPARE(channels.field(0, ListChannels::Referrer), full.referrer);
        QCOMPARE(channels.tags(2), oneTag.tags);
        QVERIFY(channels.tags(1).isEmpty());
    }

    // Some 150 bytes a channel: 20,000 of them fill several blocks.
    void channelsAcrossBlocksKeepTheirOrder()
    {
        ListChannels channels;
        for (int i = 0; i < 20000; ++i)
            channels.append(channel(i));
        QCOMPARE(channels.size(), 20000);
        int i = 0;
        for (const ListChannel &c : channels)
            QCOMPARE(c, channel(i++));
        QCOMPARE(i, 20000);
        QCOMPARE(channels.last(), channel(19999));
    }

    void copiesNeverSeeEachOthersChanges()
    {
        ListChannels first { channel(1), channel(2) };
        const ListChannels copy = first;
        first.append(channel(3));
        QCOMPARE(copy.size(), 2);
        QCOMPARE(copy.at(1), channel(2));
        QCOMPARE(first.at(2), channel(3));

        ListChannels all = copy;
        all += first;
        all.append(channel(4));
        QCOMPARE(all.size(), 6);
        QCOMPARE(all.at(2), channel(1));
        QCOMPARE(all.at(5), channel(4));
        QCOMPARE(first.size(), 3);
        QCOMPARE(copy, (ListChannels { channel(1), channel(2) }));
        QVERIFY(copy != first);
    }
};

QTEST_GUILESS_MAIN(ListChannelsTest)
#include "listchannels_test.moc"
