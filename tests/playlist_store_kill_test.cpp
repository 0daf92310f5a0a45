// The playlist store survives a process killed in the middle of a rewrite.
// The child is this program started again with "--rewrite-forever <file>": it
// rewrites the store over and over, alternating between two complete lists,
// and reports each finished rewrite on its standard output.
#include "playlist/PlaylistStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace
{

const int Entries = 3000;
const int Rounds = 25;

QString entryKey(int i)
{
    return QStringLiteral("Banda %1 - Faixa com um nome comprido").arg(i);
}

QString entryValue(int i, char tag)
{
    return QStringLiteral("/home/usuario/Músicas/Coleção %1/Faixa %2 versão %3.mp3")
        .arg(i % 37)
        .arg(i)
        .arg(QLatin1Char(tag));
}

// The bytes of a complete store holding every entry with the given tag.
QByteArray completeStore(char tag)
{
    QByteArray bytes = "\r\n[Musica]\r\n";
    for (int i = 0; i < Entries; ++i)
        bytes += (entryKey(i) + QLatin1Char('=') + entryValue(i, tag)).toUtf8() + "\r\n";
    return bytes;
}

int rewriteForever(const QString &fileName)
{
    PlaylistStore store(fileName);
    for (char tag = 'A';; tag = tag == 'A' ? 'B' : 'A') {
        store.BeginUpdate();
        for (int i = 0; i < Entries; ++i)
            store.WriteString(QStringLiteral("Musica"), entryKey(i), entryValue(i, tag));
        store.EndUpdate();
        std::printf("%c\n", tag);
        std::fflush(stdout);
    }
}

} // namespace

class PlaylistStoreKillTest : public QObject
{
    Q_OBJECT

private slots:
    void storeSurvivesKillDuringWrite();
};

void PlaylistStoreKillTest::storeSurvivesKillDuringWrite()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("Default.lpl"));
    const QByteArray storeA = completeStore('A');
    const QByteArray storeB = completeStore('B');
    int sawA = 0;
    int sawB = 0;

    for (int round = 0; round < Rounds; ++round) {
        QProcess child;
        child.start(
            QCoreApplication::applicationFilePath(), { QStringLiteral("--rewrite-forever"), fileName });
        QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
        // Let it finish a few rewrites, then kill it while it is inside the next one.
        const int rewrites = 1 + int(QRandomGenerator::global()->bounded(3));
        int seen = 0;
        while (seen < rewrites) {
            if (!child.canReadLine())
                QVERIFY2(child.waitForReadyRead(20000), "the child wrote nothing");
            while (child.canReadLine() && seen < rewrites) {
                child.readLine();
                ++seen;
            }
        }
        child.kill();
        QVERIFY(child.waitForFinished(10000));

        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes == storeA || bytes == storeB,
            qPrintable(QStringLiteral("round %1: a store of %2 bytes, neither list (%3 bytes)")
                           .arg(round)
                           .arg(bytes.size())
                           .arg(storeA.size())));
        (bytes == storeA ? sawA : sawB)++;
        PlaylistStore store(fileName);
        QStringList keys;
        store.ReadSection(QStringLiteral("Musica"), &keys);
        QCOMPARE(keys.size(), Entries);
    }
    qInfo("complete store after %d kills: %d times list A, %d times list B", Rounds, sawA, sawB);
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--rewrite-forever") == 0) {
        QCoreApplication app(argc, argv);
        return rewriteForever(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    PlaylistStoreKillTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "playlist_store_kill_test.moc"
