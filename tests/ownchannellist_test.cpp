// The user's channel list over the built-in catalogue: which channel an entry
// names, what becomes of its alternate list, and that a bad file changes
// nothing and is reported once.
#include "channels/OwnChannelList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace
{

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

ChannelListEntry entry(const char *name, const char *address)
{
    return { u(name), u(address) };
}

const Channel &channel(const ChannelCatalogue &catalogue, const char *control)
{
    const Channel *c = catalogue.byControl(QString::fromLatin1(control));
    Q_ASSERT(c);
    return *c;
}

QString addressOf(const ChannelCatalogue &catalogue, const char *control)
{
    return channel(catalogue, control).address;
}

// Every address and alternate list, for comparing a whole catalogue.
QStringList everyAddress(const ChannelCatalogue &catalogue)
{
    QStringList all;
    for (const Channel &c : catalogue.channels())
        all << c.control + QLatin1Char('=') + c.address + QLatin1Char('|') + c.alternateList;
    for (const AlternateList &list : catalogue.alternateLists())
        all << list.listBox + QLatin1Char(':') + list.titleSuffix + QLatin1Char(':')
                + list.entries.join(u' ');
    return all;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// What startUpCatalogue() writes to its warnings stream.
struct CapturedWarnings {
    CapturedWarnings()
        : file(std::tmpfile())
    {
    }
    ~CapturedWarnings() { std::fclose(file); }
    QStringList lines() const
    {
        std::fflush(file);
        std::rewind(file);
        QByteArray all;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            all.append(buffer, qsizetype(n));
        return QString::fromLocal8Bit(all).split(u'\n', Qt::SkipEmptyParts);
    }
    std::FILE *file;
};

} // namespace

class OwnChannelListTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("ownchannellist"));
        QVERIFY(m_dir.isValid());
    }
    void cleanup() { QFile::remove(OwnChannelList::path()); }

    void everyTitleCanBeNamedInAList()
    {
        QSet<QString> seen;
        for (const Channel &c : ChannelCatalogue::builtIn().channels()) {
            QVERIFY2(!seen.contains(c.titleSuffix), qPrintable(c.titleSuffix));
            seen.insert(c.titleSuffix);
            const QByteArray line
                = "#EXTINF:-1 tvg-name=\"x, y\" group-title=\"z\"," + c.titleSuffix.toUtf8();
            const ChannelListRead read = ChannelListFile::parse("#EXTM3U\n" + line + "\nhttp://own.test/1\n");
            QCOMPARE(read.entries.size(), 1);
            QCOMPARE(read.entries.first().name, c.titleSuffix);
        }
    }

    void nameMatchesTheTitleExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("control"); // empty: no channel
        QTest::newRow("as written") << u("TV Globo") << u("SpeedButton90");
        QTest::newRow("accents as written") << u("Canção Nova") << u("SpeedButton32");
        QTest::newRow("listed radio") << u("Radio Jovem Pan Maringá") << u("SpeedButton23");
        QTest::newRow("menu item") << u("DIFM (Vocal Trance)") << u("VocalTrance1");
        QTest::newRow("comma in the title") << u("Waikiki Beach, Honolulu") << u("a1");
        QTest::newRow("other case") << u("tv globo") << QString();
        QTest::newRow("upper case") << u("TV GLOBO") << QString();
        QTest::newRow("accents left out") << u("Cancao Nova") << QString();
        QTest::newRow("button caption, not title") << u("Globo") << QString();
        QTest::newRow("whole window title") << u("Lumivortex TV - TV Globo") << QString();
        QTest::newRow("trailing space") << u("TV Globo ") << QString();
    }
    void nameMatchesTheTitleExactly()
    {
        QFETCH(QString, name);
        QFETCH(QString, control);
        ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        const QStringList before = everyAddress(catalogue);
        const ChannelListApplied applied
            = OwnChannelList::apply(catalogue, { { name, QStringLiteral("http://own.test/1") } });
        if (control.isEmpty()) {
            QCOMPARE(applied.channels, 0);
            QCOMPARE(applied.unmatched, QStringList { name });
            QCOMPARE(everyAddress(catalogue), before);
        } else {
            QCOMPARE(applied.channels, 1);
            QVERIFY(applied.unmatched.isEmpty());
            QCOMPARE(catalogue.byControl(control)->address, QStringLiteral("http://own.test/1"));
        }
    }

    void laterEntriesBecomeTheAlternatesInFileOrder()
    {
        ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        const ChannelListApplied applied = OwnChannelList::apply(catalogue,
            { entry("TV Globo", "http://own.test/g1"), entry("ESPN", "http://own.test/e1"),
                entry("TV Globo", "http://own.test/g2"), entry("TV Globo", "http://own.test/g3") });
        QCOMPARE(applied.channels, 2);
        const Channel &globo = channel(catalogue, "SpeedButton90");
        QCOMPARE(globo.address, u("http://own.test/g1"));
        QCOMPARE(globo.alternateList, u("ListBoxSpeedButton90"));
        const AlternateList *list = catalogue.alternateListForTitle(u("Lumivortex TV - TV Globo"));
        QVERIFY(list);
        QCOMPARE(list->listBox, globo.alternateList);
        QCOMPARE(list->entries,
            (QStringList { u("http://own.test/g1"), u("http://own.test/g2"), u("http://own.test/g3") }));
        QCOMPARE(catalogue.alternateList(globo.alternateList), list);
        // Buttons and titles stay as built in.
        const Channel &builtIn = channel(ChannelCatalogue::builtIn(), "SpeedButton90");
        QCOMPARE(globo.caption, builtIn.caption);
        QCOMPARE(globo.tooltip, builtIn.tooltip);
        QCOMPARE(globo.titleSuffix, builtIn.titleSuffix);
        QCOMPARE(globo.container, builtIn.container);
        QCOMPARE(globo.slot, builtIn.slot);
    }

    void builtInListGivesWayToTheUsersAddresses_data()
    {
        QTest::addColumn<QVector<ChannelListEntry>>("entries");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("two") << QVector<ChannelListEntry> { entry("ESPN", "http://own.test/1"),
            entry("ESPN", "http://own.test/2") }
                             << QStringList { u("http://own.test/1"), u("http://own.test/2") };
        QTest::newRow("one") << QVector<ChannelListEntry> { entry("ESPN", "http://own.test/1") }
                             << QStringList { u("http://own.test/1") };
    }
    void builtInListGivesWayToTheUsersAddresses()
    {
        QFETCH(QVector<ChannelListEntry>, entries);
        QFETCH(QStringList, list);
        ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        OwnChannelList::apply(catalogue, entries);
        QCOMPARE(addressOf(catalogue, "SpeedButton87"), list.first());
        QCOMPARE(channel(catalogue, "SpeedButton87").alternateList, u("ListBoxESPN"));
        QCOMPARE(catalogue.alternateList(u("ListBoxESPN"))->entries, list);
        QCOMPARE(catalogue.alternateLists().size(), 15);
    }

    void channelNamedOnceGetsNoListOfItsOwn()
    {
        ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        OwnChannelList::apply(catalogue, { entry("TV Globo", "http://own.test/1") });
        QCOMPARE(addressOf(catalogue, "SpeedButton90"), u("http://own.test/1"));
        QVERIFY(channel(catalogue, "SpeedButton90").alternateList.isEmpty());
        QCOMPARE(catalogue.alternateLists().size(), 15);
    }

    void otherChannelsAndTheBuiltInTableStayAsTheyWere()
    {
        const QStringList builtIn = everyAddress(ChannelCatalogue::builtIn());
        ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        OwnChannelList::apply(
            catalogue, { entry("TV Globo", "http://own.test/1"), entry("TV Globo", "http://own.test/2") });
        QCOMPARE(everyAddress(ChannelCatalogue::builtIn()), builtIn);
        const QStringList after = everyAddress(catalogue);
        int changed = 0;
        for (const QString &line : after)
            changed += builtIn.contains(line) ? 0 : 1;
        QCOMPARE(changed, 2); // the channel and its new list
        QCOMPARE(after.size(), builtIn.size() + 1);
    }

    void addressesPastTheLimitAreCounted()
    {
        QVector<ChannelListEntry> entries;
        for (int i = 0; i < OwnChannelList::MaxAddresses + 5; ++i)
            entries.append({ u("TV Globo"), QStringLiteral("http://own.test/%1").arg(i) });
        ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        const ChannelListApplied applied = OwnChannelList::apply(catalogue, entries);
        QCOMPARE(applied.addressesOverLimit, 5);
        const QStringList list = catalogue.alternateList(u("ListBoxSpeedButton90"))->entries;
        QCOMPARE(list.size(), OwnChannelList::MaxAddresses);
        QCOMPARE(list.last(), QStringLiteral("http://own.test/%1").arg(OwnChannelList::MaxAddresses - 1));
    }

    void unmatchedNamesAreListedOnce()
    {
        ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        const ChannelListApplied applied = OwnChannelList::apply(
            catalogue, { entry("Foo", "http://a"), entry("Bar", "http://b"), entry("Foo", "http://c") });
        QCOMPARE(applied.unmatched, (QStringList { u("Foo"), u("Bar") }));
    }

    void addingAListToAListedChannelIsRefused()
    {
        ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        QVERIFY(!catalogue.addAlternateList(u("SpeedButton87"), u("ListBoxOther"), { u("http://a") }));
        QVERIFY(!catalogue.addAlternateList(u("SpeedButton90"), u("ListBoxESPN"), { u("http://a") }));
        QVERIFY(!catalogue.addAlternateList(u("NoSuchButton"), u("ListBoxNew"), { u("http://a") }));
        QCOMPARE(everyAddress(catalogue), everyAddress(ChannelCatalogue::builtIn()));
    }

    // --- files and what is said about them

    void badFileChangesNothingAndIsReportedInOneLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray globo = "#EXTINF:-1,TV Globo\nhttp://own.test/1\n";
        QTest::newRow("binary") << "#EXTM3U\n" + globo + QByteArray(1, '\0') << u("não é texto UTF-8");
        QTest::newRow("Latin-1") << QByteArray("#EXTM3U\n#EXTINF:-1,Can\xe7\xe3o Nova\nhttp://a\n")
                                 << u("não é texto UTF-8");
        QTest::newRow("megabyte line")
            << "#EXTM3U\n" + globo + QByteArray(ChannelListFile::MaxBytes, 'x') << u("é maior que 1024 KiB");
        QTest::newRow("50 MB") << QByteArray() << u("é maior que 1024 KiB");
        QTest::newRow("only names of no channel")
            << QByteArray("#EXTM3U\n#EXTINF:-1,tv globo\nhttp://own.test/1\n") << u("nenhum canal mudou");
        QTest::newRow("empty") << QByteArray() << u("nenhum canal mudou");
        QByteArray many = "#EXTM3U\n";
        for (int i = 0; i < ChannelListFile::MaxEntries + 2; ++i)
            many += "#EXTINF:-1,Nada " + QByteArray::number(i) + "\nhttp://own.test/\n";
        QTest::newRow("too many entries") << many << u("2 entradas além das primeiras 4096");
        QTest::newRow("plain address list")
            << QByteArray("http://own.test/1\r\nhttp://own.test/2\r\n") << u("2 endereços sem #EXTINF");
        QTest::newRow("long lines only") << "#EXTM3U\n#EXTINF:-1,TV Globo\n" + QByteArray(9000, 'h') + "\n"
                                         << u("1 linha longa demais");
    }
    void badFileChangesNothingAndIsReportedInOneLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = m_dir.filePath(QStringLiteral("bad.m3u"));
        QVERIFY(writeFile(path, bytes));
        if (QString::fromLatin1(QTest::currentDataTag()) == QLatin1String("50 MB"))
            QVERIFY(QFile::resize(path, 50 * 1000 * 1000));
        QString note;
        const ChannelCatalogue catalogue
            = OwnChannelList::withListAt(ChannelCatalogue::builtIn(), path, &note);
        QCOMPARE(everyAddress(catalogue), everyAddress(ChannelCatalogue::builtIn()));
        QVERIFY2(note.contains(reason), qPrintable(note));
        QVERIFY2(note.contains(path), qPrintable(note));
        QVERIFY(!note.contains(u'\n'));
    }

    void missingFileIsSilent()
    {
        QString note = u("untouched");
        const ChannelCatalogue catalogue
            = OwnChannelList::withListAt(ChannelCatalogue::builtIn(), m_dir.filePath(u("none.m3u")), &note);
        QVERIFY(note.isEmpty());
        QCOMPARE(everyAddress(catalogue), everyAddress(ChannelCatalogue::builtIn()));
    }

    void wholeFileUsedIsSilent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray lf
            = "#EXTM3U\n#EXTINF:-1,TV Globo\nhttp://own.test/1\n#EXTINF:-1,TV Globo\nhttp://own.test/2\n";
        QByteArray crlf = lf;
        crlf.replace("\n", "\r\n");
        QTest::newRow("LF") << lf;
        QTest::newRow("CR LF") << crlf;
    }
    void wholeFileUsedIsSilent()
    {
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(QStringLiteral("good.m3u"));
        QVERIFY(writeFile(path, bytes));
        QString note = u("untouched");
        const ChannelCatalogue catalogue
            = OwnChannelList::withListAt(ChannelCatalogue::builtIn(), path, &note);
        QVERIFY2(note.isEmpty(), qPrintable(note));
        QCOMPARE(addressOf(catalogue, "SpeedButton90"), u("http://own.test/1"));
        QCOMPARE(catalogue.alternateList(u("ListBoxSpeedButton90"))->entries.size(), 2);
    }

    void fileWithoutHeaderIsUsedAndNoted()
    {
        const QString path = m_dir.filePath(QStringLiteral("noheader.m3u"));
        QVERIFY(writeFile(path, "#EXTINF:-1,TV Globo\r\nhttp://own.test/1\r\n"));
        QString note;
        const ChannelCatalogue catalogue
            = OwnChannelList::withListAt(ChannelCatalogue::builtIn(), path, &note);
        QCOMPARE(addressOf(catalogue, "SpeedButton90"), u("http://own.test/1"));
        QVERIFY2(note.contains(u("não começa com #EXTM3U")), qPrintable(note));
        QVERIFY(!note.contains(u("nenhum canal")));
    }

    void noteNamesUnmatchedCompactlyAndSafely()
    {
        ChannelListRead read;
        ChannelListApplied applied;
        applied.channels = 1;
        applied.unmatched = { u("Um"), u("Dois\u009b2J"), QString(60, u'x'), u("Quatro"), u("Cinco") };
        const QString note = OwnChannelList::note(u("/x/channels.m3u"), read, applied);
        QVERIFY2(note.contains(u("5 nomes que não são de nenhum canal (\"Um\", \"Dois?2J\", \"")
                     + QString(40, u'x') + u("…\" e mais 2)")),
            qPrintable(note));
        QVERIFY(!note.contains(u("Quatro")));
    }

    void startUpReadsTheConfigFolderAndWarnsOnce_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("globo");
        QTest::addColumn<int>("warnings");
        const QString builtIn = addressOf(ChannelCatalogue::builtIn(), "SpeedButton90");
        QTest::newRow("good") << QByteArray("#EXTM3U\n#EXTINF:-1,TV Globo\nhttp://own.test/1\n")
                              << u("http://own.test/1") << 0;
        QTest::newRow("everything wrong at once")
            << QByteArray("#EXTINF:-1,TV Globo\nhttp://own.test/1\n#EXTINF:-1\nx\n#EXTINF:-1,Foo\nhttp://f\n"
                          "#EXTINF:-1,Bar\n")
                + QByteArray(9000, 'l')
            << u("http://own.test/1") << 1;
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0",
            10) << builtIn << 1;
    }
    void startUpReadsTheConfigFolderAndWarnsOnce()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, globo);
        QFETCH(int, warnings);
        const QString path = OwnChannelList::path();
        QCOMPARE(
            path, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + u("/channels.m3u"));
        QVERIFY(path.contains(u("/ownchannellist/")));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(writeFile(path, bytes));
        CapturedWarnings said;
        const ChannelCatalogue catalogue = OwnChannelList::startUpCatalogue(said.file);
        QCOMPARE(addressOf(catalogue, "SpeedButton90"), globo);
        QCOMPARE(said.lines().size(), warnings);
    }

    void startUpWithoutFileSaysNothing()
    {
        QVERIFY(!QFile::exists(OwnChannelList::path()));
        CapturedWarnings said;
        const ChannelCatalogue catalogue = OwnChannelList::startUpCatalogue(said.file);
        QCOMPARE(everyAddress(catalogue), everyAddress(ChannelCatalogue::builtIn()));
        QVERIFY(said.lines().isEmpty());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(OwnChannelListTest)
#include "ownchannellist_test.moc"
