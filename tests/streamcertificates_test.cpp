// HTTPS streams through the real engine: a certificate that does not verify
// is refused with its own reason, whether the resolver or libmpv opens the
// stream; a list's "accept invalid certificates" lets it play; a certificate
// signed by a CA the process trusts plays.
#include "engine/MpvEngine.h"
#include "engine/StreamRecorder.h"
#include "engine/StreamResolver.h"
#include "net/TlsTrust.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/LoopbackTlsProxy.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using Response = LoopbackHttpServer::Response;
using Certificate = LoopbackTlsProxy::Certificate;
Q_DECLARE_METATYPE(LoopbackTlsProxy::Certificate)

namespace
{
constexpr MediaEngine::State failed = MediaEngine::State::Failed;
constexpr MediaEngine::State playing = MediaEngine::State::Playing;
constexpr int kPlayMs = 8000 * Fixtures::slowdown;
} // namespace

class StreamCertificatesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void streamPlaysOnlyWithACertificateThatVerifies_data();
    void streamPlaysOnlyWithACertificateThatVerifies();
    void playlistReadByThePlayerChecksCertificatesToo_data();
    void playlistReadByThePlayerChecksCertificatesToo();
    void resolverTellsARefusedCertificateFromAnUnreachableServer();
    void recordingChecksCertificatesAsThePlayerDoes_data();
    void recordingChecksCertificatesAsThePlayerDoes();

private:
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<MpvEngine> m_engine;
};

void StreamCertificatesTest::init()
{
    TlsTrust::setCaFile(LoopbackTlsProxy::testCaFile());
    m_server = std::make_unique<LoopbackHttpServer>();
    Response radio;
    radio.body = Fixtures::bytes(QStringLiteral("stream.mp3"));
    radio.contentType = "audio/mpeg";
    radio.endless = true;
    radio.chunkBytes = 4000;
    radio.chunkDelayMs = 100;
    m_server->setResponse(QStringLiteral("/radio"), radio);
    m_engine = std::make_unique<MpvEngine>(MpvEngine::Output::Null);
}

void StreamCertificatesTest::cleanup()
{
    m_engine.reset();
    m_server.reset();
    TlsTrust::setCaFile(QString());
}

void StreamCertificatesTest::streamPlaysOnlyWithACertificateThatVerifies_data()
{
    QTest::addColumn<Certificate>("certificate");
    QTest::addColumn<bool>("listAcceptsInvalid");
    QTest::addColumn<bool>("plays");
    QTest::newRow("self-signed") << Certificate::SelfSigned << false << false;
    QTest::newRow("for another host") << Certificate::OtherName << false << false;
    QTest::newRow("self-signed, list accepts invalid") << Certificate::SelfSigned << true << true;
    QTest::newRow("signed by the trusted CA") << Certificate::Trusted << false << true;
}

void StreamCertificatesTest::streamPlaysOnlyWithACertificateThatVerifies()
{
    QFETCH(Certificate, certificate);
    QFETCH(bool, listAcceptsInvalid);
    QFETCH(bool, plays);
    LoopbackTlsProxy tls(m_server->port(), certificate);
    const QString address = tls.url(QStringLiteral("/radio"));
    m_engine->setAcceptInvalidCertificates(address, listAcceptsInvalid);
    QList<MediaEngine::State> seen;
    connect(
        m_engine.get(), &MediaEngine::stateChanged, this, [&](MediaEngine::State state) { seen << state; });
    m_engine->setUrl(address);
    if (plays) {
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->state(), playing, kPlayMs);
        QCOMPARE(m_engine->failure(), MediaEngine::Failure::None);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->state(), failed, kPlayMs);
    QCOMPARE(m_engine->failure(), MediaEngine::Failure::CertificateRefused);
    QVERIFY(!seen.contains(playing));
    // Neither the resolver nor the player asked that server for anything.
    QCOMPARE(m_server->requests().size(), 0);
    // The next address owes nothing to the refusal.
    m_engine->setUrl(m_server->url(QStringLiteral("/radio")));
    QCOMPARE(m_engine->failure(), MediaEngine::Failure::None);
}

void StreamCertificatesTest::playlistReadByThePlayerChecksCertificatesToo_data()
{
    QTest::addColumn<bool>("listAcceptsInvalid");
    QTest::newRow("checked") << false;
    QTest::newRow("list accepts invalid") << true;
}

void StreamCertificatesTest::playlistReadByThePlayerChecksCertificatesToo()
{
    QFETCH(bool, listAcceptsInvalid);
    // libmpv reads M3U itself and opens its entries without our resolver.
    LoopbackTlsProxy tls(m_server->port(), Certificate::SelfSigned);
    Response list;
    list.body = "#EXTM3U\n#EXTINF:-1,Radio\n" + tls.url(QStringLiteral("/radio")).toUtf8() + '\n';
    list.contentType = "audio/x-mpegurl";
    m_server->setResponse(QStringLiteral("/list.m3u"), list);
    const QString address = m_server->url(QStringLiteral("/list.m3u"));
    m_engine->setAcceptInvalidCertificates(address, listAcceptsInvalid);
    QList<MediaEngine::State> seen;
    connect(
        m_engine.get(), &MediaEngine::stateChanged, this, [&](MediaEngine::State state) { seen << state; });
    m_engine->setUrl(address);
    if (listAcceptsInvalid) {
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->state(), playing, kPlayMs);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->state(), failed, kPlayMs);
    QVERIFY(!seen.contains(playing));
    // The list was read (by the resolver, then by libmpv), its entry never asked for.
    const QList<QByteArray> requests = m_server->requests();
    QVERIFY(!requests.isEmpty());
    for (const QByteArray &request : requests)
        QVERIFY2(request.startsWith("GET /list.m3u "), request.constData());
}

void StreamCertificatesTest::resolverTellsARefusedCertificateFromAnUnreachableServer()
{
    LoopbackTlsProxy tls(m_server->port(), Certificate::SelfSigned);
    StreamResolver resolver;
    QSignalSpy failed(&resolver, &StreamResolver::failed);
    QSignalSpy notPlaylist(&resolver, &StreamResolver::notPlaylist);
    resolver.resolve(tls.url(QStringLiteral("/radio")));
    QVERIFY(failed.wait(5000));
    QCOMPARE(
        failed.first().at(1).value<StreamResolver::Failure>(), StreamResolver::Failure::CertificateRefused);
    resolver.resolve(QStringLiteral("https://127.0.0.1:%1/radio").arg(LoopbackHttpServer::unusedPort()));
    QVERIFY(failed.wait(5000));
    QCOMPARE(failed.at(1).at(1).value<StreamResolver::Failure>(), StreamResolver::Failure::Unreachable);
    QCOMPARE(notPlaylist.size(), 0);
}

void StreamCertificatesTest::recordingChecksCertificatesAsThePlayerDoes_data()
{
    QTest::addColumn<Certificate>("certificate");
    QTest::addColumn<bool>("records");
    QTest::newRow("signed by the trusted CA") << Certificate::Trusted << true;
    QTest::newRow("self-signed") << Certificate::SelfSigned << false;
}

void StreamCertificatesTest::recordingChecksCertificatesAsThePlayerDoes()
{
    QFETCH(Certificate, certificate);
    QFETCH(bool, records);
    LoopbackTlsProxy tls(m_server->port(), certificate);
    QTemporaryDir dir;
    StreamRecorder recorder(dir.filePath(QStringLiteral("Rádio.ts")));
    RecordingSource source;
    source.address = tls.url(QStringLiteral("/radio"));
    QVERIFY(recorder.start(source));
    if (records) {
        QTRY_VERIFY_WITH_TIMEOUT(recorder.bytesWritten() > 0, kPlayMs);
    } else {
        // It goes on knocking, as at a dead address; the server behind never hears a request.
        QTest::qWait(2000 * Fixtures::slowdown);
        QCOMPARE(recorder.bytesWritten(), 0);
        QCOMPARE(m_server->requests().size(), 0);
    }
    recorder.stop();
}

QTEST_MAIN(StreamCertificatesTest)
#include "streamcertificates_test.moc"
