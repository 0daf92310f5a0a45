// The recordings list: kept across runs, renames that never overwrite,
// deletion that spares a running recording.
#include "recording/RecordingList.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QString makeFile(const QString &path, const QByteArray &bytes = "ts")
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

class RecordingListTest : public QObject
{
    Q_OBJECT

private slots:
    void recordingsAreKeptAcrossRuns();
    void renameNeverOverwritesAnotherFile();
    void renameKeepsThePartsNumbered();
    void runningRecordingIsNeitherDeletedNorRenamed();
    void deleteRemovesEveryPart();
};

void RecordingListTest::recordingsAreKeptAcrossRuns()
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("recordings.json"));
    QString id;
    {
        RecordingList list(store);
        QAbstractItemModelTester tester(&list);
        Recording r;
        r.channel = QStringLiteral("Canal Um");
        r.programme = QStringLiteral("Jornal");
        r.start = QDateTime(QDate(2025, 1, 31), QTime(20, 0));
        r.files = { makeFile(dir.filePath(QStringLiteral("a.ts"))) };
        id = list.add(r);
        r.id = id;
        r.seconds = 61.5;
        r.bytes = 1234;
        QVERIFY(list.update(r)); // still running when the program ends
    }
    RecordingList again(store);
    QCOMPARE(again.rowCount(), 1);
    const Recording *r = again.find(id);
    QVERIFY(r);
    QCOMPARE(r->channel, QStringLiteral("Canal Um"));
    QCOMPARE(r->programme, QStringLiteral("Jornal"));
    QCOMPARE(r->start, QDateTime(QDate(2025, 1, 31), QTime(20, 0)));
    QCOMPARE(r->seconds, 61.5);
    QCOMPARE(r->bytes, qint64(1234));
    QCOMPARE(r->state, Recording::State::Finished);
    QCOMPARE(again.data(again.index(0), RecordingList::ChannelRole).toString(), QStringLiteral("Canal Um"));
}

void RecordingListTest::renameNeverOverwritesAnotherFile()
{
    QTemporaryDir dir;
    RecordingList list(dir.filePath(QStringLiteral("recordings.json")));
    Recording r;
    r.channel = QStringLiteral("Canal");
    r.state = Recording::State::Finished;
    r.files = { makeFile(dir.filePath(QStringLiteral("a.ts")), "mine") };
    const QString id = list.add(r);
    makeFile(dir.filePath(QStringLiteral("b.ts")), "other");
    QVERIFY(!list.rename(id, QStringLiteral("b")));
    QVERIFY(!list.rename(id, QStringLiteral("../fora")));
    QVERIFY(!list.rename(id, QStringLiteral("  ")));
    QFile other(dir.filePath(QStringLiteral("b.ts")));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("other"));
    QCOMPARE(list.find(id)->files, QStringList { dir.filePath(QStringLiteral("a.ts")) });
    QVERIFY(list.rename(id, QStringLiteral("Final do campeonato")));
    QCOMPARE(list.find(id)->files, QStringList { dir.filePath(QStringLiteral("Final do campeonato.ts")) });
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Final do campeonato.ts"))));
}

void RecordingListTest::renameKeepsThePartsNumbered()
{
    QTemporaryDir dir;
    RecordingList list(dir.filePath(QStringLiteral("recordings.json")));
    Recording r;
    r.state = Recording::State::Finished;
    r.files = { makeFile(dir.filePath(QStringLiteral("x.ts"))),
        makeFile(dir.filePath(QStringLiteral("x (parte 2).ts"))) };
    const QString id = list.add(r);
    QVERIFY(list.rename(id, QStringLiteral("Jogo")));
    QCOMPARE(list.find(id)->files,
        (QStringList {
            dir.filePath(QStringLiteral("Jogo.ts")), dir.filePath(QStringLiteral("Jogo (parte 2).ts")) }));
}

void RecordingListTest::runningRecordingIsNeitherDeletedNorRenamed()
{
    QTemporaryDir dir;
    RecordingList list(dir.filePath(QStringLiteral("recordings.json")));
    Recording r;
    r.files = { makeFile(dir.filePath(QStringLiteral("a.ts"))) };
    const QString id = list.add(r);
    QVERIFY(!list.remove(id));
    QVERIFY(!list.rename(id, QStringLiteral("b")));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("a.ts"))));
}

void RecordingListTest::deleteRemovesEveryPart()
{
    QTemporaryDir dir;
    RecordingList list(dir.filePath(QStringLiteral("recordings.json")));
    QAbstractItemModelTester tester(&list);
    Recording r;
    r.state = Recording::State::DiskFull;
    r.files = { makeFile(dir.filePath(QStringLiteral("a.ts"))),
        makeFile(dir.filePath(QStringLiteral("a (parte 2).ts"))) };
    const QString id = list.add(r);
    QVERIFY(list.remove(id));
    QCOMPARE(list.rowCount(), 0);
    QVERIFY(!QFile::exists(r.files[0]));
    QVERIFY(!QFile::exists(r.files[1]));
}

QTEST_GUILESS_MAIN(RecordingListTest)
#include "recordinglist_test.moc"
