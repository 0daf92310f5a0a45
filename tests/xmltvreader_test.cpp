// Reading XMLTV guides as Brazilian publishers write them: ids with spaces and
// accents, slugs, -0300 offsets, ratings, commas in categories, empty and
// broken elements, languages, encodings, compression and cut files.
#include "guide/XmlTvReader.h"
#include "guide/XmlTvTime.h"
#include "tests/support/GuideBytes.h"

#include <QBuffer>
#include <QTest>

namespace
{

const QDateTime Now(QDate(2024, 5, 10), QTime(15, 0), Qt::UTC);

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

qint64 utc(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2024, 5, day), QTime(hour, minute), Qt::UTC).toSecsSinceEpoch();
}

XmlTvReader::Result read(
    const QByteArray &bytes, WantedChannels wanted = WantedChannels::everything(), int offsetHours = 0)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    GuideReadOptions options;
    options.now = Now.toSecsSinceEpoch();
    options.offsetHours = offsetHours;
    options.wanted = std::move(wanted);
    return XmlTvReader::read(&buffer, options);
}

QByteArray guide(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
           "<tv generator-info-name=\"epg\">\n"
        + body + "</tv>\n";
}

// A programme on channel, in Brasília time, from hour to hour on 10 May (UTC hours).
QByteArray programme(
    const QByteArray &channel, int fromHour, int toHour, const QByteArray &title, const QByteArray &desc = {})
{
    return "<programme start=\""
        + GuideBytes::brasilia(QDateTime::fromSecsSinceEpoch(utc(10, fromHour), Qt::UTC)) + "\" stop=\""
        + GuideBytes::brasilia(QDateTime::fromSecsSinceEpoch(utc(10, toHour), Qt::UTC)) + "\" channel=\""
        + channel + "\"><title lang=\"pt\">" + title + "</title>"
        + (desc.isEmpty() ? QByteArray() : "<desc>" + desc + "</desc>") + "</programme>\n";
}

// Forty channels of three programmes each: enough bytes to cross chunks when compressed.
QByteArray bigGuide()
{
    QByteArray body;
    for (int c = 0; c < 40; ++c) {
        const QByteArray id = "canal-" + QByteArray::number(c);
        body += "<channel id=\"" + id + "\"><display-name>Canal " + QByteArray::number(c)
            + "</display-name></channel>\n";
        for (int h = 10; h < 16; h += 2)
            body
                += programme(id, h, h + 2, "Programa " + QByteArray::number(h), QByteArray(300, 'x') + "fim");
    }
    return guide(body);
}

// A source that gives a few bytes now and then, as a pipe or a slow disk may.
class DribblingDevice : public QIODevice
{
public:
    explicit DribblingDevice(QByteArray bytes)
        : m_bytes(std::move(bytes))
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 size
            = qMin(qMin(maxSize, ++m_reads % 5 ? qint64(8192) : qint64(2)), qint64(m_bytes.size() - m_at));
        std::memcpy(data, m_bytes.constData() + m_at, size_t(size));
        m_at += size;
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
    qint64 m_reads = 0;
};

} // namespace

class XmlTvReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void timesAreRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("seconds"); // -1: not a time
        QTest::newRow("Brasília offset") << u("20240510120000 -0300") << utc(10, 15);
        QTest::newRow("no seconds, no offset: UTC") << u("202405101200") << utc(10, 12);
        QTest::newRow("no offset: UTC") << u("20240510120000") << utc(10, 12);
        QTest::newRow("positive offset, no space") << u("20240510120000+0200") << utc(10, 10);
        QTest::newRow("offset with colon") << u("20240510120000 -03:00") << utc(10, 15);
        QTest::newRow("date across midnight") << u("20240510230000 -0300") << utc(11, 2);
        QTest::newRow("empty") << QString() << qint64(-1);
        QTest::newRow("year only") << u("2024") << qint64(-1);
        QTest::newRow("month 13") << u("20241310120000") << qint64(-1);
        QTest::newRow("31 April") << u("20240431120000") << qint64(-1);
        QTest::newRow("offset of 25 hours") << u("20240510120000 +2500") << qint64(-1);
        QTest::newRow("words after the time") << u("20240510120000 horário de Brasília") << qint64(-1);
    }
    void timesAreRead()
    {
        QFETCH(QString, text);
        QFETCH(qint64, seconds);
        const std::optional<qint64> read = XmlTvTime::parse(text);
        QCOMPARE(read.value_or(-1), seconds);
    }

    void realBrazilianGuideIsRead()
    {
        const QByteArray bytes = "\xEF\xBB\xBF"
            + guide("<channel id=\"TV CÂMARA\"><display-name>TV CÂMARA</display-name></channel>\n"
                    "<channel id=\"tv-globo\"><display-name lang=\"en\">Globo TV</display-name>"
                    "<display-name lang=\"pt\">TV Globo</display-name><icon src=\"https://logo.test/g.png\"/>"
                    "</channel>\n"
                    "<programme start=\"20240510190000 -0300\" stop=\"20240510200000 -0300\" "
                    "channel=\"tv-globo\">"
                    "<title lang=\"en\">Evening News</title><title lang=\"pt\">Jornal Nacional</title>"
                    "<sub-title lang=\"pt\">Edição de sexta</sub-title>"
                    "<desc lang=\"pt\"><![CDATA[Notícias do Brasil & do mundo <ao vivo>]]></desc>"
                    "<category lang=\"pt\">Jornalismo, Notícias</category><category lang=\"pt\">Ao "
                    "vivo</category>"
                    "<episode-num system=\"xmltv_ns\">..</episode-num>"
                    "<rating system=\"ClassInd\"><value>[L] Livre para todos os públicos</value></rating>"
                    "</programme>\n"
                    "<programme start=\"\" stop=\"\" channel=\"\"></programme>\n"
                    "<programme start=\"20240510200000 -0300\" channel=\"TV CÂMARA\">"
                    "<title>Sessão Plenária &amp; Debates</title>"
                    "<episode-num system=\"xmltv_ns\">1.4.0/1</episode-num></programme>\n"
                    "<programme start=\"20240510210000 -0300\" stop=\"20240510220000 -0300\" channel=\"TV "
                    "CÂMARA\">"
                    "<title>Câmara Notícias</title></programme>\n");
        const XmlTvReader::Result result = read(bytes);
        QCOMPARE(result.report.error, QString());
        QCOMPARE(result.report.badProgrammes, 1);
        const GuideStore &store = *result.store;
        QCOMPARE(store.channelCount(), 2);

        const int globo = store.findChannel(u"TV-GLOBO");
        QVERIFY(globo >= 0);
        QCOMPARE(store.displayNames(globo), QStringList({ u("TV Globo"), u("Globo TV") }));
        QCOMPARE(store.channelIcon(globo), u("https://logo.test/g.png"));
        const GuideProgramme news = store.nowNext(globo, utc(10, 22, 30)).now;
        QCOMPARE(news.title, u("Jornal Nacional"));
        QCOMPARE(news.subTitle, u("Edição de sexta"));
        QCOMPARE(news.description, u("Notícias do Brasil & do mundo <ao vivo>"));
        QCOMPARE(news.categories, QStringList({ u("Jornalismo, Notícias"), u("Ao vivo") }));
        QCOMPARE(news.episode, QString());
        QCOMPARE(news.rating, u("[L] Livre para todos os públicos"));
        QCOMPARE(news.start, utc(10, 22));
        QCOMPARE(news.stop, utc(10, 23));

        const int camara = store.findChannel(u("tv câmara"));
        QVERIFY(camara >= 0);
        QCOMPARE(store.programmeCount(camara), 2);
        const GuideProgramme session = store.programme(camara, 0);
        QCOMPARE(session.title, u("Sessão Plenária & Debates"));
        QCOMPARE(session.episode, u("T2 E5"));
        QCOMPARE(session.stop, utc(11, 0)); // it had no stop: the next start ends it
    }

    void scheduleIsSortedAndMended()
    {
        // Out of order, a duplicate start, an overlap and a programme ending before it starts.
        const XmlTvReader::Result result = read(guide(programme("c", 14, 15, "Terceiro")
            + programme("c", 10, 12, "Primeiro") + programme("c", 10, 11, "Primeiro de novo")
            + programme("c", 11, 14, "Segundo") + programme("c", 16, 15, "Ao contrário")));
        const GuideStore &store = *result.store;
        const int c = store.findChannel(u"c");
        QCOMPARE(store.programmeCount(c), 3);
        QCOMPARE(store.title(c, 0), u("Primeiro"));
        QCOMPARE(store.record(c, 0).stop, utc(10, 11)); // cut where the next starts
        QCOMPARE(store.title(c, 1), u("Segundo"));
        QCOMPARE(store.title(c, 2), u("Terceiro"));
        QCOMPARE(result.report.duplicates, 1);
        QCOMPARE(result.report.overlapsCut, 1);
        QCOMPARE(result.report.badProgrammes, 1);
    }

    void onlyTheWindowIsKept()
    {
        QByteArray body;
        // The window runs from 9 May 15:00 to 18 May 15:00.
        for (const int day : { 8, 9, 10, 18, 19 }) {
            const QByteArray hour = day == 18 ? "14" : "16";
            const QByteArray start = QByteArray::number(20240500 + day) + hour + "0000";
            const QByteArray stop = QByteArray::number(20240500 + day) + hour + "3000";
            body += "<programme start=\"" + start + "\" stop=\"" + stop + "\" channel=\"c\"><title>Dia "
                + QByteArray::number(day) + "</title></programme>\n";
        }
        const XmlTvReader::Result result = read(guide(body));
        const int c = result.store->findChannel(u"c");
        QCOMPARE(result.store->programmeCount(c), 3);
        QCOMPARE(result.report.programmesOutsideWindow, 2);
        QCOMPARE(result.store->title(c, 0), u("Dia 9"));
    }

    void unwantedChannelsKeepOnlyTheirNames()
    {
        WantedChannels wanted;
        wanted.addId(u"Band.br@SD");
        wanted.addName(u"SBT HD");
        const XmlTvReader::Result result
            = read(guide("<channel id=\"band.br\"><display-name>Band</display-name></channel>"
                         "<channel id=\"SBT\"><display-name>SBT</display-name></channel>"
                         "<channel id=\"sbt-alterosa\"><display-name>SBT (Alterosa)</display-name></channel>"
                       + programme("band.br", 12, 13, "Brasil Urgente")
                       + programme("SBT", 12, 13, "Primeiro Impacto")
                       + programme("sbt-alterosa", 12, 13, "Alterosa Alerta")
                       + programme("rede-vida", 12, 13, "Terço")),
                std::move(wanted));
        const GuideStore &store = *result.store;
        QCOMPARE(store.channelCount(), 4);
        QCOMPARE(store.programmeCount(store.findChannel(u"band.br")), 1);
        QCOMPARE(store.programmeCount(store.findChannel(u"SBT")), 1);
        QCOMPARE(store.programmeCount(store.findChannel(u"sbt-alterosa")), 0);
        QCOMPARE(store.displayNames(store.findChannel(u"sbt-alterosa")), QStringList { u("SBT (Alterosa)") });
        QCOMPARE(result.report.programmesOfOtherChannels, 2);
        QCOMPARE(result.report.channelsKept, 2);
    }

    void offsetSettingShiftsEveryTime()
    {
        const XmlTvReader::Result result
            = read(guide(programme("c", 12, 13, "Um")), WantedChannels::everything(), -2);
        const int c = result.store->findChannel(u"c");
        QCOMPARE(result.store->record(c, 0).start, utc(10, 10));
        QCOMPARE(result.store->record(c, 0).stop, utc(10, 11));
    }

    void compressedGuidesAreReadByContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("compression");
        const QByteArray plain = bigGuide();
        QTest::newRow("plain") << plain << int(GuideReadReport::Compression::None);
        QTest::newRow("gzip") << GuideBytes::deflated(plain) << int(GuideReadReport::Compression::Gzip);
        QTest::newRow("zlib") << GuideBytes::deflated(plain, 15) << int(GuideReadReport::Compression::Zlib);
        QTest::newRow("xz") << GuideBytes::xz(plain) << int(GuideReadReport::Compression::Xz);
        const qsizetype half = plain.indexOf("<channel id=\"canal-20\"");
        QTest::newRow("gzip of two members")
            << GuideBytes::deflated(plain.left(half)) + GuideBytes::deflated(plain.mid(half))
            << int(GuideReadReport::Compression::Gzip);
    }
    void compressedGuidesAreReadByContent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, compression);
        const XmlTvReader::Result result = read(bytes);
        QCOMPARE(int(result.report.compression), compression);
        QCOMPARE(result.report.error, QString());
        QVERIFY(!result.report.cut);
        QCOMPARE(result.store->channelCount(), 40);
        QCOMPARE(result.store->totalProgrammes(), 120);
    }

    void truncatedArchiveKeepsWhatWasRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray plain = bigGuide();
        const QByteArray gzip = GuideBytes::deflated(plain);
        const QByteArray xz = GuideBytes::xz(plain);
        QTest::newRow("gzip") << gzip.left(gzip.size() / 2);
        QTest::newRow("xz") << xz.left(xz.size() / 2);
        QTest::newRow("plain") << plain.left(plain.size() / 2);
    }
    void truncatedArchiveKeepsWhatWasRead()
    {
        QFETCH(QByteArray, bytes);
        const XmlTvReader::Result result = read(bytes);
        QVERIFY(result.report.cut);
        QVERIFY2(result.report.error.contains(u("cortado")), qPrintable(result.report.error));
        QVERIFY(result.store->totalProgrammes() > 20);
        QVERIFY(result.store->totalProgrammes() < 120);
        // Every programme kept is whole: none was cut in the middle of its description.
        for (int c = 0; c < result.store->channelCount(); ++c) {
            for (int i = 0; i < result.store->programmeCount(c); ++i)
                QVERIFY(result.store->programme(c, i).description.endsWith(QString(300, u'x') + u("fim")));
        }
    }

    void readsAreWholeWhateverTheSourceGives()
    {
        // QXmlStreamReader (Qt 6.4) takes a short read for the end of what is
        // there: a first read of 1 to 3 bytes fails the document, and a short
        // read inside an element's text once ended the element early, silently.
        QByteArray plain;
        for (int i = 0; i < 300; ++i)
            plain += programme(
                "c", 10, 11, "Tom &amp; Jerry " + QByteArray::number(i), "Caf\xC3\xA9 &amp; p\xC3\xA3o");
        plain = guide(plain);
        for (const QByteArray &stored : { plain, GuideBytes::deflated(plain) }) {
            DribblingDevice source(stored);
            GuideInput input(&source);
            QByteArray read;
            char chunk[8192];
            qint64 got = 0;
            while ((got = input.read(chunk, sizeof(chunk))) == qint64(sizeof(chunk)))
                read.append(chunk, got);
            read.append(chunk, qMax<qint64>(got, 0));
            QVERIFY(input.atEnd());
            QCOMPARE(read, plain);
        }
    }

    void latin1DeclarationIsHonoured()
    {
        const QByteArray bytes = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><tv>"
                                 "<programme start=\"20240510120000\" stop=\"20240510130000\" channel=\"c\">"
                                 "<title>Programa\xE7\xE3o Infantil</title></programme></tv>";
        const XmlTvReader::Result result = read(bytes);
        QCOMPARE(result.store->title(0, 0), u("Programação Infantil"));
    }

    void brokenTextIsMendedNotFatal()
    {
        const XmlTvReader::Result result = read(guide(programme("c", 10, 11, "Tom & Jerry")
            + programme("c", 11, 12, "Caf&eacute; com Not&iacute;cias &#1;")
            + programme("c", 12, 13, "A &unknown; B")));
        QCOMPARE(result.report.error, QString());
        const int c = result.store->findChannel(u"c");
        QCOMPARE(result.store->title(c, 0), u("Tom & Jerry"));
        QCOMPARE(result.store->title(c, 1), u("Café com Notícias \uFFFD"));
        QCOMPARE(result.store->title(c, 2), u("A &unknown; B"));
    }

    void brokenXmlKeepsWhatCameBefore()
    {
        const XmlTvReader::Result result = read(guide(programme("c", 10, 11, "Antes")
            + "<programme start=\"20240510110000\" channel=\"c\">"
              "<title>Quebrado</desc></programme>"
            + programme("c", 12, 13, "Depois")));
        QVERIFY(result.report.error.contains(u("erro de XML")));
        QCOMPARE(result.store->totalProgrammes(), 1);
        QCOMPARE(result.store->title(0, 0), u("Antes"));
    }

    void longTextsAreCut()
    {
        const QByteArray description = QByteArray("Era uma vez ").repeated(2000);
        const XmlTvReader::Result result
            = read(guide("<programme start=\"20240510120000\" stop=\"20240510130000\" "
                         "channel=\"c\"><title>"
                + QByteArray(5000, 'T') + "</title><desc>" + description + "</desc></programme>"));
        const GuideProgramme p = result.store->programme(0, 0);
        QCOMPARE(p.title.size(), XmlTvReader::MaxLineChars + 1);
        QCOMPARE(p.description.size(), XmlTvReader::MaxDescriptionChars + 1);
        QVERIFY(p.description.endsWith(u'…'));
        QCOMPARE(result.report.textsCut, 2);
    }

    void whatIsNoGuideSaysSo_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << u("O arquivo do guia está vazio.");
        QTest::newRow("web page") << QByteArray("<!DOCTYPE html><html><body>404</body></html>")
                                  << u("O arquivo não é um guia XMLTV.");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11)
                                << u("O arquivo não é um guia XMLTV.");
    }
    void whatIsNoGuideSaysSo()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const XmlTvReader::Result result = read(bytes);
        QCOMPARE(result.report.error, error);
        QCOMPARE(result.store->channelCount(), 0);
    }
};

QTEST_GUILESS_MAIN(XmlTvReaderTest)
#include "xmltvreader_test.moc"
