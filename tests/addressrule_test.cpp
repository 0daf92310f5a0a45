// The one rule on addresses from outside: which schemes and paths may reach
// the engine from a network source and from one the user chose.
#include "net/AddressRule.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using AddressRule::Origin;

namespace
{
const QString lavfiWrite = QStringLiteral(
    "av://lavfi:sine=d=0.05,ametadata=mode=add:key=a:value=1\\;echo X,ametadata=mode=print:file=/tmp/x.sh");
}

class AddressRuleTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile file(m_dir.filePath(QStringLiteral("clip.mp4")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("fifo"))).constData(), 0600) == 0);
    }

    // "$DIR" stands for a temporary folder holding the regular file "clip.mp4" and the FIFO "fifo".
    void onlyStreamsAndChosenRegularFilesPass_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("fromNetwork"); // what admitted() gives; empty: refused
        QTest::addColumn<QString>("fromUser");
        const auto row = [](const char *name, const QString &address, const QString &network,
                             const QString &user) { QTest::newRow(name) << address << network << user; };
        const auto both = [&row](const char *name, const char *address, const char *admitted) {
            row(name, QString::fromUtf8(address), QString::fromUtf8(admitted), QString::fromUtf8(admitted));
        };
        const auto refused
            = [&row](const char *name, const QString &address) { row(name, address, QString(), QString()); };
        const QString clip = QStringLiteral("$DIR/clip.mp4");

        both("http", "http://h.test/live.m3u8", "http://h.test/live.m3u8");
        both("https with port, user and query", "https://u:p@h.test:8443/a?b=1#c",
            "https://u:p@h.test:8443/a?b=1#c");
        both("ipv6 host", "http://[::1]:8080/x", "http://[::1]:8080/x");
        for (const char *scheme : { "rtmp", "rtmpe", "rtmps", "rtmpt", "rtmpte", "rtmpts", "rtsp", "rtsps",
                 "mms", "mmsh", "mmst", "udp", "rtp", "srt" }) {
            const QString address = QString::fromLatin1(scheme) + QStringLiteral("://127.0.0.1:1234/live");
            QTest::newRow(scheme) << address << address << address;
        }
        both("udp listener", "udp://@:1234", "udp://@:1234");
        both("multicast group", "udp://@239.0.0.1:1234", "udp://@239.0.0.1:1234");
        both("srt listener", "srt://:9000?mode=listener", "srt://:9000?mode=listener");
        both("scheme in capitals comes back lower", "HTTP://H.test/Live", "http://H.test/Live");
        both("mixed case", "RtMp://h.test/app", "rtmp://h.test/app");
        both("white space around", "  \thttp://h.test/x \r\n", "http://h.test/x");
        both("space inside the path", "http://h.test/my stream.ts", "http://h.test/my stream.ts");

        refused("filter graph writing a file", lavfiWrite);
        refused("filter graph in capitals", lavfiWrite.toUpper());
        refused("lavfi", QStringLiteral("lavfi:sine"));
        refused("lavfi device", QStringLiteral("lavfi://sine"));
        refused("edit list", QStringLiteral("edl://") + clip);
        refused("file descriptor", QStringLiteral("fd://0"));
        refused("closing file descriptor", QStringLiteral("fdclose://3"));
        refused("memory", QStringLiteral("memory://data"));
        refused("dvb", QStringLiteral("dvb://1@Globo"));
        refused("dvd", QStringLiteral("dvd://1"));
        refused("dvdnav", QStringLiteral("dvdnav://"));
        refused("blu-ray", QStringLiteral("bd://1"));
        refused("audio cd", QStringLiteral("cdda://1"));
        refused("smb", QStringLiteral("smb://server/share/a.mp4"));
        refused("null", QStringLiteral("null://"));
        refused("image sequence", QStringLiteral("mf:///home/*.jpg"));
        refused("hex", QStringLiteral("hex://68656c6c6f"));
        refused("slice", QStringLiteral("slice://0-100@") + clip);
        refused("ffmpeg prefix", QStringLiteral("ffmpeg://concat:/etc/passwd|/etc/passwd"));
        refused("ffmpeg prefix with http", QStringLiteral("ffmpeg://http://h.test/x"));
        refused("lavf prefix", QStringLiteral("lavf://file:/etc/passwd"));
        refused("avdevice", QStringLiteral("avdevice://lavfi:sine"));
        refused("av", QStringLiteral("av://v4l2:/dev/video0"));
        refused("concat", QStringLiteral("concat:/etc/passwd|/etc/hosts"));
        refused("subfile", QStringLiteral("subfile,,start,0,end,10,,:/etc/passwd"));
        refused("data", QStringLiteral("data:text/plain;base64,aGk="));
        refused("nested scheme", QStringLiteral("http+file://h.test/x"));
        refused("ftp", QStringLiteral("ftp://h.test/a.mp4"));
        refused("tcp", QStringLiteral("tcp://127.0.0.1:25"));
        refused("ytdl", QStringLiteral("ytdl://h.test/x"));
        refused("no host", QStringLiteral("http://"));
        refused("no slashes", QStringLiteral("http:h.test/x"));
        refused("one slash", QStringLiteral("http:/h.test/x"));
        refused("empty host before a path", QStringLiteral("http:///etc/passwd"));
        refused("only a user", QStringLiteral("https://user@/x"));
        refused("empty brackets", QStringLiteral("http://[]/x"));
        refused("port that is no number", QStringLiteral("http://h.test:8o/x"));
        refused("listener without a port", QStringLiteral("udp://@"));
        refused("rtmp without host", QStringLiteral("rtmp://"));
        refused("space in the host", QStringLiteral("http://h .test/x"));
        refused("line break inside", QStringLiteral("http://h.test/x\nav://lavfi:sine"));
        refused("nul inside", QStringLiteral("http://h.test/x") + QChar(0) + QStringLiteral("y"));
        refused("lookalike scheme", QString::fromUtf8("һttp://h.test/x"));
        refused("empty", QString());
        refused("only white space", QStringLiteral(" \t "));
        refused("relative path", QStringLiteral("clip.mp4"));
        refused("dot path", QStringLiteral("./clip.mp4"));
        refused("home path", QStringLiteral("~/clip.mp4"));
        refused("standard input", QStringLiteral("-"));
        refused("drive letter", QStringLiteral("C:\\clip.mp4"));
        refused("device", QStringLiteral("/dev/zero"));
        refused("device url", QStringLiteral("file:///dev/zero"));
        refused("standard input device", QStringLiteral("/dev/stdin"));
        refused("fifo", QStringLiteral("$DIR/fifo"));
        refused("folder", QStringLiteral("$DIR"));
        refused("missing file", QStringLiteral("$DIR/none.mp4"));
        refused("file url of another host", QStringLiteral("file://server/$DIR/clip.mp4"));
        refused("relative file url", QStringLiteral("file:clip.mp4"));
        refused("file url with a line break", QStringLiteral("file://$DIR/clip%0A.mp4"));
        refused("over the length limit",
            QStringLiteral("http://h.test/") + QString(AddressRule::MaxLength, u'a'));
        const QString longest = QStringLiteral("http://h.test/") + QString(AddressRule::MaxLength - 14, u'a');
        row("at the length limit", longest, longest, longest);

        row("absolute path", clip, QString(), clip);
        row("path with white space around", QStringLiteral(" ") + clip + QStringLiteral("\n"), QString(),
            clip);
        row("file url", QStringLiteral("file://$DIR/clip.mp4"), QString(), clip);
        row("file url in capitals", QStringLiteral("FILE://$DIR/clip.mp4"), QString(), clip);
        row("file url of localhost", QStringLiteral("file://localhost$DIR/clip.mp4"), QString(), clip);
        row("file url with one slash", QStringLiteral("file:$DIR/clip.mp4"), QString(), clip);
        row("path through a parent",
            QStringLiteral("$DIR/../") + QFileInfo(m_dir.path()).fileName() + QStringLiteral("/clip.mp4"),
            QString(),
            QStringLiteral("$DIR/../") + QFileInfo(m_dir.path()).fileName() + QStringLiteral("/clip.mp4"));
    }
    void onlyStreamsAndChosenRegularFilesPass()
    {
        QFETCH(QString, address);
        QFETCH(QString, fromNetwork);
        QFETCH(QString, fromUser);
        const QString dir = m_dir.path();
        address.replace(QStringLiteral("$DIR"), dir);
        fromNetwork.replace(QStringLiteral("$DIR"), dir);
        fromUser.replace(QStringLiteral("$DIR"), dir);
        QCOMPARE(AddressRule::admitted(address, Origin::Network), fromNetwork);
        QCOMPARE(AddressRule::admitted(address, Origin::UserChosen), fromUser);
        QCOMPARE(AddressRule::allows(address, Origin::UserChosen), !fromUser.isEmpty());
        // Case never turns a refused address into an admitted one, nor the reverse.
        QCOMPARE(AddressRule::admitted(address.toUpper(), Origin::Network).isEmpty(), fromNetwork.isEmpty());
    }

    void refusalIsLoggedOnOneShortLine()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("lumi.net.info=true"));
        const QString head = QStringLiteral("edl://x\nlumi.net: all is well");
        QString logged = head + QString(200 - head.size(), u'a') + QStringLiteral("…");
        logged.replace(u'\n', u'?');
        QTest::ignoreMessage(
            QtInfoMsg, qPrintable(QStringLiteral("refused an address from a test: ") + logged));
        QVERIFY(AddressRule::screened(head + QString(300, u'a'), Origin::UserChosen, "a test").isEmpty());
        QLoggingCategory::setFilterRules(QString());
    }

    void insideProtocolsAreNetworkOnlyButForChosenFiles()
    {
        const QStringList inside = AddressRule::insideStreamProtocols().split(u',');
        for (const char *local : { "file", "pipe", "fd", "concat", "concatf", "subfile", "cache", "async" })
            QVERIFY2(!inside.contains(QLatin1String(local)), local);
        QVERIFY(inside.contains(QStringLiteral("https")));
        const QStringList chosen = AddressRule::insideLocalFileProtocols().split(u',');
        QCOMPARE(chosen, QStringList { QStringLiteral("file") } + inside);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(AddressRuleTest)
#include "addressrule_test.moc"
