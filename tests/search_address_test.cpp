#include "browser/SearchAddress.h"

#include <QTest>
#include <QUrlQuery>

// How a search site reads a query value: "+" is a blank, then %XX decoded as UTF-8.
static QString formDecoded(const QString &value)
{
    QByteArray bytes = value.toLatin1();
    bytes.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
}

static QString queryValue(const QUrl &url, const QString &key)
{
    return QUrlQuery(url).queryItemValue(key, QUrl::FullyEncoded);
}

class SearchAddressTest : public QObject
{
    Q_OBJECT

private slots:
    void extensionIsCutOnlyAfterTheLastSeparator_data();
    void extensionIsCutOnlyAfterTheLastSeparator();
    void blanksAndUnderscoresBecomePlus_data();
    void blanksAndUnderscoresBecomePlus();
    void queryDelimitersInTheTextAreEncoded_data();
    void queryDelimitersInTheTextAreEncoded();
    void searchSiteReadsBackWhatWasTyped_data();
    void searchSiteReadsBackWhatWasTyped();
    void lyricsAddressKeepsItsPathAndKeys();
    void videoAddressKeepsItsPathAndKey();
    void addressesAreHttps();
    void typedTextIsReadAsTheUserMeansIt_data();
    void typedTextIsReadAsTheUserMeansIt();
    void adultAreaAddressIsReservedExample();
};

void SearchAddressTest::extensionIsCutOnlyAfterTheLastSeparator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file name") << QStringLiteral("Banda_X - Minha Musica.mp3")
                               << QStringLiteral("Banda_X - Minha Musica");
    QTest::newRow("abbreviation taken as extension") << QStringLiteral("Mr. Bean") << QStringLiteral("Mr");
    QTest::newRow("backslash path") << QStringLiteral("a\\b.c") << QStringLiteral("a\\b");
    QTest::newRow("dot before backslash") << QStringLiteral("a.b\\c") << QStringLiteral("a.b\\c");
    QTest::newRow("dot before colon") << QStringLiteral("v1.2: ao vivo") << QStringLiteral("v1.2: ao vivo");
    QTest::newRow("dot after colon") << QStringLiteral("c:musica.wma") << QStringLiteral("c:musica");
    QTest::newRow("only the last extension") << QStringLiteral("a.tar.gz") << QStringLiteral("a.tar");
    QTest::newRow("no dot") << QStringLiteral("Minha Musica") << QStringLiteral("Minha Musica");
    QTest::newRow("only an extension") << QStringLiteral(".mp3") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void SearchAddressTest::extensionIsCutOnlyAfterTheLastSeparator()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(SearchAddress::withoutExtension(text), expected);
}

void SearchAddressTest::blanksAndUnderscoresBecomePlus_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("terms");
    QTest::newRow("worked example") << QStringLiteral("Banda_X - Minha Musica.mp3")
                                    << QStringLiteral("Banda+X+-+Minha+Musica");
    QTest::newRow("Mr. Bean") << QStringLiteral("Mr. Bean") << QStringLiteral("Mr");
    QTest::newRow("runs of blanks kept") << QStringLiteral("a  b__c") << QStringLiteral("a++b++c");
    QTest::newRow("safe characters unchanged")
        << QStringLiteral("AZaz09-.~x.y") << QStringLiteral("AZaz09-.~x");
}

void SearchAddressTest::blanksAndUnderscoresBecomePlus()
{
    QFETCH(QString, text);
    QFETCH(QString, terms);
    QCOMPARE(SearchAddress::searchTerms(text), terms);
}

void SearchAddressTest::queryDelimitersInTheTextAreEncoded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("terms");
    QTest::newRow("ampersand") << QStringLiteral("Tom & Jerry") << QStringLiteral("Tom+%26+Jerry");
    QTest::newRow("hash") << QStringLiteral("#") << QStringLiteral("%23");
    QTest::newRow("hash inside") << QStringLiteral("C# curso") << QStringLiteral("C%23+curso");
    QTest::newRow("percent") << QStringLiteral("%") << QStringLiteral("%25");
    QTest::newRow("percent escape") << QStringLiteral("100%20") << QStringLiteral("100%2520");
    QTest::newRow("typed plus") << QStringLiteral("1+1") << QStringLiteral("1%2B1");
    QTest::newRow("equals") << QStringLiteral("a=b") << QStringLiteral("a%3Db");
    QTest::newRow("accents") << QStringLiteral("ção") << QStringLiteral("%C3%A7%C3%A3o");
    QTest::newRow("backslash") << QStringLiteral("a\\b.c") << QStringLiteral("a%5Cb");
    QTest::newRow("question mark and slash") << QStringLiteral("AC/DC?") << QStringLiteral("AC%2FDC%3F");
}

void SearchAddressTest::queryDelimitersInTheTextAreEncoded()
{
    QFETCH(QString, text);
    QFETCH(QString, terms);
    QCOMPARE(SearchAddress::searchTerms(text), terms);
}

void SearchAddressTest::searchSiteReadsBackWhatWasTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("read");
    QTest::newRow("ampersand") << QStringLiteral("Tom & Jerry") << QStringLiteral("Tom & Jerry");
    QTest::newRow("hash") << QStringLiteral("Opus #1") << QStringLiteral("Opus #1");
    QTest::newRow("plus and percent") << QStringLiteral("1+1=2 100%") << QStringLiteral("1+1=2 100%");
    QTest::newRow("accents") << QStringLiteral("Canção do Mar.mp3") << QStringLiteral("Canção do Mar");
    QTest::newRow("underscores") << QStringLiteral("Banda_X.ogg") << QStringLiteral("Banda X");
}

void SearchAddressTest::searchSiteReadsBackWhatWasTyped()
{
    QFETCH(QString, text);
    QFETCH(QString, read);
    const QUrl videos = SearchAddress::videoSearch(text);
    QVERIFY(videos.isValid());
    QVERIFY(!videos.hasFragment());
    QCOMPARE(QUrlQuery(videos).queryItems().size(), 1);
    QCOMPARE(formDecoded(queryValue(videos, QStringLiteral("q"))), read);

    const QUrl lyrics = SearchAddress::lyricsSearch(text);
    QVERIFY(!lyrics.hasFragment());
    QCOMPARE(QUrlQuery(lyrics).queryItems().size(), 4);
    QCOMPARE(formDecoded(queryValue(lyrics, QStringLiteral("q"))), read + QStringLiteral(" lyrics"));
}

void SearchAddressTest::lyricsAddressKeepsItsPathAndKeys()
{
    const QUrl url = SearchAddress::lyricsSearch(QStringLiteral("Banda_X - Minha Musica.mp3"));
    QCOMPARE(url.toEncoded(),
        SearchAddress::LyricsSearchSite.toLatin1()
            + "/search?hl=pt-BR&q=Banda+X+-+Minha+Musica+lyrics&btnG=Pesquisar&meta=");
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("hl")), QStringLiteral("pt-BR"));
    QCOMPARE(query.queryItemValue(QStringLiteral("btnG")), QStringLiteral("Pesquisar"));
    QVERIFY(query.hasQueryItem(QStringLiteral("meta")));
    QCOMPARE(query.queryItemValue(QStringLiteral("meta")), QString());

    QCOMPARE(SearchAddress::lyricsSearch(QStringLiteral("Tom & Jerry")).toEncoded(),
        SearchAddress::LyricsSearchSite.toLatin1()
            + "/search?hl=pt-BR&q=Tom+%26+Jerry+lyrics&btnG=Pesquisar&meta=");
}

void SearchAddressTest::videoAddressKeepsItsPathAndKey()
{
    QCOMPARE(SearchAddress::videoSearch(QStringLiteral("Mr. Bean")).toEncoded(),
        SearchAddress::VideoSearchSite.toLatin1() + "/videosearch?q=Mr");
    QCOMPARE(SearchAddress::videoSearch(QStringLiteral("ção #2")).toEncoded(),
        SearchAddress::VideoSearchSite.toLatin1() + "/videosearch?q=%C3%A7%C3%A3o+%232");
}

void SearchAddressTest::addressesAreHttps()
{
    QCOMPARE(SearchAddress::lyricsSearch(QStringLiteral("x")).scheme(), QStringLiteral("https"));
    QCOMPARE(SearchAddress::videoSearch(QStringLiteral("x")).scheme(), QStringLiteral("https"));
    QCOMPARE(QUrl(SearchAddress::AdultAreaAddress).scheme(), QStringLiteral("https"));
}

void SearchAddressTest::typedTextIsReadAsTheUserMeansIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QUrl>("expected");
    QTest::newRow("full address unchanged") << QStringLiteral("https://exemplo.example/a?b=1&c=2#d")
                                            << QUrl(QStringLiteral("https://exemplo.example/a?b=1&c=2#d"));
    QTest::newRow("no scheme") << QStringLiteral("www.exemplo.example")
                               << QUrl(QStringLiteral("http://www.exemplo.example"));
    QTest::newRow("local file") << QStringLiteral("/tmp/pagina.html")
                                << QUrl::fromLocalFile(QStringLiteral("/tmp/pagina.html"));
    QTest::newRow("extension kept") << QStringLiteral("exemplo.example/Mr. Bean.html")
                                    << QUrl(QStringLiteral("http://exemplo.example/Mr.%20Bean.html"));
    QTest::newRow("empty") << QString() << QUrl();
    QTest::newRow("blanks only") << QStringLiteral("   ") << QUrl();
}

void SearchAddressTest::typedTextIsReadAsTheUserMeansIt()
{
    QFETCH(QString, text);
    QFETCH(QUrl, expected);
    QCOMPARE(SearchAddress::typedAddress(text), expected);
}

void SearchAddressTest::adultAreaAddressIsReservedExample()
{
    const QUrl url(SearchAddress::AdultAreaAddress, QUrl::StrictMode);
    QVERIFY(url.isValid());
    QVERIFY(url.host().endsWith(QStringLiteral(".example")));
}

QTEST_GUILESS_MAIN(SearchAddressTest)
#include "search_address_test.moc"
