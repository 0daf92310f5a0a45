#include "engine/PlaylistParser.h"

#include <QTest>

using PlaylistParser::Sniff;

Q_DECLARE_METATYPE(std::optional<QStringList>)

class PlaylistParserTest : public QObject
{
    Q_OBJECT

private slots:
    void hostileAsxStillYieldsEntries_data();
    void hostileAsxStillYieldsEntries();
    void numberedAndLineFormsYieldEntriesInOrder_data();
    void numberedAndLineFormsYieldEntriesInOrder();
    void nonPlaylistIsNotMistakenForOne_data();
    void nonPlaylistIsNotMistakenForOne();
    void emptyPlaylistIsAPlaylistWithoutEntries_data();
    void emptyPlaylistIsAPlaylistWithoutEntries();
    void sniffDecidesOnFirstBytes_data();
    void sniffDecidesOnFirstBytes();
    void truncatedPlaylistNeverCrashes();
};

static const QUrl base(QStringLiteral("http://radio.example/lists/live.asx"));

void PlaylistParserTest::hostileAsxStillYieldsEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");

    const QStringList one { QStringLiteral("mms://a.example/live") };
    QTest::newRow("plain") << QByteArray(
        "<asx version=\"3.0\"><entry><ref href=\"mms://a.example/live\"/></entry></asx>")
                           << one;
    QTest::newRow("mixed-case tags") << QByteArray(
        "<ASX Version=\"3\"><Entry><REF HREF=\"mms://a.example/live\" /></entry></Asx>")
                                     << one;
    QTest::newRow("no version") << QByteArray("<asx><entry><ref href=\"mms://a.example/live\"></entry></asx>")
                                << one;
    QTest::newRow("stray ampersand") << QByteArray(
        "<asx version=\"3.0\"><title>Rock & Pop</title><entry><ref href=\"http://a.example/s?x=1&y=2\"/>"
        "</entry></asx>") << QStringList { QStringLiteral("http://a.example/s?x=1&y=2") };
    QTest::newRow("entities decoded") << QByteArray(
        "<asx version=\"3.0\"><entry><ref href=\"http://a.example/s?x=1&amp;y=&#50;\"/></entry></asx>")
                                      << QStringList { QStringLiteral("http://a.example/s?x=1&y=2") };
    QTest::newRow("nested entries") << QByteArray(
        "<asx version=\"3.0\"><entry><ref href=\"mms://a.example/1\"/><entry><ref "
        "href=\"mms://a.example/2\"/>"
        "</entry></entry><entry><ref href=\"mms://a.example/3\"/></entry></asx>")
                                    << QStringList { QStringLiteral("mms://a.example/1"),
                                           QStringLiteral("mms://a.example/2"),
                                           QStringLiteral("mms://a.example/3") };
    QTest::newRow("relative hrefs") << QByteArray(
        "<asx><entry><ref href=\"stream.wmv\"/><ref href=\"/root.wmv\"/></entry></asx>")
                                    << QStringList { QStringLiteral("http://radio.example/lists/stream.wmv"),
                                           QStringLiteral("http://radio.example/root.wmv") };
    QTest::newRow("base element") << QByteArray(
        "<asx><base href=\"http://other.example/dir/\"/><entry><ref href=\"s.wmv\"/></entry></asx>")
                                  << QStringList { QStringLiteral("http://other.example/dir/s.wmv") };
    QTest::newRow("entryref kept for the resolver")
        << QByteArray("<asx><entryref href=\"http://a.example/more.asx\"/></asx>")
        << QStringList { QStringLiteral("http://a.example/more.asx") };
    QTest::newRow("prolog, comments, quotes")
        << QByteArray("\xEF\xBB\xBF  <?xml version=\"1.0\"?>\r\n<!-- <ref href=\"http://no\"/> --><asx>"
                      "<entry><ref href='mms://a.example/live'/><ref href=mms://b.example/x></entry></asx>")
        << QStringList { QStringLiteral("mms://a.example/live"), QStringLiteral("mms://b.example/x") };
    QTest::newRow("utf-16") << QByteArray(
        "\xFF\xFE<\0a\0s\0x\0>\0<\0r\0e\0f\0 "
        "\0h\0r\0e\0f\0=\0\"\0m\0m\0s\0:\0/\0/\0a\0.\0e\0x\0a\0m\0p\0l\0e\0/\0l\0"
        "i\0v\0e\0\"\0/\0>\0<\0/\0a\0s\0x\0>\0",
        76) << one;
    // Each stray '&' once made the decoder look for ';' to the end of the value.
    const QByteArray ampersands(512 * 1024, '&');
    QTest::newRow("half a megabyte of stray ampersands")
        << (QByteArray("<asx><entry><ref href=\"http://a.example/s?") + ampersands + "\"/></entry></asx>")
        << QStringList { QStringLiteral("http://a.example/s?") + QString::fromLatin1(ampersands) };
    QTest::newRow("entity at the length limit")
        << QByteArray(
               "<asx><entry><ref href=\"http://a.example/s?&#0000000050;&#00000000050;\"/></entry></asx>")
        << QStringList { QStringLiteral("http://a.example/s?2&#00000000050;") };
    QTest::newRow("spaces around href")
        << QByteArray("<asx><entry><ref href = \"  mms://a.example/live \"/></entry></asx>") << one;
}

void PlaylistParserTest::hostileAsxStillYieldsEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    const auto parsed = PlaylistParser::parse(bytes, base);
    QVERIFY(parsed.has_value());
    QCOMPARE(*parsed, entries);
}

void PlaylistParserTest::numberedAndLineFormsYieldEntriesInOrder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");

    const QStringList two { QStringLiteral("http://a.example/live?MSWMExt=.asf"),
        QStringLiteral("http://b.example/live") };
    QTest::newRow("CR LF") << QByteArray(
        "[Reference]\r\nRef1=http://a.example/live?MSWMExt=.asf\r\nRef2=http://b.example/live\r\n")
                           << two;
    QTest::newRow("LF, case, spaces")
        << QByteArray("\n[reference]\nref1 = http://a.example/live?MSWMExt=.asf\nREF2=http://b.example/live")
        << two;
    QTest::newRow("numbered out of order")
        << QByteArray("[Reference]\nRef2=http://b.example/live\nRef1=http://a.example/live?MSWMExt=.asf\n")
        << two;
    QTest::newRow("other keys and sections ignored") << QByteArray(
        "[Reference]\nRef1=http://a.example/live?MSWMExt=.asf\nBandwidth=1\nRef2=http://b.example/live\n"
        "[Other]\nRef3=http://c.example/\n") << two;
    QTest::newRow("relative") << QByteArray("[Reference]\r\nRef1=s.asf\r\n")
                              << QStringList { QStringLiteral("http://radio.example/lists/s.asf") };

    const QStringList plain { QStringLiteral("http://a.example/live"),
        QStringLiteral("http://b.example/live") };
    QTest::newRow("pls") << QByteArray("[playlist]\nFile1=http://a.example/live\nTitle1=A\nLength1=-1\n"
                                       "File2=http://b.example/live\nNumberOfEntries=2\nVersion=2\n")
                         << plain;
    QTest::newRow("pls, case, CR LF, out of order")
        << QByteArray("[Playlist]\r\nfile2 = http://b.example/live\r\nFILE1=http://a.example/live\r\n")
        << plain;
    QTest::newRow("pls, relative") << QByteArray("[playlist]\nFile1=s.mp3\n")
                                   << QStringList { QStringLiteral("http://radio.example/lists/s.mp3") };
    // Entries come as written: the address rule refuses them later, by origin.
    QTest::newRow("pls, special protocol kept for the rule") << QByteArray(
        "[playlist]\nFile1=av://lavfi:sine\n") << QStringList { QStringLiteral("av://lavfi:sine") };
    QTest::newRow("m3u") << QByteArray("#EXTM3U\n#EXTINF:-1,A\nhttp://a.example/live\n\n"
                                       "# comment\nhttp://b.example/live\n")
                         << plain;
    QTest::newRow("m3u, mark and CR")
        << QByteArray("\xEF\xBB\xBF#extm3u\rhttp://a.example/live\rhttp://b.example/live") << plain;
    QTest::newRow("m3u, relative") << QByteArray("#EXTM3U\n/root.mp3\n")
                                   << QStringList { QStringLiteral("http://radio.example/root.mp3") };
}

void PlaylistParserTest::numberedAndLineFormsYieldEntriesInOrder()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    const auto parsed = PlaylistParser::parse(bytes, base);
    QVERIFY(parsed.has_value());
    QCOMPARE(*parsed, entries);
}

void PlaylistParserTest::nonPlaylistIsNotMistakenForOne_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("white space") << QByteArray(" \r\n\t ");
    QTest::newRow("mp3 frames") << QByteArray("\xFF\xFB\x90\x64\x00\x00\x00\x00garbage", 16);
    QTest::newRow("id3 tag") << QByteArray("ID3\x03\x00\x00\x00\x00\x00\x21", 10);
    QTest::newRow("html page") << QByteArray(
        "<!DOCTYPE html><html><body><a href=\"x\">asx</a></body></html>");
    QTest::newRow("rss") << QByteArray(
        "<?xml version=\"1.0\"?><rss><channel><ref href=\"http://x\"/></channel></rss>");
    QTest::newRow("other ini section") << QByteArray("[general]\nFile1=http://a.example/\n");
    QTest::newRow("hls media playlist") << QByteArray(
        "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\nseg0.ts\n#EXT-X-ENDLIST\n");
    QTest::newRow("hls master playlist, tag late")
        << QByteArray("#EXTM3U\n#EXTINF:-1,x\nhttp://a.example/\n#EXT-X-STREAM-INF:BANDWIDTH=1\nlow.m3u8\n");
    QTest::newRow("m3u without its header") << QByteArray("http://a.example/live\n");
    QTest::newRow("comment") << QByteArray("# not a playlist\nhttp://a.example/live\n");
    QTest::newRow("text") << QByteArray("Not found, sorry.");
    QTest::newRow("binary zeros") << QByteArray(64, '\0');
}

void PlaylistParserTest::nonPlaylistIsNotMistakenForOne()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!PlaylistParser::parse(bytes, base).has_value());
}

void PlaylistParserTest::emptyPlaylistIsAPlaylistWithoutEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("asx") << QByteArray("<asx version=\"3.0\"><title>Off the air</title></asx>");
    QTest::newRow("asx, unclosed") << QByteArray("<ASX");
    QTest::newRow("asx, ref without href") << QByteArray("<asx><entry><ref/><ref href=\"\"/></entry></asx>");
    QTest::newRow("reference") << QByteArray("[Reference]\r\n");
    QTest::newRow("reference, empty values") << QByteArray("[Reference]\r\nRef1=\r\nRefX=http://x/\r\n");
}

void PlaylistParserTest::emptyPlaylistIsAPlaylistWithoutEntries()
{
    QFETCH(QByteArray, bytes);
    const auto parsed = PlaylistParser::parse(bytes, base);
    QVERIFY(parsed.has_value());
    QVERIFY(parsed->isEmpty());
}

void PlaylistParserTest::sniffDecidesOnFirstBytes_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<Sniff>("verdict");
    QTest::newRow("nothing yet") << QByteArray() << Sniff::NeedMore;
    QTest::newRow("white space only") << QByteArray("\r\n  ") << Sniff::NeedMore;
    QTest::newRow("half a byte-order mark") << QByteArray("\xEF\xBB") << Sniff::NeedMore;
    QTest::newRow("tag") << QByteArray("\xEF\xBB\xBF <AS") << Sniff::MaybePlaylist;
    QTest::newRow("reference, partial") << QByteArray("[Refe") << Sniff::NeedMore;
    QTest::newRow("reference") << QByteArray("[REFERENCE]\r\nRef1") << Sniff::MaybePlaylist;
    QTest::newRow("pls") << QByteArray("[Playlist]\nFile1") << Sniff::MaybePlaylist;
    QTest::newRow("either section, partial") << QByteArray("[") << Sniff::NeedMore;
    QTest::newRow("other section") << QByteArray("[general]") << Sniff::NotPlaylist;
    QTest::newRow("m3u, partial") << QByteArray("#EXT") << Sniff::NeedMore;
    QTest::newRow("m3u") << QByteArray("#EXTM3U\n#EXTINF:-1,A\n") << Sniff::MaybePlaylist;
    QTest::newRow("hls, decided at once") << QByteArray("#EXTM3U\n#EXT-X-VERSION:3\n") << Sniff::NotPlaylist;
    QTest::newRow("comment") << QByteArray("# x") << Sniff::NotPlaylist;
    QTest::newRow("mp3") << QByteArray("\xFF\xFB\x90\x64", 4) << Sniff::NotPlaylist;
    QTest::newRow("ogg") << QByteArray("OggS") << Sniff::NotPlaylist;
}

void PlaylistParserTest::sniffDecidesOnFirstBytes()
{
    QFETCH(QByteArray, prefix);
    QFETCH(Sniff, verdict);
    QCOMPARE(PlaylistParser::sniff(prefix), verdict);
}

void PlaylistParserTest::truncatedPlaylistNeverCrashes()
{
    const QByteArray full(
        "\xEF\xBB\xBF<asx version=\"3.0\"><!-- c --><entry><ref href=\"http://a.example/s?x=1&amp;y=&#x32;"
        "&#99999999;&\"/><ref href='b' /><ref href=c></entry></asx>[Reference]\r\nRef1=x");
    for (qsizetype n = 0; n <= full.size(); ++n) {
        const auto parsed = PlaylistParser::parse(full.left(n), base);
        if (parsed)
            QVERIFY(parsed->size() <= 3);
        PlaylistParser::sniff(full.left(n));
    }
    const auto parsed = PlaylistParser::parse(full, base);
    QVERIFY(parsed.has_value());
    QCOMPARE(parsed->size(), 3);
    QCOMPARE(parsed->first(), QStringLiteral("http://a.example/s?x=1&y=2&#99999999;&"));
}

QTEST_GUILESS_MAIN(PlaylistParserTest)
#include "playlistparser_test.moc"
