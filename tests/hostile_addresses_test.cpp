// Addresses from outside that would have the engine write or read local
// files, through every road by which an address reaches it: the real program
// on the real engine (null outputs), lists and playlists from loopback.
// Each road carries one hostile entry and then a good stream; the good
// stream playing proves the road went past the hostile entry, and the
// hostile entry's effects (a file written, a local file or a pipe opened)
// prove it was never opened.
#include "app/ChannelListsHub.h"
#include "app/SingleInstance.h"
#include "desktop/MediaControls.h"
#include "engine/MpvEngine.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "lists/ChannelWindow.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/RunningProgram.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr MediaEngine::State playing = MediaEngine::State::Playing;
constexpr double goodDuration = 2.0; // clip2.mp4, served; the local clip5.mp4 lasts 5 s

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

LoopbackHttpServer::Response served(const QByteArray &body, const QByteArray &type)
{
    LoopbackHttpServer::Response r;
    r.body = body;
    r.contentType = type;
    return r;
}

QDBusConnection otherConnection(const char *name)
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QString::fromLatin1(name));
}
} // namespace

class HostileAddressesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void streamPlaylistEntryNeverOpensLocalFiles_data();
    void streamPlaylistEntryNeverOpensLocalFiles();
    void remoteListEntryTunedFromChannelsNeverOpens_data();
    void remoteListEntryTunedFromChannelsNeverOpens();
    void localListEntryTunedFromChannelsNeverOpens_data();
    void localListEntryTunedFromChannelsNeverOpens();
    void desktopOpenUriNeverOpensSpecialAddresses_data();
    void desktopOpenUriNeverOpensSpecialAddresses();
    void handOverFromSecondCopyNeverOpensSpecialAddresses_data();
    void handOverFromSecondCopyNeverOpensSpecialAddresses();

private:
    // Rows of hostile entries: what a network source may never name, and
    // what even a source the user chose may never name.
    void networkForms();
    void chosenForms();
    QString hostile(QString form) const;
    // Waits until the good stream plays, or a hostile entry showed an effect.
    void expectOnlyTheGoodStreamPlays();
    QStringList effects() const;
    ChannelListsHub &hub() { return m_program->program.channelLists(); }
    // A list of two entries named alike: `bad`, then the good stream.
    QByteArray listNaming(const QString &bad) const;
    // Adds the list, tunes its first entry from "Canais", expects the good stream.
    void tuneFromList(const QString &listAddress);

    QTemporaryDir m_home; // settings, cache, lists; never the written-to folder
    std::unique_ptr<QTemporaryDir> m_out; // stays empty
    QString m_fifo;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<RunningProgram> m_program;
};

void HostileAddressesTest::initTestCase()
{
    QVERIFY(m_home.isValid());
    m_fifo = m_home.filePath(QStringLiteral("pipe"));
    QVERIFY(::mkfifo(QFile::encodeName(m_fifo).constData(), 0600) == 0);
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run inside dbus-run-session");
}

void HostileAddressesTest::init()
{
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_out->isValid());
    const QString config = m_home.filePath(QStringLiteral("%1-%2").arg(
        QString::fromLatin1(QTest::currentTestFunction()), QString::fromLatin1(QTest::currentDataTag())));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config + QStringLiteral("/config")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(config + QStringLiteral("/cache")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(config + QStringLiteral("/data")));
    m_server = std::make_unique<LoopbackHttpServer>();
    m_server->setResponse(
        QStringLiteral("/good.mp4"), served(Fixtures::bytes(QStringLiteral("clip2.mp4")), "video/mp4"));
    m_program = std::make_unique<RunningProgram>(std::make_unique<MpvEngine>(MpvEngine::Output::Null));
    QVERIFY(m_program->program.started());
}

void HostileAddressesTest::cleanup()
{
    m_program.reset();
    m_server.reset();
    m_out.reset();
}

void HostileAddressesTest::networkForms()
{
    // A rooted path in a remote list names a file on the list's own server.
    QTest::addColumn<QString>("form");
    QTest::newRow("filter graph writing a file") << u("lavfi");
    QTest::newRow("edit list of a local file") << u("edl");
    QTest::newRow("file url") << u("file");
}

void HostileAddressesTest::chosenForms()
{
    QTest::addColumn<QString>("form");
    QTest::newRow("filter graph writing a file") << u("lavfi");
    QTest::newRow("edit list of a local file") << u("edl");
    QTest::newRow("named pipe") << u("fifo");
}

QString HostileAddressesTest::hostile(QString form) const
{
    const QString local = Fixtures::path(QStringLiteral("clip5.mp4"));
    if (form == QLatin1String("lavfi"))
        return u("av://lavfi:sine=d=0.05,ametadata=mode=add:key=a:value=1\\;echo "
                 "X,ametadata=mode=print:file=")
            + m_out->filePath(QStringLiteral("x.sh"));
    if (form == QLatin1String("edl"))
        return u("edl://") + local;
    if (form == QLatin1String("file"))
        return QUrl::fromLocalFile(local).toString();
    if (form == QLatin1String("fifo"))
        return m_fifo;
    return local;
}

QStringList HostileAddressesTest::effects() const
{
    QStringList seen = QDir(m_out->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    // A writer opens a pipe without waiting only while a reader holds it open.
    const int fd = ::open(QFile::encodeName(m_fifo).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        seen << QStringLiteral("pipe opened");
    } else if (errno != ENXIO) {
        seen << QStringLiteral("pipe: %1").arg(errno);
    }
    return seen;
}

void HostileAddressesTest::expectOnlyTheGoodStreamPlays()
{
    MediaEngine &engine = m_program->engine();
    QTRY_VERIFY_WITH_TIMEOUT(engine.state() == playing || !effects().isEmpty(), 10000 * Fixtures::slowdown);
    QCOMPARE(effects(), QStringList());
    QVERIFY2(std::abs(engine.duration() - goodDuration) < 0.2,
        qPrintable(QStringLiteral("played %1 s").arg(engine.duration())));
    // The hostile entry, had it run, would have written by now.
    QTest::qWait(200);
    QCOMPARE(effects(), QStringList());
}

QByteArray HostileAddressesTest::listNaming(const QString &bad) const
{
    return "#EXTM3U\n#EXTINF:-1,Hostil\n" + bad.toUtf8() + "\n#EXTINF:-1,Hostil\n"
        + m_server->url(QStringLiteral("/good.mp4")).toUtf8() + "\n";
}

void HostileAddressesTest::tuneFromList(const QString &listAddress)
{
    QVERIFY(!hub().registry().add(u("Lista"), listAddress).isEmpty());
    hub().setSuggestedLists({});
    hub().start();
    QTRY_VERIFY(!hub().library().allChannels().isEmpty());
    // Enter tunes the first entry shown, with the others of its name as alternates.
    ChannelWindow *window = hub().showChannelWindow();
    window->findChild<QLineEdit *>(QStringLiteral("ChannelSearchEdit"))->setText(u("Hostil"));
    QVERIFY(window->shownCount() >= 1);
    QTest::keyClick(window->findChild<QListView *>(QStringLiteral("ChannelListView")), Qt::Key_Return);
    expectOnlyTheGoodStreamPlays();
    QCOMPARE(m_program->engine().url(), m_server->url(QStringLiteral("/good.mp4")));
}

void HostileAddressesTest::streamPlaylistEntryNeverOpensLocalFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("form");
    // A rooted path in a playlist names a file on the playlist's own server;
    // an M3U without its header is read by libmpv itself.
    for (const char *kind : { "asx", "reference", "pls", "m3u", "m3u without header" }) {
        for (const char *form : { "lavfi", "edl", "file", "path" })
            QTest::addRow("%s, %s", kind, form) << u(kind) << u(form);
    }
}

void HostileAddressesTest::streamPlaylistEntryNeverOpensLocalFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, form);
    const QByteArray bad = hostile(form).toUtf8();
    const QByteArray good = m_server->url(QStringLiteral("/good.mp4")).toUtf8();
    QByteArray body;
    QByteArray type = "audio/x-mpegurl";
    if (kind == QLatin1String("asx")) {
        body = "<asx version=\"3.0\"><entry><ref href=\"" + bad + "\"/></entry><entry><ref href=\"" + good
            + "\"/></entry></asx>";
        type = "video/x-ms-asf";
    } else if (kind == QLatin1String("reference")) {
        body = "[Reference]\r\nRef1=" + bad + "\r\nRef2=" + good + "\r\n";
        type = "video/x-ms-asf";
    } else if (kind == QLatin1String("pls")) {
        body = "[playlist]\nFile1=" + bad + "\nFile2=" + good + "\nNumberOfEntries=2\nVersion=2\n";
        type = "audio/x-scpls";
    } else if (kind == QLatin1String("m3u")) {
        body = "#EXTM3U\n#EXTINF:-1,Hostil\n" + bad + "\n#EXTINF:-1,Bom\n" + good + "\n";
    } else {
        body = bad + "\n" + good + "\n";
    }
    m_server->setResponse(QStringLiteral("/live"), served(body, type));
    // As from the command line: lumivortex http://127.0.0.1:PORT/live
    const QString address = m_server->url(QStringLiteral("/live"));
    QCOMPARE(m_program->program.openItems({ address }), 1);
    expectOnlyTheGoodStreamPlays();
    QCOMPARE(m_program->engine().url(), address);
}

void HostileAddressesTest::remoteListEntryTunedFromChannelsNeverOpens_data()
{
    networkForms();
}

void HostileAddressesTest::remoteListEntryTunedFromChannelsNeverOpens()
{
    QFETCH(QString, form);
    m_server->setResponse(QStringLiteral("/lista.m3u"), served(listNaming(hostile(form)), "audio/x-mpegurl"));
    tuneFromList(m_server->url(QStringLiteral("/lista.m3u")));
}

void HostileAddressesTest::localListEntryTunedFromChannelsNeverOpens_data()
{
    chosenForms();
}

void HostileAddressesTest::localListEntryTunedFromChannelsNeverOpens()
{
    QFETCH(QString, form);
    QFile list(m_home.filePath(QStringLiteral("local-%1.m3u").arg(form)));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(listNaming(hostile(form)));
    list.close();
    tuneFromList(list.fileName());
}

void HostileAddressesTest::desktopOpenUriNeverOpensSpecialAddresses_data()
{
    chosenForms();
}

void HostileAddressesTest::desktopOpenUriNeverOpensSpecialAddresses()
{
    QFETCH(QString, form);
    QVERIFY(m_program->program.installMediaControls());
    const QDBusConnection panel = otherConnection("panel");
    for (const QString &uri : { hostile(form), m_server->url(QStringLiteral("/good.mp4")) }) {
        QDBusMessage call = QDBusMessage::createMethodCall(MediaControls::ServiceName,
            MediaControls::ObjectPath, MediaControls::PlayerInterface, QStringLiteral("OpenUri"));
        call << uri;
        // The service lives on this thread: the call must not block it.
        QCOMPARE(panel.call(call, QDBus::BlockWithGui).type(), QDBusMessage::ReplyMessage);
    }
    expectOnlyTheGoodStreamPlays();
}

void HostileAddressesTest::handOverFromSecondCopyNeverOpensSpecialAddresses_data()
{
    chosenForms();
}

void HostileAddressesTest::handOverFromSecondCopyNeverOpensSpecialAddresses()
{
    QFETCH(QString, form);
    QVERIFY(m_program->program.listenForOtherCopies());
    const QString good = m_server->url(QStringLiteral("/good.mp4"));
    QVERIFY(SingleInstance::handOver({ hostile(form), good }, otherConnection("second-copy")));
    expectOnlyTheGoodStreamPlays();
    QCOMPARE(m_program->engine().url(), good);
}

QTEST_MAIN(HostileAddressesTest)
#include "hostile_addresses_test.moc"
