// StreamResolver against the loopback server: playlists found by content,
// media never downloaded, failures reported, stale resolutions silent.
#include "engine/StreamResolver.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using Response = LoopbackHttpServer::Response;

namespace
{

Response body(const QByteArray &bytes, const QByteArray &type)
{
    Response r;
    r.body = bytes;
    r.contentType = type;
    return r;
}

// What the resolver said, in order: "playlist", "notPlaylist" or "failed".
struct Outcomes {
    explicit Outcomes(StreamResolver &resolver)
    {
        QObject::connect(&resolver, &StreamResolver::playlistFound, &resolver,
            [this](const QString &a, const QStringList &e) { add(QStringLiteral("playlist"), a, e); });
        QObject::connect(&resolver, &StreamResolver::notPlaylist, &resolver,
            [this](const QString &a) { add(QStringLiteral("notPlaylist"), a, {}); });
        QObject::connect(&resolver, &StreamResolver::failed, &resolver,
            [this](const QString &a) { add(QStringLiteral("failed"), a, {}); });
    }
    void add(const QString &k, const QString &a, const QStringList &e)
    {
        kinds << k;
        addresses << a;
        entries = e;
    }
    QStringList kinds;
    QStringList addresses;
    QStringList entries;
};

} // namespace

class StreamResolverTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void onlyWebAddressesAreResolved_data();
    void onlyWebAddressesAreResolved();
    void playlistIsFoundWhateverTheMimeType_data();
    void playlistIsFoundWhateverTheMimeType();
    void endlessMediaIsNotDownloaded();
    void redirectIsFollowedAndHrefsResolveAgainstItsTarget();
    void failuresAreReported_data();
    void failuresAreReported();
    void oversizedBodyIsDecidedWithinTheBound_data();
    void oversizedBodyIsDecidedWithinTheBound();
    void laterResolutionSilencesTheEarlier();
    void destroyedWhileFetchingStaysQuiet();

private:
    std::unique_ptr<LoopbackHttpServer> server;
    std::unique_ptr<StreamResolver> resolver;
};

void StreamResolverTest::init()
{
    server = std::make_unique<LoopbackHttpServer>();
    resolver = std::make_unique<StreamResolver>();
}

void StreamResolverTest::cleanup()
{
    resolver.reset();
    server.reset();
}

void StreamResolverTest::onlyWebAddressesAreResolved_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("resolved");
    QTest::newRow("http") << QStringLiteral("http://a.example/x.asx") << true;
    QTest::newRow("HTTPS") << QStringLiteral("HTTPS://a.example/x") << true;
    QTest::newRow("mms") << QStringLiteral("mms://a.example/live") << false;
    QTest::newRow("rtsp") << QStringLiteral("rtsp://a.example/live") << false;
    QTest::newRow("path") << QStringLiteral("/home/u/m\u00fasica.mp3") << false;
    QTest::newRow("file url") << QStringLiteral("file:///tmp/a.asx") << false;
}

void StreamResolverTest::onlyWebAddressesAreResolved()
{
    QFETCH(QString, address);
    QFETCH(bool, resolved);
    QCOMPARE(StreamResolver::wantsResolving(address), resolved);
}

void StreamResolverTest::playlistIsFoundWhateverTheMimeType_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QStringList>("entries");
    const QByteArray asx = "<ASX version=\"3.0\"><Entry><Ref HREF=\"mms://a.example/live\"/></Entry></ASX>";
    const QStringList one { QStringLiteral("mms://a.example/live") };
    QTest::newRow("asx as video/x-ms-asf") << asx << QByteArray("video/x-ms-asf") << one;
    QTest::newRow("asx as text/html") << asx << QByteArray("text/html") << one;
    QTest::newRow("asx as octet-stream") << asx << QByteArray("application/octet-stream") << one;
    QTest::newRow("reference as audio/x-ms-wax")
        << QByteArray(
               "[Reference]\r\nRef1=http://a.example/live?MSWMExt=.asf\r\nRef2=http://b.example/live\r\n")
        << QByteArray("audio/x-ms-wax")
        << QStringList { QStringLiteral("http://a.example/live?MSWMExt=.asf"),
               QStringLiteral("http://b.example/live") };
    QTest::newRow("empty asx") << QByteArray("<asx version=\"3.0\"></asx>") << QByteArray("video/x-ms-asf")
                               << QStringList();
}

void StreamResolverTest::playlistIsFoundWhateverTheMimeType()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, type);
    QFETCH(QStringList, entries);
    Response r = body(bytes, type);
    r.chunkBytes = 7; // arrives in pieces: the verdict must wait for the whole
    r.chunkDelayMs = 1;
    server->setResponse(QStringLiteral("/list"), r);
    Outcomes out(*resolver);
    resolver->resolve(server->url(QStringLiteral("/list")));
    QVERIFY(out.kinds.isEmpty()); // never inside the call
    QTRY_COMPARE_WITH_TIMEOUT(out.kinds, QStringList { QStringLiteral("playlist") }, 5000);
    QCOMPARE(out.addresses, QStringList { server->url(QStringLiteral("/list")) });
    QCOMPARE(out.entries, entries);
    QVERIFY(!resolver->isBusy());
}

void StreamResolverTest::endlessMediaIsNotDownloaded()
{
    Response r = body(QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(4000, '\x55'), "audio/mpeg");
    r.endless = true;
    server->setResponse(QStringLiteral("/radio"), r);
    Outcomes out(*resolver);
    resolver->resolve(server->url(QStringLiteral("/radio")));
    // Waiting for the end of an endless body would never conclude.
    QTRY_COMPARE_WITH_TIMEOUT(out.kinds, QStringList { QStringLiteral("notPlaylist") }, 5000);
    QVERIFY(!resolver->isBusy());
    QCOMPARE(server->connectionCount(), 1);
}

void StreamResolverTest::redirectIsFollowedAndHrefsResolveAgainstItsTarget()
{
    Response moved;
    moved.status = 302;
    moved.location = server->url(QStringLiteral("/lists/new.asx")).toUtf8();
    server->setResponse(QStringLiteral("/old"), moved);
    server->setResponse(QStringLiteral("/lists/new.asx"),
        body("<asx><entry><ref href=\"a.wmv\"/></entry></asx>", "video/x-ms-asf"));
    Outcomes out(*resolver);
    resolver->resolve(server->url(QStringLiteral("/old")));
    QTRY_COMPARE_WITH_TIMEOUT(out.kinds, QStringList { QStringLiteral("playlist") }, 5000);
    QCOMPARE(out.entries, QStringList { server->url(QStringLiteral("/lists/a.wmv")) });
}

void StreamResolverTest::failuresAreReported_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("not found") << QStringLiteral("/missing");
    QTest::newRow("server error") << QStringLiteral("/error");
    QTest::newRow("refused") << QStringLiteral("refused");
    QTest::newRow("silent after the headers") << QStringLiteral("/silent");
    QTest::newRow("redirect loop") << QStringLiteral("/loop");
}

void StreamResolverTest::failuresAreReported()
{
    QFETCH(QString, path);
    Response error = body("<asx><entry><ref href=\"/x\"/></entry></asx>", "text/html");
    error.status = 500;
    server->setResponse(QStringLiteral("/error"), error);
    Response silent = body(QByteArray(100, 'x'), "audio/mpeg");
    silent.endless = true;
    silent.stallAfterBytes = 0;
    server->setResponse(QStringLiteral("/silent"), silent);
    Response loop;
    loop.status = 302;
    loop.location = "/loop";
    server->setResponse(QStringLiteral("/loop"), loop);
    resolver->setTimeout(700);
    const QString url = path == QLatin1String("refused")
        ? QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::unusedPort())
        : server->url(path);
    Outcomes out(*resolver);
    resolver->resolve(url);
    QTRY_COMPARE_WITH_TIMEOUT(out.kinds, QStringList { QStringLiteral("failed") }, 5000);
    QCOMPARE(out.addresses, QStringList { url });
}

void StreamResolverTest::oversizedBodyIsDecidedWithinTheBound_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("endless page") << QByteArray("<html><body>") << QStringLiteral("notPlaylist")
                                  << QStringList();
    QTest::newRow("endless white space")
        << QByteArray("  ") << QStringLiteral("notPlaylist") << QStringList();
    QTest::newRow("playlist, then endless padding")
        << QByteArray("<asx><entry><ref href=\"mms://a.example/live\"/></entry></asx><!--")
        << QStringLiteral("playlist") << QStringList { QStringLiteral("mms://a.example/live") };
}

void StreamResolverTest::oversizedBodyIsDecidedWithinTheBound()
{
    QFETCH(QByteArray, head);
    QFETCH(QString, kind);
    QFETCH(QStringList, entries);
    // The server repeats the body: the head once, then padding for ever.
    Response r = body(head + QByteArray(StreamResolver::maxPrefixBytes + 1, ' '), "text/html");
    r.endless = true;
    server->setResponse(QStringLiteral("/huge"), r);
    Outcomes out(*resolver);
    resolver->resolve(server->url(QStringLiteral("/huge")));
    QTRY_COMPARE_WITH_TIMEOUT(out.kinds, QStringList { kind }, 5000);
    QCOMPARE(out.entries, entries);
}

void StreamResolverTest::laterResolutionSilencesTheEarlier()
{
    Response slow = body("<asx><entry><ref href=\"mms://a.example/first\"/></entry></asx>", "video/x-ms-asf");
    slow.chunkBytes = 8;
    slow.chunkDelayMs = 10;
    server->setResponse(QStringLiteral("/slow"), slow);
    server->setResponse(QStringLiteral("/fast"),
        body("<asx><entry><ref href=\"mms://a.example/second\"/></entry></asx>", "video/x-ms-asf"));
    Outcomes out(*resolver);
    resolver->resolve(server->url(QStringLiteral("/slow")));
    QTest::qWait(50);
    resolver->resolve(server->url(QStringLiteral("/fast")));
    QTRY_COMPARE_WITH_TIMEOUT(out.kinds.size(), 1, 5000);
    QCOMPARE(out.entries, QStringList { QStringLiteral("mms://a.example/second") });
    QTest::qWait(1000); // the slow answer would be complete by now
    QCOMPARE(out.kinds.size(), 1);
    resolver->resolve(server->url(QStringLiteral("/slow")));
    resolver->abort();
    QTest::qWait(1000);
    QCOMPARE(out.kinds.size(), 1);
}

void StreamResolverTest::destroyedWhileFetchingStaysQuiet()
{
    Response slow = body(QByteArray(1000, '<'), "text/html");
    slow.chunkBytes = 10;
    slow.chunkDelayMs = 10;
    server->setResponse(QStringLiteral("/slow"), slow);
    bool reported = false;
    auto doomed = std::make_unique<StreamResolver>();
    connect(doomed.get(), &StreamResolver::notPlaylist, this, [&] { reported = true; });
    doomed->resolve(server->url(QStringLiteral("/slow")));
    QTest::qWait(100);
    QVERIFY(doomed->isBusy());
    doomed.reset();
    QTest::qWait(300);
    QVERIFY(!reported);
}

QTEST_GUILESS_MAIN(StreamResolverTest)
#include "streamresolver_test.moc"
