// Fetching remote guides from the loopback server straight to their copy:
// what each answer does to the copy held (a failed refresh never touches
// it), validators, the gzip transfer coding and both size bounds.
#include "guide/GuideFetcher.h"
#include "tests/support/GuideBytes.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Response = LoopbackHttpServer::Response;
using Outcome = GuideFetchResult::Outcome;
Q_DECLARE_METATYPE(Response)

namespace
{

const QByteArray OldGuide = "<tv><channel id=\"velho\"/></tv>";
const QByteArray NewGuide
    = "<?xml version=\"1.0\"?>\n<tv><channel id=\"novo\"><display-name>Novo</display-name>"
      "</channel></tv>";

Response answer(int status, const QByteArray &body = {})
{
    Response r;
    r.status = status;
    r.contentType = "application/xml";
    r.body = body;
    return r;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes that deflate hardly at all, so a compressed guide stays large.
QByteArray noise(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 12345;
    for (char &c : bytes) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    return bytes;
}

} // namespace

class GuideFetcherTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    LoopbackHttpServer m_server;

    QString copyPath() const { return m_dir.filePath(QStringLiteral("guide1.xmltv")); }

    void holdOldCopy()
    {
        QFile file(copyPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(OldGuide);
    }

    GuideFetchRequest request(const QString &path) const
    {
        GuideFetchRequest r;
        r.guideId = QStringLiteral("guide1");
        r.address = m_server.url(path);
        r.copyPath = copyPath();
        r.stallTimeoutMs = 3000;
        return r;
    }

    GuideFetchResult fetched(const GuideFetchRequest &r)
    {
        GuideFetcher fetcher;
        QSignalSpy done(&fetcher, &GuideFetcher::finished);
        if (!fetcher.fetch(r) || !done.wait(10000))
            return {};
        return done.first().first().value<GuideFetchResult>();
    }

private slots:
    void init() { holdOldCopy(); }

    void gzipTransferCodingIsStoredDecodedWithValidators()
    {
        Response r = answer(200, GuideBytes::deflated(NewGuide));
        r.headers = { { "Content-Encoding", "gzip" }, { "ETag", "\"v2\"" },
            { "Last-Modified", "Wed, 09 Dec 2026 10:00:00 GMT" } };
        m_server.setResponse(QStringLiteral("/coded.xml"), r);
        const GuideFetchResult result = fetched(request(QStringLiteral("/coded.xml")));
        QCOMPARE(result.outcome, Outcome::Updated);
        QCOMPARE(fileBytes(copyPath()), NewGuide);
        QCOMPARE(result.etag, QByteArray("\"v2\""));
        QCOMPARE(result.lastModified, QStringLiteral("Wed, 09 Dec 2026 10:00:00 GMT"));
    }

    void compressedGuideIsStoredAsPublished()
    {
        const QByteArray gz = GuideBytes::deflated(NewGuide);
        m_server.setResponse(QStringLiteral("/epg.xml.gz"), answer(200, gz));
        QCOMPARE(fetched(request(QStringLiteral("/epg.xml.gz"))).outcome, Outcome::Updated);
        QCOMPARE(fileBytes(copyPath()), gz);
    }

    void notModifiedKeepsTheCopyAndSendsValidators()
    {
        m_server.setResponse(QStringLiteral("/same.xml"), answer(304));
        GuideFetchRequest r = request(QStringLiteral("/same.xml"));
        r.etag = "\"v1\"";
        r.lastModified = QStringLiteral("Tue, 08 Dec 2026 10:00:00 GMT");
        QCOMPARE(fetched(r).outcome, Outcome::NotModified);
        QCOMPARE(fileBytes(copyPath()), OldGuide);
        const QByteArray head = m_server.requests().last();
        QVERIFY(head.contains("If-None-Match: \"v1\""));
        QVERIFY(head.contains("If-Modified-Since: Tue, 08 Dec 2026 10:00:00 GMT"));
    }

    void failedRefreshKeepsTheCopy_data()
    {
        QTest::addColumn<Response>("response");
        QTest::newRow("not found") << answer(404, "<html>não</html>");
        QTest::newRow("error page") << answer(200, "<!DOCTYPE html><html><body>Erro</body></html>");
        QTest::newRow("not xml") << answer(200, "{\"error\": \"quota\"}");
        QTest::newRow("empty") << answer(200);
        Response cut = answer(200, NewGuide);
        cut.length = Response::Length::Long;
        QTest::newRow("cut") << cut;
        Response stalled = answer(200, NewGuide);
        stalled.stallAfterBytes = 20;
        QTest::newRow("stalled") << stalled;
    }

    void failedRefreshKeepsTheCopy()
    {
        QFETCH(Response, response);
        m_server.setResponse(QStringLiteral("/bad.xml"), response);
        const GuideFetchResult result = fetched(request(QStringLiteral("/bad.xml")));
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(fileBytes(copyPath()), OldGuide);
    }

    void compressedBoundRefusesLargeCompressedGuide()
    {
        const QByteArray gz = GuideBytes::deflated(noise(200000));
        m_server.setResponse(QStringLiteral("/big.xml.gz"), answer(200, gz));
        GuideFetchRequest r = request(QStringLiteral("/big.xml.gz"));
        r.maxCompressedBytes = 100000;
        const GuideFetchResult result = fetched(r);
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.error.contains(QStringLiteral("compactado")), qPrintable(result.error));
        QCOMPARE(fileBytes(copyPath()), OldGuide);
        // A plain guide of the same size is under its own, larger bound.
        const QByteArray plain = "<tv>" + noise(200000).toHex() + "</tv>";
        m_server.setResponse(QStringLiteral("/big.xml"), answer(200, plain));
        QCOMPARE(fetched(request(QStringLiteral("/big.xml"))).outcome, Outcome::Updated);
    }

    void decodedBoundRefusesGzipBomb()
    {
        const QByteArray bomb = "<tv>" + QByteArray(4 << 20, ' ') + "</tv>";
        Response r = answer(200, GuideBytes::deflated(bomb));
        r.headers = { { "Content-Encoding", "gzip" } };
        m_server.setResponse(QStringLiteral("/bomb.xml"), r);
        GuideFetchRequest request = this->request(QStringLiteral("/bomb.xml"));
        request.maxDecodedBytes = 1 << 20;
        QCOMPARE(fetched(request).outcome, Outcome::Failed);
        QCOMPARE(fileBytes(copyPath()), OldGuide);
    }

    void waitingFetchesRunInTurn()
    {
        QTemporaryDir dir;
        Response slow = answer(200, NewGuide);
        slow.chunkBytes = 16;
        slow.chunkDelayMs = 20;
        m_server.setResponse(QStringLiteral("/slow.xml"), slow);
        GuideFetcher fetcher;
        QSignalSpy done(&fetcher, &GuideFetcher::finished);
        for (int i = 1; i <= GuideFetcher::MaxRunning + 2; ++i) {
            GuideFetchRequest r = request(QStringLiteral("/slow.xml"));
            r.guideId = QStringLiteral("guide%1").arg(i);
            r.copyPath = dir.filePath(r.guideId);
            QVERIFY(fetcher.fetch(r));
            QVERIFY(!fetcher.fetch(r)); // the same guide twice is one fetch
        }
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), GuideFetcher::MaxRunning + 2, 20000);
        QVERIFY(fetcher.isIdle());
        for (const QList<QVariant> &signal : done)
            QCOMPARE(signal.first().value<GuideFetchResult>().outcome, Outcome::Updated);
    }

    void cancelledWaitingFetchEndsAtOnce()
    {
        Response stalled = answer(200, NewGuide);
        stalled.stallAfterBytes = 0;
        m_server.setResponse(QStringLiteral("/stall.xml"), stalled);
        GuideFetcher fetcher;
        QSignalSpy done(&fetcher, &GuideFetcher::finished);
        QTemporaryDir dir;
        for (int i = 1; i <= GuideFetcher::MaxRunning + 1; ++i) {
            GuideFetchRequest r = request(QStringLiteral("/stall.xml"));
            r.guideId = QStringLiteral("guide%1").arg(i);
            r.copyPath = dir.filePath(r.guideId);
            fetcher.fetch(r);
        }
        const QString waiting = QStringLiteral("guide%1").arg(GuideFetcher::MaxRunning + 1);
        fetcher.cancel(waiting);
        QCOMPARE(done.size(), 1);
        QCOMPARE(done.first().first().value<GuideFetchResult>().guideId, waiting);
        QVERIFY(!fetcher.isBusy(waiting));
        fetcher.cancel(QStringLiteral("guide1"));
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 5000);
    }

    void remoteAddressesOnly()
    {
        GuideFetcher fetcher;
        GuideFetchRequest r = request(QStringLiteral("/x.xml"));
        r.address = copyPath();
        QVERIFY(!fetcher.fetch(r));
        r.address = QStringLiteral("file://") + copyPath();
        QVERIFY(!fetcher.fetch(r));
    }
};

QTEST_GUILESS_MAIN(GuideFetcherTest)
#include "guidefetcher_test.moc"
