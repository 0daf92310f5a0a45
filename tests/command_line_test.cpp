// Arguments: files, addresses and playlists become items; help, version and
// every bad argument end with a message instead of a silent idle window.
#include "app/CommandLine.h"

#include <QTemporaryDir>
#include <QtTest>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *name : { "clip.mp4", "lista.lpl", "radio.m3u", "canais.pls" }) {
            QFile file(m_dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QDir::setCurrent(m_dir.path());
    }

    void argumentsBecomeItemsInOrder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("items");
        const QString clip = m_dir.filePath(QStringLiteral("clip.mp4"));
        QTest::newRow("absolute file") << QStringList { clip } << QStringList { clip };
        QTest::newRow("relative file made absolute")
            << QStringList { QStringLiteral("clip.mp4") } << QStringList { clip };
        QTest::newRow("file url") << QStringList { QUrl::fromLocalFile(clip).toString() }
                                  << QStringList { clip };
        const QStringList addresses { QStringLiteral("https://127.0.0.1/live/index.m3u8"),
            QStringLiteral("rtmp://127.0.0.1/app/canal"), QStringLiteral("rtsp://127.0.0.1:8554/cam"),
            QStringLiteral("udp://@:1234"), QStringLiteral("http://127.0.0.1/radio.pls") };
        QTest::newRow("addresses") << addresses << addresses;
        QTest::newRow("playlists") << QStringList { QStringLiteral("lista.lpl"), QStringLiteral("radio.m3u"),
            QStringLiteral("canais.pls") }
                                   << QStringList { m_dir.filePath(QStringLiteral("lista.lpl")),
                                          m_dir.filePath(QStringLiteral("radio.m3u")),
                                          m_dir.filePath(QStringLiteral("canais.pls")) };
        QTest::newRow("nothing") << QStringList() << QStringList();
    }
    void argumentsBecomeItemsInOrder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, items);
        const CommandLineRequest request
            = CommandLine::parse(QStringList { QStringLiteral("lumivortex") } + arguments);
        QVERIFY2(request.startsProgram(), qPrintable(request.message));
        QCOMPARE(request.items, items);
    }

    void badArgumentEndsWithAClearMessage_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown long option") << "--tocar"
                                             << "opção desconhecida: --tocar";
        QTest::newRow("unknown short option") << "-x"
                                              << "opção desconhecida: -x";
        QTest::newRow("missing file") << "sumiu.mp4"
                                      << "arquivo não encontrado: sumiu.mp4";
        QTest::newRow("folder") << "."
                                << "não é possível ler o arquivo";
        QTest::newRow("unplayable scheme") << "ftp://127.0.0.1/a.mp4"
                                           << "endereço não suportado";
    }
    void badArgumentEndsWithAClearMessage()
    {
        QFETCH(QString, argument);
        QFETCH(QString, says);
        const CommandLineRequest request = CommandLine::parse(
            { QStringLiteral("lumivortex"), m_dir.filePath(QStringLiteral("clip.mp4")), argument });
        QVERIFY(request.isError());
        QCOMPARE(request.exitCode, 2);
        QVERIFY2(request.message.contains(says), qPrintable(request.message));
        QVERIFY(request.items.isEmpty());
    }

    void helpAndVersionArePortugueseAndEndAtOnce_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("says");
        QTest::newRow("--help") << "--help"
                                << "Uso: lumivortex";
        QTest::newRow("-h") << "-h"
                            << "Mostra esta ajuda";
        QTest::newRow("--version") << "--version"
                                   << "Lumivortex TV " LUMI_VERSION;
    }
    void helpAndVersionArePortugueseAndEndAtOnce()
    {
        QFETCH(QString, option);
        QFETCH(QString, says);
        const CommandLineRequest request = CommandLine::parse({ QStringLiteral("lumivortex"), option });
        QCOMPARE(request.exitCode, 0);
        QVERIFY2(request.message.contains(says), qPrintable(request.message));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
