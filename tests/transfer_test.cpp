// The network layer's one transfer loop against the loopback server, plain
// and over TLS: limits counted after decoding, stalls, cancel, redirects and
// the protocol rule, certificates, and the workers' hand-over and exit.
#include "net/TlsTrust.h"
#include "net/Transfer.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/LoopbackTlsProxy.h"

#include <QElapsedTimer>
#include <QTest>
#include <memory>

using Response = LoopbackHttpServer::Response;
using End = Transfer::End;
using Certificate = LoopbackTlsProxy::Certificate;
Q_DECLARE_METATYPE(Transfer::End)
Q_DECLARE_METATYPE(LoopbackTlsProxy::Certificate)

namespace
{

struct Fetched {
    End end = End::Failed;
    int status = 0;
    QByteArray body;
    QString error;
};

Fetched fetch(const QString &address, TransferRequest request = {})
{
    TransferCancel cancel;
    request.url = TransferRequest::encodedUrl(address);
    Transfer transfer(request, cancel);
    Fetched out;
    transfer.onBody = [&out](const char *data, qint64 size) {
        out.body.append(data, qsizetype(size));
        return true;
    };
    out.end = transfer.run();
    out.status = transfer.status();
    out.error = transfer.errorText();
    return out;
}

TransferRequest withLimits(qint64 maxBytes, int stallMs = 5000, int totalMs = 0)
{
    TransferRequest request;
    request.limits = { maxBytes, 5000, stallMs, totalMs };
    return request;
}

Response answer(const QByteArray &body)
{
    Response r;
    r.body = body;
    return r;
}

Response redirectTo(const QString &location)
{
    Response r;
    r.status = 302;
    r.location = location.toUtf8();
    return r;
}

} // namespace

class TransferTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void bodyIsBoundedAfterDecoding_data();
    void bodyIsBoundedAfterDecoding();
    void silentServerStallsAndSlowOneTimesOut_data();
    void silentServerStallsAndSlowOneTimesOut();
    void cancelEndsASilentTransferAtOnce();
    void redirectsKeepTheProtocolRule_data();
    void redirectsKeepTheProtocolRule();
    void onlyWebAddressesAreFetched_data();
    void onlyWebAddressesAreFetched();
    void certificatesAreChecked_data();
    void certificatesAreChecked();
    void systemBundleDoesNotKnowTheTestCa();
    void resultReachesOnlyALivingOwner();

private:
    std::unique_ptr<LoopbackHttpServer> m_server;
};

void TransferTest::init()
{
    m_server = std::make_unique<LoopbackHttpServer>();
    TlsTrust::setCaFile(LoopbackTlsProxy::testCaFile());
}

void TransferTest::cleanup()
{
    TlsTrust::setCaFile(QString());
    m_server.reset();
    QTRY_COMPARE_WITH_TIMEOUT(TransferWorkers::running(), 0, 5000);
}

void TransferTest::bodyIsBoundedAfterDecoding_data()
{
    QTest::addColumn<Response>("response");
    QTest::addColumn<End>("end");
    QTest::addColumn<qint64>("bytes");
    const qint64 bound = 64 * 1024;
    // 8 MiB of zeros deflate to a few kilobytes: only the decoded size tells.
    Response bomb = answer(qCompress(QByteArray(8 << 20, '\0'), 9).mid(4));
    bomb.headers = { { "Content-Encoding", "deflate" } };
    QTest::newRow("decoded bomb") << bomb << End::TooLarge << bound;
    Response endless = answer(QByteArray(4000, 'e'));
    endless.endless = true;
    QTest::newRow("endless, no length") << endless << End::TooLarge << bound;
    QTest::newRow("announced too long") << answer(QByteArray(bound + 1, 'a')) << End::TooLarge << qint64(0);
    QTest::newRow("exactly the bound") << answer(QByteArray(bound, 'x')) << End::Finished << bound;
    Response small = answer(qCompress(QByteArray(1000, 'z')).mid(4));
    small.headers = { { "Content-Encoding", "deflate" } };
    QTest::newRow("small, decoded") << small << End::Finished << qint64(1000);
}

void TransferTest::bodyIsBoundedAfterDecoding()
{
    QFETCH(Response, response);
    QFETCH(End, end);
    QFETCH(qint64, bytes);
    m_server->setResponse(QStringLiteral("/b"), response);
    const Fetched got = fetch(m_server->url(QStringLiteral("/b")), withLimits(64 * 1024));
    QCOMPARE(got.end, end);
    QCOMPARE(got.body.size(), bytes);
}

void TransferTest::silentServerStallsAndSlowOneTimesOut_data()
{
    QTest::addColumn<Response>("response");
    QTest::addColumn<int>("stallMs");
    QTest::addColumn<int>("totalMs");
    QTest::addColumn<End>("end");
    Response silent = answer(QByteArray(5000, 's'));
    silent.stallAfterBytes = 100;
    QTest::newRow("silent mid-body") << silent << 400 << 0 << End::Stalled;
    Response drip = answer(QByteArray(1000, 'd'));
    drip.chunkBytes = 1;
    drip.chunkDelayMs = 50;
    QTest::newRow("drip past the total") << drip << 400 << 600 << End::TimedOut;
}

void TransferTest::silentServerStallsAndSlowOneTimesOut()
{
    QFETCH(Response, response);
    QFETCH(int, stallMs);
    QFETCH(int, totalMs);
    QFETCH(End, end);
    m_server->setResponse(QStringLiteral("/s"), response);
    QElapsedTimer clock;
    clock.start();
    const Fetched got = fetch(m_server->url(QStringLiteral("/s")), withLimits(0, stallMs, totalMs));
    QCOMPARE(got.end, end);
    const int bound = totalMs > 0 ? totalMs : stallMs;
    QVERIFY2(clock.elapsed() >= bound - 50 && clock.elapsed() < bound + 3000,
        QByteArray::number(clock.elapsed()).constData());
}

void TransferTest::cancelEndsASilentTransferAtOnce()
{
    Response silent = answer(QByteArray(5000, 's'));
    silent.stallAfterBytes = 10;
    m_server->setResponse(QStringLiteral("/s"), silent);
    auto cancel = std::make_shared<TransferCancel>();
    auto end = std::make_shared<std::atomic<int>>(-1);
    auto received = std::make_shared<std::atomic<qint64>>(0);
    TransferRequest request = withLimits(0, 60000);
    request.url = TransferRequest::encodedUrl(m_server->url(QStringLiteral("/s")));
    TransferWorkers::start([cancel, end, received, request] {
        Transfer transfer(request, *cancel);
        transfer.onBody = [received](const char *, qint64 size) {
            received->fetch_add(size);
            return true;
        };
        end->store(int(transfer.run()));
    });
    QTRY_COMPARE(received->load(), qint64(10));
    QElapsedTimer clock;
    clock.start();
    cancel->cancel();
    // The stall timeout is a minute away: only the cancel can end it this soon.
    QTRY_COMPARE_WITH_TIMEOUT(end->load(), int(End::Cancelled), 5000);
    QVERIFY2(clock.elapsed() < 500, QByteArray::number(clock.elapsed()).constData());
}

void TransferTest::redirectsKeepTheProtocolRule_data()
{
    QTest::addColumn<QString>("from"); // "http" or "https"
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("allowHttpsToHttp");
    QTest::addColumn<End>("end");
    QTest::newRow("http to https") << "http"
                                   << "https" << false << End::Finished;
    QTest::newRow("https to https") << "https"
                                    << "https" << false << End::Finished;
    QTest::newRow("https to http") << "https"
                                   << "http" << false << End::ProtocolRefused;
    QTest::newRow("https to http, allowed") << "https"
                                            << "http" << true << End::Finished;
    QTest::newRow("http to ftp") << "http"
                                 << "ftp" << false << End::ProtocolRefused;
    QTest::newRow("http to file") << "http"
                                  << "file" << false << End::ProtocolRefused;
}

void TransferTest::redirectsKeepTheProtocolRule()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, allowHttpsToHttp);
    QFETCH(End, end);
    LoopbackTlsProxy tls(m_server->port(), Certificate::Trusted);
    auto url = [&](const QString &scheme, const QString &path) {
        if (scheme == QLatin1String("https"))
            return tls.url(path);
        if (scheme == QLatin1String("http"))
            return m_server->url(path);
        return scheme + QStringLiteral("://127.0.0.1") + path;
    };
    m_server->setResponse(QStringLiteral("/old"), redirectTo(url(to, QStringLiteral("/new"))));
    m_server->setResponse(QStringLiteral("/new"), answer("arrived"));
    TransferRequest request;
    request.allowHttpsToHttp = allowHttpsToHttp;
    const Fetched got = fetch(url(from, QStringLiteral("/old")), request);
    QCOMPARE(got.end, end);
    QCOMPARE(got.body, end == End::Finished ? QByteArray("arrived") : QByteArray());
    // Refused redirects are never followed.
    QCOMPARE(m_server->requests().size(), end == End::Finished ? 2 : 1);
}

void TransferTest::onlyWebAddressesAreFetched_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("file") << QStringLiteral("file:///etc/passwd");
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/x");
    QTest::newRow("dict") << QStringLiteral("dict://127.0.0.1/x");
    QTest::newRow("bare path") << QStringLiteral("/etc/passwd");
}

void TransferTest::onlyWebAddressesAreFetched()
{
    QFETCH(QString, address);
    const Fetched got = fetch(address);
    QCOMPARE(got.end, End::ProtocolRefused);
    QVERIFY(got.body.isEmpty());
}

void TransferTest::certificatesAreChecked_data()
{
    QTest::addColumn<Certificate>("certificate");
    QTest::addColumn<bool>("acceptInvalid");
    QTest::addColumn<End>("end");
    QTest::newRow("signed by the trusted CA") << Certificate::Trusted << false << End::Finished;
    QTest::newRow("self-signed") << Certificate::SelfSigned << false << End::CertificateRefused;
    QTest::newRow("for another host") << Certificate::OtherName << false << End::CertificateRefused;
    QTest::newRow("self-signed, accepted") << Certificate::SelfSigned << true << End::Finished;
    QTest::newRow("another host, accepted") << Certificate::OtherName << true << End::Finished;
}

void TransferTest::certificatesAreChecked()
{
    QFETCH(Certificate, certificate);
    QFETCH(bool, acceptInvalid);
    QFETCH(End, end);
    LoopbackTlsProxy tls(m_server->port(), certificate);
    m_server->setResponse(QStringLiteral("/list.m3u"), answer("#EXTM3U\n"));
    TransferRequest request;
    request.acceptInvalidCertificates = acceptInvalid;
    const Fetched got = fetch(tls.url(QStringLiteral("/list.m3u")), request);
    QCOMPARE(got.end, end);
    // A refused server never saw the request.
    QCOMPARE(m_server->requests().size(), end == End::Finished ? 1 : 0);
}

void TransferTest::systemBundleDoesNotKnowTheTestCa()
{
    TlsTrust::setCaFile(QString());
    LoopbackTlsProxy tls(m_server->port(), Certificate::Trusted);
    m_server->setResponse(QStringLiteral("/x"), answer("x"));
    QCOMPARE(fetch(tls.url(QStringLiteral("/x"))).end, End::CertificateRefused);
}

void TransferTest::resultReachesOnlyALivingOwner()
{
    int delivered = 0;
    QThread *deliveredOn = nullptr;
    auto owner = std::make_unique<QObject>();
    TransferWorkers::startFor(owner.get(), [&]() -> std::function<void()> {
        return [&] {
            ++delivered;
            deliveredOn = QThread::currentThread();
        };
    });
    QTRY_COMPARE(delivered, 1);
    QCOMPARE(deliveredOn, QThread::currentThread());
    QTRY_COMPARE(TransferWorkers::running(), 0);

    // The owner goes while the work runs: the result is dropped.
    std::atomic<bool> release { false };
    TransferWorkers::startFor(owner.get(), [&]() -> std::function<void()> {
        while (!release.load())
            QThread::msleep(5);
        return [&] { ++delivered; };
    });
    owner.reset();
    release.store(true);
    QTRY_COMPARE(TransferWorkers::running(), 0);
    QTest::qWait(50);
    QCOMPARE(delivered, 1);
}

QTEST_GUILESS_MAIN(TransferTest)
#include "transfer_test.moc"
