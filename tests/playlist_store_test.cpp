// PlaylistStore: how the playlist store reads and writes its lines.
#include "playlist/PlaylistStore.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QStringList sectionKeys(const PlaylistStore &store, const QString &section = QStringLiteral("Musica"))
{
    QStringList keys;
    store.ReadSection(section, &keys);
    return keys;
}

const QString Musica = QStringLiteral("Musica");

} // namespace

class PlaylistStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void newStoreBeginsWithEmptyLineBeforeSection();
    void anyLineEndingEndsALine_data();
    void anyLineEndingEndsALine();
    void sectionFoundWithoutRegardToCase();
    void blankLineIsNoHeaderButBracketedLineEndsSection();
    void linesWithoutKeyAreSkipped();
    void keyLookupCountsLetterCase();
    void firstEntryOfAKeyDecides();
    void emptyValueGivesDefault();
    void nameWithEqualsIsStoredUnderTextBeforeIt();
    void blanksAroundNameAreLostOnReading();
    void sameNameTwiceKeepsOneLineWithLastPath();
    void entryIsInsertedAfterSectionsLastLine();
    void missingSectionReadsEmpty();
    void readSectionWithoutListFails();
    void openingWritesNothing();

    void writeFailureReportsCannotCreateAndKeepsStore();
    void batchWritesSameBytesAsSeparateWrites();
    void batchWritesNothingUntilItEnds();
    void failedBatchLeavesStoreAsBefore();
    void nameThatWouldBreakTheLineIsRefused_data();
    void nameThatWouldBreakTheLineIsRefused();

    void legacyWindows1252ListLoads();
    void textIsWrittenAsUtf8();
    void listMixingBothEncodingsLoads();
    void doubledByteOrderMarkHidesNoSection();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void PlaylistStoreTest::init()
{
    QVERIFY(m_dir.isValid());
    const QStringList entries = QDir(m_dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        QFileInfo info(m_dir.filePath(entry));
        if (info.isDir())
            QDir(info.filePath()).removeRecursively();
        else
            QFile::remove(info.filePath());
    }
}

void PlaylistStoreTest::newStoreBeginsWithEmptyLineBeforeSection()
{
    PlaylistStore store(path(QStringLiteral("Default.lpl")));
    store.WriteString(
        Musica, QStringLiteral("Banda - Faixa"), QStringLiteral("C:\\Musicas\\Banda - Faixa.mp3"));
    store.WriteString(Musica, QStringLiteral("Outra"), QStringLiteral("D:\\Mp3\\Outra.wma"));
    QCOMPARE(readBytes(path(QStringLiteral("Default.lpl"))),
        QByteArray(
            "\r\n[Musica]\r\nBanda - Faixa=C:\\Musicas\\Banda - Faixa.mp3\r\nOutra=D:\\Mp3\\Outra.wma\r\n"));
}

void PlaylistStoreTest::anyLineEndingEndsALine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    const QStringList three { QStringLiteral("[Musica]"), QStringLiteral("a=1"), QStringLiteral("b=2") };
    QTest::newRow("CR LF") << QByteArray("[Musica]\r\na=1\r\nb=2\r\n") << three;
    QTest::newRow("lone CR") << QByteArray("[Musica]\ra=1\rb=2\r") << three;
    QTest::newRow("lone LF") << QByteArray("[Musica]\na=1\nb=2\n") << three;
    QTest::newRow("mixed") << QByteArray("[Musica]\ra=1\nb=2\r\n") << three;
    QTest::newRow("no final break") << QByteArray("[Musica]\r\na=1\r\nb=2") << three;
    QTest::newRow("LF CR is two breaks")
        << QByteArray("[Musica]\n\ra=1\r\nb=2") << QStringList { three[0], QString(), three[1], three[2] };
    QTest::newRow("empty line kept") << QByteArray("\r\n[Musica]\r\na=1\r\nb=2\r\n\r\n")
                                     << QStringList { QString(), three[0], three[1], three[2], QString() };
}

void PlaylistStoreTest::anyLineEndingEndsALine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    writeBytes(path(QStringLiteral("s.lpl")), bytes);
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    QCOMPARE(store.lines(), lines);
    QCOMPARE(sectionKeys(store), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
}

void PlaylistStoreTest::sectionFoundWithoutRegardToCase()
{
    writeBytes(path(QStringLiteral("s.lpl")), "[MUSICA]\r\na=1\r\n");
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    QCOMPARE(sectionKeys(store), QStringList { QStringLiteral("a") });
    store.WriteString(Musica, QStringLiteral("b"), QStringLiteral("2"));
    QCOMPARE(readBytes(path(QStringLiteral("s.lpl"))), QByteArray("[MUSICA]\r\na=1\r\nb=2\r\n"));
}

void PlaylistStoreTest::blankLineIsNoHeaderButBracketedLineEndsSection()
{
    writeBytes(path(QStringLiteral("s.lpl")), "[Musica]\r\na=1\r\n   \r\nb=2\r\n \t[Outra] \r\nc=3\r\n");
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    QCOMPARE(sectionKeys(store), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    QCOMPARE(store.ReadString(Musica, QStringLiteral("c"), QStringLiteral("none")), QStringLiteral("none"));
}

void PlaylistStoreTest::linesWithoutKeyAreSkipped()
{
    writeBytes(path(QStringLiteral("s.lpl")), "[Musica]\r\nsem igual\r\n=vazio\r\n \t =branco\r\n a =1\r\n");
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    QCOMPARE(sectionKeys(store), QStringList { QStringLiteral("a") });
    QCOMPARE(store.ReadString(Musica, QString(), QStringLiteral("d")), QStringLiteral("d"));
    QCOMPARE(store.ReadString(Musica, QStringLiteral("a"), QStringLiteral("d")), QStringLiteral("1"));
}

void PlaylistStoreTest::keyLookupCountsLetterCase()
{
    writeBytes(path(QStringLiteral("s.lpl")), "[Musica]\r\nAbc=/m/Abc.mp3\r\n");
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    QCOMPARE(store.ReadString(Musica, QStringLiteral("abc"), QStringLiteral("d")), QStringLiteral("d"));
    QCOMPARE(
        store.ReadString(Musica, QStringLiteral("Abc"), QStringLiteral("d")), QStringLiteral("/m/Abc.mp3"));
    store.WriteString(Musica, QStringLiteral("ABC"), QStringLiteral("/m/ABC.wma"));
    QCOMPARE(sectionKeys(store), (QStringList { QStringLiteral("Abc"), QStringLiteral("ABC") }));
}

void PlaylistStoreTest::firstEntryOfAKeyDecides()
{
    writeBytes(path(QStringLiteral("s.lpl")), "[Musica]\r\na=1\r\na=2\r\n");
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    QCOMPARE(store.ReadString(Musica, QStringLiteral("a"), QString()), QStringLiteral("1"));
    store.WriteString(Musica, QStringLiteral("a"), QStringLiteral("3"));
    QCOMPARE(readBytes(path(QStringLiteral("s.lpl"))), QByteArray("[Musica]\r\na=3\r\na=2\r\n"));
}

void PlaylistStoreTest::emptyValueGivesDefault()
{
    writeBytes(path(QStringLiteral("s.lpl")), "[Musica]\r\na=  \r\na=2\r\n");
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    // The first line of the key ends the walk even though its value is empty.
    QCOMPARE(store.ReadString(Musica, QStringLiteral("a"), QStringLiteral("d")), QStringLiteral("d"));
}

void PlaylistStoreTest::nameWithEqualsIsStoredUnderTextBeforeIt()
{
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    store.WriteString(Musica, QStringLiteral("x=y"), QStringLiteral("/m/x=y.mp3"));
    QCOMPARE(store.lines().constLast(), QStringLiteral("x=y=/m/x=y.mp3"));
    QCOMPARE(sectionKeys(store), QStringList { QStringLiteral("x") });
    QCOMPARE(store.ReadString(Musica, QStringLiteral("x=y"), QStringLiteral("d")), QStringLiteral("d"));
    QCOMPARE(
        store.ReadString(Musica, QStringLiteral("x"), QStringLiteral("d")), QStringLiteral("y=/m/x=y.mp3"));
    // Written again, the name finds no line of its own and adds one more.
    store.WriteString(Musica, QStringLiteral("x=y"), QStringLiteral("/m/x=y.mp3"));
    QCOMPARE(sectionKeys(store), (QStringList { QStringLiteral("x"), QStringLiteral("x") }));
}

void PlaylistStoreTest::blanksAroundNameAreLostOnReading()
{
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    store.WriteString(Musica, QStringLiteral(" a "), QStringLiteral("/m/ a .mp3"));
    QCOMPARE(store.lines().constLast(), QStringLiteral(" a =/m/ a .mp3"));
    QCOMPARE(sectionKeys(store), QStringList { QStringLiteral("a") });
    QCOMPARE(store.ReadString(Musica, QStringLiteral(" a "), QStringLiteral("d")), QStringLiteral("d"));
    QCOMPARE(
        store.ReadString(Musica, QStringLiteral("a"), QStringLiteral("d")), QStringLiteral("/m/ a .mp3"));
    store.WriteString(Musica, QStringLiteral(" a "), QStringLiteral("/m/ a .mp3"));
    QCOMPARE(store.lines().size(), 4);
}

void PlaylistStoreTest::sameNameTwiceKeepsOneLineWithLastPath()
{
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    store.WriteString(Musica, QStringLiteral("a"), QStringLiteral("/m/a.mp3"));
    store.WriteString(Musica, QStringLiteral("a"), QStringLiteral("/m/a.wma"));
    QCOMPARE(readBytes(path(QStringLiteral("s.lpl"))), QByteArray("\r\n[Musica]\r\na=/m/a.wma\r\n"));
}

void PlaylistStoreTest::entryIsInsertedAfterSectionsLastLine()
{
    writeBytes(path(QStringLiteral("s.lpl")), "[Outra]\r\nz=0\r\n[Musica]\r\na=1\r\n\r\n[Mais]\r\nb=2\r\n");
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    store.WriteString(Musica, QStringLiteral("c"), QStringLiteral("3"));
    store.WriteString(Musica, QStringLiteral("d"), QStringLiteral("4"));
    store.WriteString(QStringLiteral("Nova"), QStringLiteral("e"), QStringLiteral("5"));
    QCOMPARE(readBytes(path(QStringLiteral("s.lpl"))),
        QByteArray(
            "[Outra]\r\nz=0\r\n[Musica]\r\na=1\r\n\r\nc=3\r\nd=4\r\n[Mais]\r\nb=2\r\n\r\n[Nova]\r\ne=5\r\n"));
}

void PlaylistStoreTest::missingSectionReadsEmpty()
{
    writeBytes(path(QStringLiteral("s.lpl")), "[Outra]\r\na=1\r\n");
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    QStringList keys { QStringLiteral("old") };
    store.ReadSection(Musica, &keys);
    QVERIFY(keys.isEmpty());
    QCOMPARE(store.ReadString(Musica, QStringLiteral("a"), QStringLiteral("d")), QStringLiteral("d"));
}

void PlaylistStoreTest::readSectionWithoutListFails()
{
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    try {
        store.ReadSection(Musica, nullptr);
        QFAIL("no error");
    } catch (const IniError &e) {
        QCOMPARE(e.message(), QStringLiteral("Param Strings must be assigned"));
    }
}

void PlaylistStoreTest::openingWritesNothing()
{
    PlaylistStore store(path(QStringLiteral("none.lpl")));
    QVERIFY(store.lines().isEmpty());
    QVERIFY(sectionKeys(store).isEmpty());
    QVERIFY(!QFile::exists(path(QStringLiteral("none.lpl"))));
}

void PlaylistStoreTest::writeFailureReportsCannotCreateAndKeepsStore()
{
    // A folder where the file should be: it cannot be replaced, even by root.
    const QString target = path(QStringLiteral("busy.lpl"));
    QVERIFY(QDir().mkpath(target));
    PlaylistStore store(target);
    try {
        store.WriteString(Musica, QStringLiteral("a"), QStringLiteral("/m/a.mp3"));
        QFAIL("no error");
    } catch (const IniError &e) {
        const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(target);
        QVERIFY2(e.message().startsWith(prefix), qPrintable(e.message()));
        QVERIFY(e.message().size() > prefix.size());
    }
    QVERIFY(store.lines().isEmpty());
    QVERIFY(sectionKeys(store).isEmpty());
}

void PlaylistStoreTest::batchWritesSameBytesAsSeparateWrites()
{
    const QByteArray before
        = "; lista antiga\r\n[Outra]\r\nz=0\r\n[musica]\r\nvelha=/m/velha.mp3\r\n\r\n[Fim]\r\n";
    writeBytes(path(QStringLiteral("one.lpl")), before);
    writeBytes(path(QStringLiteral("batch.lpl")), before);
    QList<QPair<QString, QString>> entries;
    for (int i = 0; i < 120; ++i)
        entries.append({ QStringLiteral("Faixa %1").arg(i % 70), QStringLiteral("/m/Faixa %1.mp3").arg(i) });
    entries.append({ QStringLiteral("x=y"), QStringLiteral("/m/x=y.mp3") });
    entries.append({ QStringLiteral(" a "), QStringLiteral("/m/ a .mp3") });
    entries.append({ QStringLiteral(" a "), QStringLiteral("/m/ a .wma") });
    entries.append({ QStringLiteral("velha"), QStringLiteral("/m/velha.wma") });
    entries.append({ QString(), QStringLiteral("/m/.mp3") });
    entries.append({ QString(), QStringLiteral("/m/.wma") });

    PlaylistStore one(path(QStringLiteral("one.lpl")));
    for (const auto &entry : entries)
        one.WriteString(Musica, entry.first, entry.second);
    PlaylistStore batch(path(QStringLiteral("batch.lpl")));
    batch.BeginUpdate();
    for (const auto &entry : entries)
        batch.WriteString(Musica, entry.first, entry.second);
    batch.EndUpdate();

    QCOMPARE(readBytes(path(QStringLiteral("batch.lpl"))), readBytes(path(QStringLiteral("one.lpl"))));
    QCOMPARE(batch.lines(), one.lines());
}

void PlaylistStoreTest::batchWritesNothingUntilItEnds()
{
    PlaylistStore store(path(QStringLiteral("s.lpl")));
    store.BeginUpdate();
    store.WriteString(Musica, QStringLiteral("a"), QStringLiteral("1"));
    store.WriteString(Musica, QStringLiteral("b"), QStringLiteral("2"));
    QVERIFY(!QFile::exists(path(QStringLiteral("s.lpl"))));
    QCOMPARE(store.ReadString(Musica, QStringLiteral("b"), QString()), QStringLiteral("2"));
    store.EndUpdate();
    QCOMPARE(readBytes(path(QStringLiteral("s.lpl"))), QByteArray("\r\n[Musica]\r\na=1\r\nb=2\r\n"));
}

void PlaylistStoreTest::failedBatchLeavesStoreAsBefore()
{
    const QString target = path(QStringLiteral("s.lpl"));
    writeBytes(target, "[Musica]\r\na=1\r\n");
    PlaylistStore store(target);
    QVERIFY(QFile::remove(target));
    QVERIFY(QDir().mkpath(target));
    store.BeginUpdate();
    store.WriteString(Musica, QStringLiteral("b"), QStringLiteral("2"));
    store.WriteString(Musica, QStringLiteral("a"), QStringLiteral("3"));
    QVERIFY_THROWS_EXCEPTION(IniError, store.EndUpdate());
    QCOMPARE(store.lines(), (QStringList { QStringLiteral("[Musica]"), QStringLiteral("a=1") }));
    QCOMPARE(store.ReadString(Musica, QStringLiteral("a"), QString()), QStringLiteral("1"));
    // The store works on once the file can be written again.
    QVERIFY(QDir(target).removeRecursively());
    store.WriteString(Musica, QStringLiteral("c"), QStringLiteral("4"));
    QCOMPARE(readBytes(target), QByteArray("[Musica]\r\na=1\r\nc=4\r\n"));
}

void PlaylistStoreTest::nameThatWouldBreakTheLineIsRefused_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("LF in name") << QStringLiteral("a\n[Outra]") << QStringLiteral("/m/a\n[Outra].mp3");
    QTest::newRow("CR in name") << QStringLiteral("a\rb=c") << QStringLiteral("/m/a\rb=c.mp3");
    QTest::newRow("LF in folder") << QStringLiteral("a") << QStringLiteral("/m\nz=1/a.mp3");
    QTest::newRow("reads as header") << QStringLiteral("[b]") << QStringLiteral("/m/[b]");
}

void PlaylistStoreTest::nameThatWouldBreakTheLineIsRefused()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QString target = path(QStringLiteral("s.lpl"));
    writeBytes(target, "\r\n[Musica]\r\na=/m/a.mp3\r\n");
    PlaylistStore store(target);
    QVERIFY(!PlaylistStore::entryProblem(key, value).isEmpty());
    QVERIFY_THROWS_EXCEPTION(IniError, store.WriteString(Musica, key, value));
    QCOMPARE(readBytes(target), QByteArray("\r\n[Musica]\r\na=/m/a.mp3\r\n"));
    store.WriteString(Musica, QStringLiteral("b"), QStringLiteral("/m/b.mp3"));
    QCOMPARE(readBytes(target), QByteArray("\r\n[Musica]\r\na=/m/a.mp3\r\nb=/m/b.mp3\r\n"));
    QVERIFY(PlaylistStore::entryProblem(
        QStringLiteral("[Ao vivo] Faixa"), QStringLiteral("/m/[Ao vivo] Faixa.mp3"))
                .isEmpty());
}

void PlaylistStoreTest::legacyWindows1252ListLoads()
{
    // As the Windows version wrote it: ANSI code page, CR LF.
    const QByteArray legacy = "\r\n[Musica]\r\n"
                              "Can\xe7\xe3o=C:\\M\xfasicas\\Can\xe7\xe3o.mp3\r\n"
                              "\x93"
                              "Aspas\x94 \x96 Ol\xe9=C:\\M\xfasicas\\\x93"
                              "Aspas\x94 \x96 Ol\xe9.wma\r\n";
    const QString target = path(QStringLiteral("antiga.lpl"));
    writeBytes(target, legacy);
    PlaylistStore store(target);
    const QString cancao = QStringLiteral("Canção");
    const QString aspas = QStringLiteral("\u201CAspas\u201D \u2013 Olé");
    QCOMPARE(sectionKeys(store), (QStringList { cancao, aspas }));
    QCOMPARE(store.ReadString(Musica, cancao, QString()), QStringLiteral("C:\\Músicas\\Canção.mp3"));
    QCOMPARE(store.ReadString(Musica, aspas, QString()),
        QStringLiteral("C:\\Músicas\\") + aspas + QStringLiteral(".wma"));

    // The next rewrite turns the whole list into UTF-8.
    store.WriteString(Musica, QStringLiteral("Nova"), QStringLiteral("/m/Nova.mp3"));
    const QByteArray written = readBytes(target);
    QVERIFY(written.contains("Can\xc3\xa7\xc3\xa3o=C:\\M\xc3\xbasicas\\Can\xc3\xa7\xc3\xa3o.mp3\r\n"));
    QVERIFY(!written.contains("\xe7\xe3"));
    PlaylistStore again(target);
    QCOMPARE(sectionKeys(again), (QStringList { cancao, aspas, QStringLiteral("Nova") }));
}

void PlaylistStoreTest::textIsWrittenAsUtf8()
{
    const QString target = path(QStringLiteral("s.lpl"));
    PlaylistStore store(target);
    store.WriteString(Musica, QStringLiteral("Ação ♫ 日本"), QStringLiteral("/m/Ação ♫ 日本.mp3"));
    QCOMPARE(readBytes(target),
        QByteArray("\r\n[Musica]\r\n") + QStringLiteral("Ação ♫ 日本=/m/Ação ♫ 日本.mp3").toUtf8() + "\r\n");
    PlaylistStore again(target);
    QCOMPARE(sectionKeys(again), QStringList { QStringLiteral("Ação ♫ 日本") });
}

void PlaylistStoreTest::listMixingBothEncodingsLoads()
{
    const QString target = path(QStringLiteral("s.lpl"));
    writeBytes(target, "[Musica]\r\nJo\xc3\xa3o=/m/a.mp3\r\nJos\xe9=/m/b.mp3\r\nCut\xc3=/m/c.mp3\r\n");
    PlaylistStore store(target);
    QCOMPARE(sectionKeys(store),
        (QStringList { QStringLiteral("João"), QStringLiteral("José"), QStringLiteral("Cut\u00C3") }));
}

void PlaylistStoreTest::doubledByteOrderMarkHidesNoSection()
{
    const QString target = path(QStringLiteral("s.lpl"));
    writeBytes(target, "\xEF\xBB\xBF\xEF\xBB\xBF[Musica]\r\na=1\r\n");
    PlaylistStore store(target);
    QCOMPARE(sectionKeys(store), QStringList { QStringLiteral("a") });
    store.WriteString(Musica, QStringLiteral("b"), QStringLiteral("2"));
    PlaylistStore again(target);
    QCOMPARE(again.lines(), store.lines());
    QCOMPARE(sectionKeys(again), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
}

QTEST_GUILESS_MAIN(PlaylistStoreTest)
#include "playlist_store_test.moc"
