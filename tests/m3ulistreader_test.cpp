// Reading channel lists as publishers and users write them: attributes,
// quoting, groups, options, encodings, line ends, joined files, relative
// addresses, tags and broken lines.
#include "channels/ChannelCatalogue.h"
#include "lists/ChannelNameRules.h"
#include "lists/M3uListReader.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

ListChannel only(const QByteArray &bytes, const QString &base = QString())
{
    const M3uList list = M3uListReader::parse(bytes, base);
    return list.channels.size() == 1 ? list.channels.first() : ListChannel();
}

QStringList namesAndAddresses(const M3uList &list)
{
    QStringList found;
    for (const ListChannel &c : list.channels)
        found << c.name + QLatin1Char(' ') + c.address;
    return found;
}

} // namespace

class M3uListReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("canais")));
        QFile file(m_dir.filePath(QStringLiteral("canais/a.ts")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("fifo"))).constData(), 0600) == 0);
    }

    void attributesAreRead()
    {
        const ListChannel c = only("#EXTM3U\n#EXTINF:-1 tvg-id=\"Band.br\" tvg-name=\"Band, SP\" "
                                   "tvg-logo=\"https://i.imgur.com/b.png\" group-title=\"Geral;Notícias\" "
                                   "status=\"blocked\" user-agent=\"Mozilla/5.0 (X11, Linux)\","
                                   "Band (1080p) [Geo-blocked]\nhttps://cdn.test/band.m3u8\n");
        QCOMPARE(c.tvgId, u("Band.br"));
        QCOMPARE(c.tvgName, u("Band, SP"));
        QCOMPARE(c.logo, u("https://i.imgur.com/b.png"));
        QCOMPARE(c.group, u("Geral;Notícias"));
        QCOMPARE(c.status, u("blocked"));
        QVERIFY(!c.isOnline());
        QCOMPARE(c.userAgent, u("Mozilla/5.0 (X11, Linux)"));
        QCOMPARE(c.name, u("Band (1080p) [Geo-blocked]"));
        QCOMPARE(c.title, u("Band"));
        QCOMPARE(c.tags, QStringList({ u("1080p"), u("Geo-blocked") }));
        QCOMPARE(c.address, u("https://cdn.test/band.m3u8"));
    }

    void optionLinesReachTheNextEntry()
    {
        const M3uList list = M3uListReader::parse("#EXTM3U\n#EXTGRP:Notícias\n#EXTINF:-1,Canal A\n"
                                                  "#EXTVLCOPT:http-user-agent=Agente/1.0\n"
                                                  "#EXTVLCOPT:http-referrer=https://site.test/\n"
                                                  "http://a.test/1\n#EXTINF:-1,Canal B\nhttp://b.test/2\n");
        QCOMPARE(list.channels.size(), 2);
        QCOMPARE(list.channels[0].group, u("Notícias"));
        QCOMPARE(list.channels[0].userAgent, u("Agente/1.0"));
        QCOMPARE(list.channels[0].referrer, u("https://site.test/"));
        QCOMPARE(list.channels[1].group, QString());
        QCOMPARE(list.channels[1].userAgent, QString());
    }

    void headerGuideAddressesAreKept()
    {
        const QByteArray guides
            = QByteArray("https://epg.test/a.xml.gz,").repeated(300) + "https://epg.test/z.xml";
        const M3uList list = M3uListReader::parse("\xEF\xBB\xBF#EXTM3U x-tvg-url=\"" + guides
            + "\" refresh=\"3600\"\r\n#EXTINF:-1,A\r\nhttp://a.test/\r\n");
        QCOMPARE(list.guideAddresses.size(), 301);
        QCOMPARE(list.guideAddresses.last(), u("https://epg.test/z.xml"));
        QVERIFY(!list.headerMissing);
        QCOMPARE(list.channels.size(), 1);
    }

    void namesSurviveQuotingAndEncodings_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QByteArray("#EXTINF:-1,TV Globo") << u("TV Globo");
        QTest::newRow("comma inside quotes")
            << QByteArray("#EXTINF:-1 tvg-name=\"a,b\" group-title=\"x,y\",TV Globo") << u("TV Globo");
        QTest::newRow("comma inside the name")
            << QByteArray("#EXTINF:-1,Waikiki Beach, Honolulu") << u("Waikiki Beach, Honolulu");
        QTest::newRow("unclosed quote") << QByteArray("#EXTINF:-1 tvg-name=\"a,TV Globo") << u("TV Globo");
        QTest::newRow("unquoted value") << QByteArray("#EXTINF:-1 tvg-id=X.br,Rede X") << u("Rede X");
        QTest::newRow("empty name takes tvg-name")
            << QByteArray("#EXTINF:-1 tvg-name=\"Rede Y\",") << u("Rede Y");
        QTest::newRow("utf-8") << QByteArray("#EXTINF:-1,Canção Nova") << u("Canção Nova");
        QTest::newRow("cp1252") << QByteArray("#EXTINF:-1,Can\xe7\xe3o Nova \x96 \x80")
                                << u("Canção Nova – €");
        QTest::newRow("bom mid-list") << QByteArray("\xEF\xBB\xBF#EXTINF:-1,TVE") << u("TVE");
        QTest::newRow("blanks around the name") << QByteArray("#EXTINF:-1\t,   TV Globo \t") << u("TV Globo");
        QTest::newRow("commas in quotes and name")
            << QByteArray("#EXTINF:-1 tvg-name=\"a,b\",Waikiki Beach, Honolulu")
            << u("Waikiki Beach, Honolulu");
        QTest::newRow("tag in lower case") << QByteArray("#extinf:-1,ESPN") << u("ESPN");
    }
    void namesSurviveQuotingAndEncodings()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, name);
        QCOMPARE(only("#EXTM3U\r\n" + line + "\r\nhttp://a.test/x\r\n").name, name);
    }

    void relativeAddressesResolveAgainstTheList_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("resolved");
        QTest::newRow("remote, relative")
            << u("https://h.test/lists/br.m3u") << u("live/a.m3u8") << u("https://h.test/lists/live/a.m3u8");
        QTest::newRow("remote, rooted")
            << u("https://h.test/lists/br.m3u") << u("/a.m3u8") << u("https://h.test/a.m3u8");
        QTest::newRow("remote, parent")
            << u("http://h.test/a/b/l.m3u") << u("../c.ts") << u("http://h.test/a/c.ts");
        QTest::newRow("file") << u("$DIR/l.m3u") << u("canais/a.ts") << u("$DIR/canais/a.ts");
        QTest::newRow("absolute kept")
            << u("https://h.test/l.m3u") << u("rtmp://r.test/live") << u("rtmp://r.test/live");
        QTest::newRow("no base: refused") << QString() << u("live/a.m3u8") << QString();
    }
    void relativeAddressesResolveAgainstTheList()
    {
        QFETCH(QString, base);
        QFETCH(QString, address);
        QFETCH(QString, resolved);
        base.replace(u("$DIR"), m_dir.path());
        resolved.replace(u("$DIR"), m_dir.path());
        QCOMPARE(only("#EXTINF:-1,A\n" + address.toUtf8() + "\n", base).address, resolved);
    }

    // What a list may name depends on where it comes from: a remote list only
    // network streams, a local one local regular files too.
    void refusedAddressesAreSkippedAsBadLines_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("kept");
        const QString remote = u("https://h.test/l.m3u");
        const QString local = u("$DIR/l.m3u");
        const QString lavfi = u("av://lavfi:sine,ametadata=mode=print:file=/tmp/x.sh");
        QTest::newRow("remote, filter graph") << remote << lavfi << QString();
        QTest::newRow("remote, edit list") << remote << u("edl:///etc/passwd") << QString();
        QTest::newRow("remote, file url") << remote << u("file://$DIR/canais/a.ts") << QString();
        QTest::newRow("remote, descriptor") << remote << u("fd://0") << QString();
        QTest::newRow("remote, stream in capitals")
            << remote << u("HTTPS://c.test/a") << u("https://c.test/a");
        QTest::newRow("remote, rooted path becomes the server's")
            << remote << u("/etc/passwd") << u("https://h.test/etc/passwd");
        QTest::newRow("local, filter graph") << local << lavfi << QString();
        QTest::newRow("local, dvb") << local << u("dvb://Globo") << QString();
        QTest::newRow("local, device") << local << u("/dev/zero") << QString();
        QTest::newRow("local, pipe") << local << u("fifo") << QString();
        QTest::newRow("local, folder") << local << u("canais") << QString();
        QTest::newRow("local, missing file") << local << u("canais/b.ts") << QString();
        QTest::newRow("local, file url") << local << u("file://$DIR/canais/a.ts") << u("$DIR/canais/a.ts");
        QTest::newRow("local, stream") << local << u("udp://@:1234") << u("udp://@:1234");
    }
    void refusedAddressesAreSkippedAsBadLines()
    {
        QFETCH(QString, base);
        QFETCH(QString, address);
        QFETCH(QString, kept);
        for (QString *text : { &base, &address, &kept })
            text->replace(u("$DIR"), m_dir.path());
        const M3uList list = M3uListReader::parse(
            "#EXTM3U\n#EXTINF:-1,A\n" + address.toUtf8() + "\n#EXTINF:-1,B\nhttp://b.test/\n", base);
        QCOMPARE(list.channels.size(), kept.isEmpty() ? 1 : 2);
        QCOMPARE(list.channels.first().address, kept.isEmpty() ? u("http://b.test/") : kept);
        QCOMPARE(list.refusedAddresses, kept.isEmpty() ? 1 : 0);
        QCOMPARE(
            M3uListReader::summary(list), kept.isEmpty() ? u("1 canal; 1 linha ignorada") : u("2 canais"));
    }

    void brokenLinesAreSkippedAndCounted()
    {
        const QByteArray bytes = "#EXTINF:-1,Sem endereço\n"
                                 "#EXTINF:-1,Boa\nhttp://a.test/1\n"
                                 "http://orfao.test/\n"
                                 "#EXTINF:-1\nhttp://b.test/sem-nome\n"
                                 "#EXTINF:-1,Nu\x01lo\nhttp://c.test/\n"
                                 "#EXTINF:-1,Longa\n"
            + QByteArray(M3uListReader::MaxLineLength + 1, 'x') + "\n#EXTINF:-1,Fim";
        const M3uList list = M3uListReader::parse(bytes);
        QCOMPARE(list.channels.size(), 1);
        QCOMPARE(list.channels.first().name, u("Boa"));
        QVERIFY(list.headerMissing);
        QCOMPARE(list.entriesWithoutAddress, 3); // "Sem endereço", "Longa" (its address line too long), "Fim"
        QCOMPARE(
            list.addressesWithoutEntry, 3); // the orphan, after the nameless entry and after the NUL line
        QCOMPARE(list.entriesWithoutName, 1);
        QCOMPARE(list.controlLines, 1);
        QCOMPARE(list.overlongLines, 1);
        QCOMPARE(M3uListReader::summary(list), u("1 canal; 9 linhas ignoradas"));
    }

    void tagsLeaveTheRestOfTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("resolution and status")
            << u("Band (1080p) [Geo-blocked]") << u("Band") << QStringList { u("1080p"), u("Geo-blocked") };
        QTest::newRow("not 24/7") << u("Rede Vida (720p) [Not 24/7]") << u("Rede Vida")
                                  << QStringList { u("720p"), u("Not 24/7") };
        QTest::newRow("mark") << u("SBT Ⓨ") << u("SBT") << QStringList { u("Ⓨ") };
        QTest::newRow("other parentheses stay")
            << u("SBT (Alterosa)") << u("SBT (Alterosa)") << QStringList();
        QTest::newRow("bracket first")
            << u("[BR] TV Cultura (480i)") << u("TV Cultura") << QStringList { u("BR"), u("480i") };
        QTest::newRow("only tags") << u("[x]") << u("[x]") << QStringList { u("x") };
    }
    void tagsLeaveTheRestOfTheName()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QStringList, tags);
        const TaggedName split = ChannelNameRules::splitTags(name);
        QCOMPARE(split.title, title);
        QCOMPARE(split.tags, tags);
    }

    void addressIsTheNextLineNeitherEmptyNorComment()
    {
        const M3uList list = M3uListReader::parse(
            "#EXTM3U\n#EXTINF:-1,ESPN\n\n   \n#EXTVLCOPT:network-caching=1000\n# a comment\n"
            "  rtsp://a.test/espn  \n#EXTINF:-1,BAND\nhttp://a.test/band\n");
        QCOMPARE(namesAndAddresses(list),
            QStringList({ u("ESPN rtsp://a.test/espn"), u("BAND http://a.test/band") }));
    }

    void everyLineEndGivesTheSameEntries_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray lf = "#EXTM3U\n#EXTINF:-1,ESPN\nhttp://a.test/1\n#EXTINF:-1,BAND\nhttp://a.test/2";
        QByteArray crlf = lf;
        crlf.replace("\n", "\r\n");
        QByteArray cr = lf;
        cr.replace("\n", "\r");
        QTest::newRow("LF") << lf;
        QTest::newRow("CR LF") << crlf;
        QTest::newRow("CR LF, last line ended") << crlf + "\r\n";
        QTest::newRow("CR alone") << cr;
        QTest::newRow("mixed") << QByteArray(
            "#EXTM3U\r\n#EXTINF:-1,ESPN\nhttp://a.test/1\r#EXTINF:-1,BAND\r\n"
            "http://a.test/2\n");
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + crlf;
    }
    void everyLineEndGivesTheSameEntries()
    {
        QFETCH(QByteArray, bytes);
        const M3uList list = M3uListReader::parse(bytes);
        QVERIFY(!list.headerMissing);
        QCOMPARE(list.skipped(), 0);
        QCOMPARE(
            namesAndAddresses(list), QStringList({ u("ESPN http://a.test/1"), u("BAND http://a.test/2") }));
    }

    void joinedListsKeepTheirMarksOutOfNamesAndAddresses()
    {
        const QByteArray list = "\xEF\xBB\xBF#EXTM3U\n#EXTINF:-1,ESPN\nhttp://a/1\n";
        const M3uList read = M3uListReader::parse(list + list
            + "#EXTINF:-1,BAND\n\xEF\xBB\xBF\xEF\xBB\xBF\n\xEF\xBB\xBFhttp://a/2\n"
            + "#EXTINF:-1,\xEF\xBB\xBF Globo \xEF\xBB\xBF\nhttp://a/3\n"
            + "#EXTINF:-1 tvg-name=\"\xEF\xBB\xBF SBT\",\nhttp://a/4\n");
        QCOMPARE(namesAndAddresses(read),
            QStringList({ u("ESPN http://a/1"), u("ESPN http://a/1"), u("BAND http://a/2"),
                u("Globo http://a/3"), u("SBT http://a/4") }));
        QCOMPARE(read.skipped(), 0);
        QVERIFY(!read.headerMissing);
    }

    void missingHeaderIsReadButNoted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<int>("channels");
        QTest::newRow("header") << QByteArray("#EXTM3U\n#EXTINF:-1,A\nhttp://a\n") << false << 1;
        QTest::newRow("header after blank lines")
            << QByteArray("\n\n  #EXTM3U\n#EXTINF:-1,A\nhttp://a\n") << false << 1;
        QTest::newRow("no header") << QByteArray("#EXTINF:-1,A\nhttp://a\n") << true << 1;
        QTest::newRow("header not first") << QByteArray("#EXTINF:-1,A\nhttp://a\n#EXTM3U\n") << true << 1;
        QTest::newRow("empty file") << QByteArray() << false << 0;
    }
    void missingHeaderIsReadButNoted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, missing);
        QFETCH(int, channels);
        const M3uList list = M3uListReader::parse(bytes);
        QCOMPARE(list.headerMissing, missing);
        QCOMPARE(list.channels.size(), channels);
    }

    void controlLinesAreSkippedAndTheRestRead_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("NUL byte") << QByteArray("#EXTINF:-1,Nu\0lo", 16);
        QTest::newRow("control byte") << QByteArray("#EXTINF:-1,\x01"
                                                    "Canal");
        QTest::newRow("escape sequence") << QByteArray("#EXTINF:-1,\x1b"
                                                       "[2JCanal");
        QTest::newRow("delete") << QByteArray("http://a.test/\x7f");
    }
    void controlLinesAreSkippedAndTheRestRead()
    {
        QFETCH(QByteArray, line);
        const QByteArray good = "#EXTINF:-1,ESPN\nhttp://a.test/1\n";
        const M3uList list = M3uListReader::parse("#EXTM3U\n" + good + line + "\n" + good);
        QCOMPARE(list.controlLines, 1);
        QCOMPARE(
            namesAndAddresses(list), QStringList({ u("ESPN http://a.test/1"), u("ESPN http://a.test/1") }));
    }

    void megabyteLineIsSkippedAndTheRestRead()
    {
        const M3uList list = M3uListReader::parse("#EXTM3U\n#EXTINF:-1,ESPN\nhttp://a.test/1\n"
            + QByteArray(1024 * 1024, 'z') + "\n#EXTINF:-1,BAND\nhttp://a.test/2\n");
        QCOMPARE(list.overlongLines, 1);
        QCOMPARE(list.channels.size(), 2);
    }

    void everyCutOfAListReadsWithoutHarm()
    {
        const QByteArray list
            = "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:-1 tvg-id=\"x\",Canção Nova\r\n#EXTVLCOPT:a=b\r\n"
              "http://a.test/ç\r\n#EXTINF:-1,ESPN\r\nhttp://a.test/e\r\n";
        for (qsizetype cut = 0; cut <= list.size(); ++cut) {
            const M3uList read = M3uListReader::parse(list.left(cut));
            QVERIFY(read.channels.size() <= 2);
            for (const ListChannel &c : read.channels)
                QVERIFY(!c.name.isEmpty() && !c.address.isEmpty());
        }
        QCOMPARE(M3uListReader::parse(list).channels.size(), 2);
    }

    void everyBuiltInTitleCanBeNamedInAList()
    {
        for (const Channel &c : ChannelCatalogue::builtIn().channels()) {
            const QByteArray line
                = "#EXTINF:-1 tvg-name=\"x, y\" group-title=\"z\"," + c.titleSuffix.toUtf8();
            QCOMPARE(only("#EXTM3U\n" + line + "\nhttp://own.test/1\n").name, c.titleSuffix);
        }
    }

    void entriesPastTheBoundAreCounted()
    {
        QByteArray bytes;
        for (int i = 0; i < M3uListReader::MaxEntries + 3; ++i)
            bytes += "#EXTINF:-1,C\nhttp://h.test/" + QByteArray::number(i) + "\n";
        const M3uList list = M3uListReader::parse(bytes);
        QCOMPARE(list.channels.size(), M3uListReader::MaxEntries);
        QCOMPARE(list.entriesPastLimit, 3);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(M3uListReaderTest)
#include "m3ulistreader_test.moc"
