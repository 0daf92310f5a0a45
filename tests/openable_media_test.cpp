// The types the program says it opens: the same in the desktop entry, the
// metainfo and the player controls; and which texts count as addresses.
#include "desktop/OpenableMedia.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace
{
QString packagingFile(const char *name)
{
    QFile file(qEnvironmentVariable("LUMI_SOURCE_DIR") + QStringLiteral("/packaging/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

class OpenableMediaTest : public QObject
{
    Q_OBJECT

private slots:
    void desktopEntryAndMetainfoListWhatThePlayerOpens()
    {
        const QString entry = packagingFile("lumivortex.desktop");
        const QRegularExpressionMatch line
            = QRegularExpression(QStringLiteral("^MimeType=(.*);$"), QRegularExpression::MultilineOption)
                  .match(entry);
        QVERIFY(line.hasMatch());
        QCOMPARE(line.captured(1).split(QLatin1Char(';')), OpenableMedia::mimeTypes());
        QVERIFY(entry.contains(QStringLiteral("\nExec=lumivortex %U\n")));

        QStringList listed;
        auto types = QRegularExpression(QStringLiteral("<mediatype>([^<]+)</mediatype>"))
                         .globalMatch(packagingFile("io.github.lumivortex.LumivortexTV.metainfo.xml"));
        while (types.hasNext())
            listed << types.next().captured(1);
        QCOMPARE(listed, OpenableMedia::mimeTypes());
    }

    void addressesAreTheSchemesTheEnginePlays_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("address");
        QTest::newRow("hls") << "https://127.0.0.1/live/index.m3u8" << true;
        QTest::newRow("rtmp") << "rtmp://127.0.0.1/app/key" << true;
        QTest::newRow("udp listener") << "udp://@:1234" << true;
        QTest::newRow("mms") << "mms://127.0.0.1/canal" << true;
        QTest::newRow("ftp") << "ftp://127.0.0.1/a.mp4" << false;
        QTest::newRow("file url") << "file:///tmp/a.mp4" << false;
        QTest::newRow("no host") << "http://" << false;
        QTest::newRow("local path") << "/tmp/a.mp4" << false;
    }
    void addressesAreTheSchemesTheEnginePlays()
    {
        QFETCH(QString, text);
        QTEST(OpenableMedia::isAddress(text), "address");
    }
};

QTEST_GUILESS_MAIN(OpenableMediaTest)
#include "openable_media_test.moc"
