// Channel logos from the loopback server: kept once fetched, a bad one never
// fetched again in the run, and the disk copy used without the network.
#include "lists/LogoCache.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QBuffer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Response = LoopbackHttpServer::Response;
Q_DECLARE_METATYPE(Response)

namespace
{

Response png(int width, int height, qsizetype padTo = 0)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    Response r;
    r.contentType = "image/png";
    r.body = buffer.data();
    if (padTo > r.body.size())
        r.body.append(padTo - r.body.size(), '\0');
    return r;
}

} // namespace

class LogoCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void arrivedLogoIsScaledAndKeptInMemoryAndOnDisk();
    void badLogoKeepsPlaceholderAndIsNotFetchedAgain_data();
    void badLogoKeepsPlaceholderAndIsNotFetchedAgain();
    void nextRunReadsTheDiskCopyWithoutTheNetwork();

private:
    LogoCacheSettings settings() const
    {
        LogoCacheSettings s;
        s.folder = m_dir->filePath(QStringLiteral("logos"));
        s.limits.maxBytes = 64 * 1024;
        return s;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<LoopbackHttpServer> m_server;
};

void LogoCacheTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_server = std::make_unique<LoopbackHttpServer>();
}

void LogoCacheTest::arrivedLogoIsScaledAndKeptInMemoryAndOnDisk()
{
    m_server->setResponse(QStringLiteral("/a.png"), png(200, 100));
    const QString address = m_server->url(QStringLiteral("/a.png"));
    LogoCache cache(settings());
    QSignalSpy arrived(&cache, &LogoCache::logoArrived);
    QVERIFY(cache.logo(address).isNull());
    QVERIFY(arrived.wait(5000));
    QCOMPARE(arrived.first().first().toString(), address);
    QCOMPARE(cache.logo(address).size(), QSize(32, 16));
    QVERIFY(QFile::exists(settings().folder + QLatin1Char('/') + LogoCache::fileNameOf(address)));
    QCOMPARE(m_server->requests().size(), 1);
}

void LogoCacheTest::badLogoKeepsPlaceholderAndIsNotFetchedAgain_data()
{
    QTest::addColumn<Response>("response");
    Response missing;
    missing.status = 404;
    missing.body = "<html>not found</html>";
    Response garbage;
    garbage.contentType = "image/png";
    garbage.body = QByteArray(3000, 'x');
    QTest::newRow("404") << missing;
    QTest::newRow("garbage") << garbage;
    QTest::newRow("over the size bound") << png(64, 64, 100 * 1024);
}

void LogoCacheTest::badLogoKeepsPlaceholderAndIsNotFetchedAgain()
{
    QFETCH(Response, response);
    m_server->setResponse(QStringLiteral("/bad.png"), response);
    const QString address = m_server->url(QStringLiteral("/bad.png"));
    LogoCache cache(settings());
    QSignalSpy failed(&cache, &LogoCache::logoFailed);
    QVERIFY(cache.logo(address).isNull());
    QVERIFY(failed.wait(5000));
    QVERIFY(cache.hasFailed(address));
    QVERIFY(cache.logo(address).isNull());
    QVERIFY(!failed.wait(200));
    QCOMPARE(m_server->requests().size(), 1);
    QVERIFY(!QFile::exists(settings().folder + QLatin1Char('/') + LogoCache::fileNameOf(address)));
}

void LogoCacheTest::nextRunReadsTheDiskCopyWithoutTheNetwork()
{
    m_server->setResponse(QStringLiteral("/a.png"), png(40, 30));
    const QString address = m_server->url(QStringLiteral("/a.png"));
    {
        LogoCache first(settings());
        QSignalSpy arrived(&first, &LogoCache::logoArrived);
        first.logo(address);
        QVERIFY(arrived.wait(5000));
    }
    Response gone;
    gone.status = 404;
    m_server->setResponse(QStringLiteral("/a.png"), gone);
    LogoCache second(settings());
    QSignalSpy arrived(&second, &LogoCache::logoArrived);
    QVERIFY(second.logo(address).isNull());
    QVERIFY(arrived.wait(5000));
    QCOMPARE(second.logo(address).size(), QSize(32, 24));
    QCOMPARE(m_server->requests().size(), 1);
}

QTEST_GUILESS_MAIN(LogoCacheTest)
#include "logocache_test.moc"
