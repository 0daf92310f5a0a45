// Reading M3U channel lists: which line is a name, which an address, and
// every kind of file that must be refused or cut without harm.
#include "channels/ChannelListFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(ChannelListRead::Refusal)

namespace
{

QByteArray u8(const char *text)
{
    return QByteArray(text);
}

QVector<ChannelListEntry> entriesOf(const QByteArray &bytes)
{
    return ChannelListFile::parse(bytes).entries;
}

ChannelListEntry entry(const char *name, const char *address)
{
    return { QString::fromUtf8(name), QString::fromUtf8(address) };
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

namespace QTest
{
template <> char *toString(const ChannelListEntry &e)
{
    return QTest::toString(e.name + QStringLiteral(" -> ") + e.address);
}
} // namespace QTest

class ChannelListFileTest : public QObject
{
    Q_OBJECT

private slots:
    void nameIsTheTextAfterTheAttributes_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << u8("#EXTINF:-1,TV Globo") << QStringLiteral("TV Globo");
        QTest::newRow("commas in attributes")
            << u8("#EXTINF:-1 tvg-name=\"a,b\" group-title=\"x,y\",TV Globo") << QStringLiteral("TV Globo");
        QTest::newRow("spaces around the name")
            << u8("#EXTINF:-1,   TV Globo  ") << QStringLiteral("TV Globo");
        QTest::newRow("comma inside the name")
            << u8("#EXTINF:-1,Waikiki Beach, Honolulu") << QStringLiteral("Waikiki Beach, Honolulu");
        QTest::newRow("commas in quotes and name")
            << u8("#EXTINF:-1 tvg-name=\"a,b\",Waikiki Beach, Honolulu")
            << QStringLiteral("Waikiki Beach, Honolulu");
        QTest::newRow("unbalanced quote")
            << u8("#EXTINF:-1 tvg-name=\"a,TV Globo") << QStringLiteral("TV Globo");
        QTest::newRow("accents kept") << u8("#EXTINF:0,Canção Nova") << QString::fromUtf8("Canção Nova");
        QTest::newRow("tag in lower case") << u8("#extinf:-1,ESPN") << QStringLiteral("ESPN");
    }
    void nameIsTheTextAfterTheAttributes()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, name);
        const QVector<ChannelListEntry> entries = entriesOf("#EXTM3U\n" + line + "\nhttp://a.test/x\n");
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().name, name);
    }

    void addressIsTheNextLineNeitherEmptyNorComment()
    {
        const QVector<ChannelListEntry> entries
            = entriesOf("#EXTM3U\n#EXTINF:-1,ESPN\n\n   \n#EXTVLCOPT:network-caching=1000\n# a comment\n"
                        "  rtsp://a.test/espn  \n#EXTINF:-1,BAND\nhttp://a.test/band\n");
        QCOMPARE(entries,
            (QVector<ChannelListEntry> {
                entry("ESPN", "rtsp://a.test/espn"), entry("BAND", "http://a.test/band") }));
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
        const ChannelListRead read = ChannelListFile::parse(bytes);
        QCOMPARE(read.refusal, ChannelListRead::Refusal::None);
        QVERIFY(!read.headerMissing);
        QCOMPARE(read.entries,
            (QVector<ChannelListEntry> {
                entry("ESPN", "http://a.test/1"), entry("BAND", "http://a.test/2") }));
    }

    void joinedListsKeepTheirMarksOutOfNamesAndAddresses()
    {
        const QByteArray list = "\xEF\xBB\xBF#EXTM3U\n#EXTINF:-1,ESPN\nhttp://a/1\n";
        const ChannelListRead read = ChannelListFile::parse(list + list
            + "#EXTINF:-1,\xEF\xBB\xBF BAND\n\xEF\xBB\xBF\xEF\xBB\xBF\n"
              "\xEF\xBB\xBFhttp://a/2\n#EXTINF:-1,\xEF\xBB\xBF\n");
        QCOMPARE(read.entries,
            (QVector<ChannelListEntry> {
                entry("ESPN", "http://a/1"), entry("ESPN", "http://a/1"), entry("BAND", "http://a/2") }));
        QCOMPARE(read.addressesWithoutEntry, 0);
        QCOMPARE(read.entriesWithoutName, 1);
        QVERIFY(!read.headerMissing);
    }

    void missingHeaderIsReadButNoted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<int>("entries");
        QTest::newRow("header") << u8("#EXTM3U\n#EXTINF:-1,A\nhttp://a\n") << false << 1;
        QTest::newRow("header after blank lines")
            << u8("\n\n  #EXTM3U\n#EXTINF:-1,A\nhttp://a\n") << false << 1;
        QTest::newRow("no header") << u8("#EXTINF:-1,A\nhttp://a\n") << true << 1;
        QTest::newRow("header not first") << u8("#EXTINF:-1,A\nhttp://a\n#EXTM3U\n") << true << 1;
        QTest::newRow("empty file") << u8("") << false << 0;
        QTest::newRow("overlong first line")
            << QByteArray(ChannelListFile::MaxLineLength + 1, 'x') << true << 0;
    }
    void missingHeaderIsReadButNoted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, missing);
        QFETCH(int, entries);
        const ChannelListRead read = ChannelListFile::parse(bytes);
        QCOMPARE(read.refusal, ChannelListRead::Refusal::None);
        QCOMPARE(read.headerMissing, missing);
        QCOMPARE(read.entries.size(), entries);
    }

    void brokenEntriesAreCountedAndSkipped()
    {
        const ChannelListRead read = ChannelListFile::parse(
            "#EXTM3U\n"
            "#EXTINF:-1 no comma\nhttp://a.test/lost1\n" // no name: its address has no entry
            "#EXTINF:-1,   \nhttp://a.test/lost2\n" // empty name
            "#EXTINF:-1,Waiting\n#EXTINF:-1,ESPN\nhttp://a.test/espn\n" // first has no address
            "http://a.test/stray\n"
            "#EXTINF:-1,Last\n"); // ends without an address
        QCOMPARE(read.entries, (QVector<ChannelListEntry> { entry("ESPN", "http://a.test/espn") }));
        QCOMPARE(read.entriesWithoutName, 2);
        QCOMPARE(read.entriesWithoutAddress, 2);
        QCOMPARE(read.addressesWithoutEntry, 3);
        QCOMPARE(read.overlongLines, 0);
    }

    void overlongLineTakesItsEntryWithIt()
    {
        const QByteArray longest(ChannelListFile::MaxLineLength, 'x');
        const QByteArray tooLong = "http://a.test/" + QByteArray(ChannelListFile::MaxLineLength, 'y');
        const ChannelListRead read = ChannelListFile::parse("#EXTM3U\n#EXTINF:-1,A\n" + tooLong
            + "\nhttp://a.test/next\n"
              "#EXTINF:-1,"
            + QByteArray(ChannelListFile::MaxLineLength, 'n')
            + "\nhttp://a.test/n\n"
              "#EXTINF:-1,B\r\n"
            + longest + "\r\n");
        QCOMPARE(read.refusal, ChannelListRead::Refusal::None);
        QCOMPARE(read.overlongLines, 2);
        // A's address was the long line: the line after it is no address of A.
        QCOMPARE(read.addressesWithoutEntry, 2);
        QCOMPARE(read.entries,
            (QVector<ChannelListEntry> { { QStringLiteral("B"), QString::fromLatin1(longest) } }));
    }

    void entriesPastTheBoundAreOnlyCounted()
    {
        QByteArray bytes = "#EXTM3U\n";
        for (int i = 0; i < ChannelListFile::MaxEntries + 3; ++i)
            bytes += "#EXTINF:-1,N" + QByteArray::number(i) + "\nhttp://a/" + QByteArray::number(i) + "\n";
        const ChannelListRead read = ChannelListFile::parse(bytes);
        QCOMPARE(read.entries.size(), ChannelListFile::MaxEntries);
        QCOMPARE(read.entries.last(), entry("N4095", "http://a/4095"));
        QCOMPARE(read.entriesPastLimit, 3);
    }

    void megabyteLineIsSkippedAndTheRestRead()
    {
        QByteArray bytes = "#EXTM3U\n#EXTINF:-1,ESPN\nhttp://a.test/1\n";
        bytes += QByteArray(ChannelListFile::MaxBytes - 200, 'z') + "\n";
        bytes += "#EXTINF:-1,BAND\nhttp://a.test/2\n";
        QVERIFY(bytes.size() <= ChannelListFile::MaxBytes);
        const ChannelListRead read = ChannelListFile::parse(bytes);
        QCOMPARE(read.overlongLines, 1);
        QCOMPARE(read.entries.size(), 2);
    }

    void binaryContentIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = "#EXTM3U\n#EXTINF:-1,ESPN\nhttp://a.test/1\n";
        QTest::newRow("NUL byte") << good + QByteArray(1, '\0') + good;
        QTest::newRow("control byte") << good + "\x01" + good;
        QTest::newRow("escape sequence") << good + "\x1b[2J" + good;
        QTest::newRow("invalid UTF-8 byte") << good + "Can\xe7\xe3o\n";
        QTest::newRow("UTF-8 cut at the end") << good + "\xc3";
        QTest::newRow("overlong UTF-8 form") << good + "\xc0\xaf";
        QTest::newRow("UTF-16 text") << QByteArray("\xff\xfe#\0E\0X\0T\0", 10);
    }
    void binaryContentIsRefused()
    {
        QFETCH(QByteArray, bytes);
        const ChannelListRead read = ChannelListFile::parse(bytes);
        QCOMPARE(read.refusal, ChannelListRead::Refusal::NotText);
        QVERIFY(read.entries.isEmpty());
        QCOMPARE(read.bytesRead, bytes.size());
    }

    void textCutIntoPiecesIsCheckedWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("text");
        // The check reads 16 KiB at a time: sequences across its pieces.
        for (int offset : { 16 * 1024 - 2, 16 * 1024 - 1, 16 * 1024 }) {
            const QByteArray head = "#EXTM3U\n" + QByteArray(offset - 8, '#');
            QTest::addRow("two bytes at %d", offset) << head + "\xc3\xa7\n" << true;
            QTest::addRow("four bytes at %d", offset) << head + "\xf0\x9f\x93\xba\n" << true;
            QTest::addRow("lone continuation at %d", offset) << head + "\xa7\n" << false;
            QTest::addRow("cut sequence at %d", offset) << head + "\xf0\x9f\x93" << false;
        }
    }
    void textCutIntoPiecesIsCheckedWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, text);
        QCOMPARE(ChannelListFile::parse(bytes).refusal == ChannelListRead::Refusal::NotText, !text);
    }

    void tabsAndAccentsAreText()
    {
        const ChannelListRead read
            = ChannelListFile::parse("#EXTM3U\n#EXTINF:-1\t,\tCanção Nova\t\nhttp://a/ç\n");
        QCOMPARE(read.refusal, ChannelListRead::Refusal::None);
        QCOMPARE(read.entries, (QVector<ChannelListEntry> { entry("Canção Nova", "http://a/ç") }));
    }

    void everyCutOfAListReadsWithoutHarm()
    {
        const QByteArray list
            = "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:-1 tvg-id=\"x\",Canção Nova\r\n#EXTVLCOPT:a=b\r\n"
              "http://a.test/ç\r\n#EXTINF:-1,ESPN\r\nhttp://a.test/e\r\n";
        for (qsizetype cut = 0; cut <= list.size(); ++cut) {
            const ChannelListRead read = ChannelListFile::parse(list.left(cut));
            QVERIFY(read.entries.size() <= 2);
            QCOMPARE(read.bytesRead, cut);
        }
        QCOMPARE(ChannelListFile::parse(list).entries.size(), 2);
    }

    // --- files on disk

    void refusedFilesAreNotRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<ChannelListRead::Refusal>("refusal");
        QTest::newRow("missing") << QStringLiteral("none.m3u") << ChannelListRead::Refusal::Missing;
        QTest::newRow("folder") << QStringLiteral("folder.m3u") << ChannelListRead::Refusal::NotAFile;
        QTest::newRow("pipe") << QStringLiteral("pipe.m3u") << ChannelListRead::Refusal::NotAFile;
        QTest::newRow("device") << QStringLiteral("device.m3u") << ChannelListRead::Refusal::NotAFile;
        QTest::newRow("50 MB") << QStringLiteral("huge.m3u") << ChannelListRead::Refusal::TooLarge;
        QTest::newRow("one byte past the bound")
            << QStringLiteral("over.m3u") << ChannelListRead::Refusal::TooLarge;
    }
    void refusedFilesAreNotRead()
    {
        QFETCH(QString, name);
        QFETCH(ChannelListRead::Refusal, refusal);
        const QString path = m_dir.filePath(name);
        const ChannelListRead read = ChannelListFile::read(path);
        QCOMPARE(read.refusal, refusal);
        QCOMPARE(read.bytesRead, 0);
        QVERIFY(read.entries.isEmpty());
    }

    void fileAtTheBoundIsRead()
    {
        const QString path = m_dir.filePath(QStringLiteral("bound.m3u"));
        QByteArray bytes = "#EXTM3U\n#EXTINF:-1,ESPN\nhttp://a.test/1\n";
        while (bytes.size() < ChannelListFile::MaxBytes)
            bytes += "#";
        QVERIFY(writeFile(path, bytes));
        const ChannelListRead read = ChannelListFile::read(path);
        QCOMPARE(read.refusal, ChannelListRead::Refusal::None);
        QCOMPARE(read.bytesRead, ChannelListFile::MaxBytes);
        QCOMPARE(read.entries.size(), 1);
    }

    void binaryFileIsRefused()
    {
        const QString path = m_dir.filePath(QStringLiteral("random.m3u"));
        QByteArray bytes(64 * 1024, Qt::Uninitialized);
        QRandomGenerator random(2024);
        for (char &c : bytes)
            c = char(random.bounded(256));
        QVERIFY(writeFile(path, bytes));
        const ChannelListRead read = ChannelListFile::read(path);
        QCOMPARE(read.refusal, ChannelListRead::Refusal::NotText);
        QCOMPARE(read.bytesRead, bytes.size());
    }

    void unreadableFileIsRefused()
    {
        const QString path = m_dir.filePath(QStringLiteral("locked.m3u"));
        QVERIFY(writeFile(path, "#EXTM3U\n"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission (root)");
        const ChannelListRead read = ChannelListFile::read(path);
        QCOMPARE(read.refusal, ChannelListRead::Refusal::Unreadable);
        QVERIFY(!read.error.isEmpty());
    }

    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.m3u")));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.m3u"))).constData(), 0600), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_dir.filePath(QStringLiteral("device.m3u"))));
        // Sparse: 50 MB on paper, nothing on disk, and never read.
        QFile huge(m_dir.filePath(QStringLiteral("huge.m3u")));
        QVERIFY(
            huge.open(QIODevice::WriteOnly) && huge.write("#EXTM3U\n") == 8 && huge.resize(50 * 1000 * 1000));
        huge.close();
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("over.m3u")),
            "#EXTM3U\n" + QByteArray(ChannelListFile::MaxBytes - 7, '#')));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(ChannelListFileTest)
#include "channellistfile_test.moc"
