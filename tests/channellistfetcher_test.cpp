// Fetching lists from the loopback server: what each answer does to the
// cached copy, and the library's rule that a failed refresh never empties a
// list; reading local lists, and every kind of file that is no list.
#include "lists/ChannelListFetcher.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <utility>

using Response = LoopbackHttpServer::Response;
using Outcome = ChannelListResult::Outcome;
Q_DECLARE_METATYPE(Response)

namespace
{

const QByteArray OldList
    = "#EXTM3U\n#EXTINF:-1,Velho 1\nhttp://a.test/1\n#EXTINF:-1,Velho 2\nhttp://a.test/2\n";
const QByteArray NewList = "#EXTM3U\n#EXTINF:-1,Novo\nnovo.m3u8\n";

Response answer(int status, const QByteArray &body = {})
{
    Response r;
    r.status = status;
    r.contentType = "audio/x-mpegurl";
    r.body = body;
    return r;
}

// gzip with one stored deflate block: what a server's gzip looks like to libcurl.
QByteArray gzipped(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    const auto size = quint16(data.size());
    QByteArray out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff\x01", 11);
    for (const quint16 v : { size, quint16(~size) })
        out += char(v & 0xff), out += char(v >> 8);
    out += data;
    for (const quint32 v : { crc, quint32(data.size()) })
        for (int shift = 0; shift < 32; shift += 8)
            out += char((v >> shift) & 0xff);
    return out;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

ChannelListResult fetched(ChannelListFetcher &fetcher, const ChannelListRequest &request)
{
    QSignalSpy done(&fetcher, &ChannelListFetcher::finished);
    if (!fetcher.fetch(request) || !done.wait(10000))
        return {};
    return done.first().first().value<ChannelListResult>();
}

} // namespace

class ChannelListFetcherTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", m_home.filePath(QStringLiteral("cache")).toUtf8());

        QVERIFY(QDir(m_files.path()).mkdir(QStringLiteral("folder.m3u")));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(m_files.filePath(QStringLiteral("pipe.m3u"))).constData(), 0600), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_files.filePath(QStringLiteral("device.m3u"))));
        // Sparse: big on paper, nothing on disk, and never read.
        const auto sparse = [this](const char *name, const QByteArray &head, qint64 size) {
            QFile file(m_files.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(head) == head.size() && file.resize(size));
        };
        sparse("huge.m3u", OldList, 50 * 1000 * 1000);
        sparse("over.m3u", OldList, M3uListReader::MaxBytes + 1);
        sparse("bound.m3u", "#EXTM3U\n#EXTINF:-1,ESPN\nhttp://a.test/1\n", M3uListReader::MaxBytes);
        writeFile(m_files.filePath(QStringLiteral("empty.m3u")), "#EXTM3U\n");
    }
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_cache = m_dir->filePath(QStringLiteral("cache.m3u"));
        writeFile(m_cache, OldList);
    }

    void newCopyIsParsedAndCachedAfterARedirect()
    {
        LoopbackHttpServer server;
        Response r = answer(200, gzipped(NewList));
        r.headers = { { "Content-Encoding", "gzip" }, { "ETag", "\"v2\"" },
            { "Last-Modified", "Tue, 02 Jan 2024 10:00:00 GMT" } };
        server.setResponse(QStringLiteral("/br/atual.m3u"), r);
        Response moved = answer(302);
        moved.location = "/br/atual.m3u";
        moved.headers = { { "ETag", "\"of-the-redirect\"" } };
        server.setResponse(QStringLiteral("/br/lista.m3u"), moved);
        ChannelListFetcher fetcher;
        const ChannelListResult result
            = fetched(fetcher, { server.url(QStringLiteral("/br/lista.m3u")), {}, {}, m_cache });
        QCOMPARE(result.outcome, Outcome::Updated);
        QCOMPARE(result.list.channels.size(), 1);
        QCOMPARE(result.list.channels.first().address, server.url(QStringLiteral("/br/novo.m3u8")));
        QCOMPARE(result.etag, QByteArray("\"v2\""));
        QCOMPARE(result.lastModified, QStringLiteral("Tue, 02 Jan 2024 10:00:00 GMT"));
        QCOMPARE(fileBytes(m_cache), NewList);
    }

    void unchangedCopyIsAskedForConditionally()
    {
        LoopbackHttpServer server;
        server.setResponse(QStringLiteral("/l.m3u"), answer(304));
        ChannelListFetcher fetcher;
        const ChannelListResult result = fetched(fetcher,
            { server.url(QStringLiteral("/l.m3u")), "\"v1\"", QStringLiteral("Mon, 01 Jan 2024 10:00:00 GMT"),
                m_cache });
        QCOMPARE(result.outcome, Outcome::NotModified);
        const QByteArray request = server.requests().value(0);
        QVERIFY2(request.contains("If-None-Match: \"v1\"\r\n"), request.constData());
        QVERIFY(request.contains("If-Modified-Since: Mon, 01 Jan 2024 10:00:00 GMT\r\n"));
        QCOMPARE(fileBytes(m_cache), OldList);
    }

    void failedFetchKeepsTheCache_data()
    {
        QTest::addColumn<Response>("response");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<QString>("error");
        Response stalled = answer(200, NewList);
        stalled.stallAfterBytes = 10;
        Response streamedTooLong = answer(200, NewList.repeated(100));
        streamedTooLong.length = Response::Length::Missing;
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += char((i * 7919) % 251);
        QTest::newRow("404") << answer(404, "Not Found") << qint64(1 << 20) << QStringLiteral("código 404");
        QTest::newRow("stalled") << stalled << qint64(1 << 20) << QStringLiteral("parou de responder");
        QTest::newRow("announced too long")
            << answer(200, NewList.repeated(100)) << qint64(1000) << QStringLiteral("passa de");
        QTest::newRow("streamed too long") << streamedTooLong << qint64(1000) << QStringLiteral("passa de");
        QTest::newRow("garbage") << answer(200, garbage) << qint64(1 << 20)
                                 << QStringLiteral("não é uma lista");
        QTest::newRow("empty") << answer(200) << qint64(1 << 20) << QStringLiteral("não é uma lista");
    }
    void failedFetchKeepsTheCache()
    {
        QFETCH(Response, response);
        QFETCH(qint64, maxBytes);
        QFETCH(QString, error);
        LoopbackHttpServer server;
        server.setResponse(QStringLiteral("/l.m3u"), response);
        ChannelListRequest request { server.url(QStringLiteral("/l.m3u")), {}, {}, m_cache };
        request.maxBytes = maxBytes;
        request.stallTimeoutMs = 300;
        ChannelListFetcher fetcher;
        const ChannelListResult result = fetched(fetcher, request);
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.error.contains(error), qPrintable(result.error));
        QCOMPARE(fileBytes(m_cache), OldList);
    }

    void refusedConnectionIsReported()
    {
        ChannelListFetcher fetcher;
        const QString address
            = QStringLiteral("http://127.0.0.1:%1/l.m3u").arg(LoopbackHttpServer::unusedPort());
        const ChannelListResult result = fetched(fetcher, { address, {}, {}, m_cache });
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.error.startsWith(QString::fromUtf8("Não foi possível conectar")),
            qPrintable(result.error));
    }

    void destroyedFetcherIsNeverReached()
    {
        LoopbackHttpServer server;
        Response stalled = answer(200, NewList);
        stalled.stallAfterBytes = 0;
        server.setResponse(QStringLiteral("/l.m3u"), stalled);
        const int before = ChannelListFetcher::runningWorkers();
        auto *fetcher = new ChannelListFetcher;
        QVERIFY(fetcher->fetch({ server.url(QStringLiteral("/l.m3u")), {}, {}, m_cache }));
        QTRY_COMPARE(server.connectionCount(), 1);
        delete fetcher;
        QTRY_COMPARE_WITH_TIMEOUT(ChannelListFetcher::runningWorkers(), before, 5000);
        QCoreApplication::processEvents(); // the worker's hand-over finds no fetcher
        QCOMPARE(fileBytes(m_cache), OldList);
    }

    void failedRefreshNeverEmptiesAList()
    {
        LoopbackHttpServer server;
        server.setResponse(QStringLiteral("/l.m3u"), answer(500, "oops"));
        ChannelListRegistry registry(m_dir->filePath(QStringLiteral("lists.ini")));
        const QString id = registry.add(QStringLiteral("Pública"), server.url(QStringLiteral("/l.m3u")));
        QVERIFY(!id.isEmpty());
        registry.recordRefresh(id, QDateTime::currentDateTimeUtc().addSecs(-13 * 3600), "\"v1\"", {}, 2);
        QDir().mkpath(ChannelListRegistry::cacheFolder());
        writeFile(registry.cachePath(id), OldList);

        ChannelListLibrary library(&registry);
        QSignalSpy failed(&library, &ChannelListLibrary::refreshFailed);
        library.start();
        QVERIFY(failed.wait(10000));
        QCOMPARE(library.channels(id).size(), 2); // shown from the cache, kept after the failure
        QCOMPARE(registry.list(id).lastError, QStringLiteral("O servidor respondeu com o código 500."));
        QCOMPARE(registry.list(id).channelCount, 2);
        QVERIFY(server.requests().value(0).contains("If-None-Match: \"v1\""));
        QCOMPARE(fileBytes(registry.cachePath(id)), OldList);
    }

    void staleListIsReplacedAndFreshOneLeftAlone()
    {
        LoopbackHttpServer server;
        Response r = answer(200, NewList);
        r.headers = { { "ETag", "\"v2\"" } };
        server.setResponse(QStringLiteral("/stale.m3u"), r);
        server.setResponse(QStringLiteral("/fresh.m3u"), r);
        ChannelListRegistry registry(m_dir->filePath(QStringLiteral("lists.ini")));
        const QString stale = registry.add({}, server.url(QStringLiteral("/stale.m3u")));
        const QString fresh = registry.add({}, server.url(QStringLiteral("/fresh.m3u")));
        const QDateTime now = QDateTime::currentDateTimeUtc();
        registry.recordRefresh(stale, now.addSecs(-ChannelListRegistry::RefreshAfterSecs - 1), {}, {}, 2);
        registry.recordRefresh(fresh, now.addSecs(-3600), {}, {}, 2);
        QDir().mkpath(ChannelListRegistry::cacheFolder());
        writeFile(registry.cachePath(stale), OldList);
        writeFile(registry.cachePath(fresh), OldList);

        ChannelListLibrary library(&registry);
        library.start(now);
        QTRY_VERIFY(!library.isBusy(stale) && !library.isBusy(fresh) && library.channels(stale).size() == 1);
        QCOMPARE(library.channels(fresh).size(), 2);
        QCOMPARE(server.connectionCount(), 1);
        QCOMPARE(registry.list(stale).etag, QByteArray("\"v2\""));
        QVERIFY(registry.list(stale).lastRefresh >= now.addSecs(-1));
        QCOMPARE(fileBytes(registry.cachePath(stale)), NewList);
        QCOMPARE(library.allChannels().size(), 3);
    }

    void listThatWouldPassTheBoundIsRefusedAndTheOthersKept()
    {
        ChannelListRegistry registry(m_dir->filePath(QStringLiteral("lists.ini")));
        const QString first = m_dir->filePath(QStringLiteral("first.m3u"));
        const QString second = m_dir->filePath(QStringLiteral("second.m3u"));
        writeFile(first, OldList);
        writeFile(second, OldList);
        QString kept = registry.add({}, first);
        QString refused = registry.add({}, second);
        ChannelListLibrary library(&registry, nullptr, 3);
        QSignalSpy failed(&library, &ChannelListLibrary::refreshFailed);
        library.start();
        QTRY_VERIFY(!library.isBusy(kept) && !library.isBusy(refused));
        // Both are read at once: the one read last is the one refused.
        if (library.channels(kept).isEmpty())
            std::swap(kept, refused);
        QCOMPARE(library.channels(kept).size(), 2);
        QVERIFY(library.channels(refused).isEmpty());
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().first().toString(), refused);
        QVERIFY2(registry.list(refused).lastError.contains(QString::fromUtf8("passariam de 3 canais")),
            qPrintable(registry.list(refused).lastError));
        QVERIFY(registry.list(kept).lastError.isEmpty());

        // With room made, the list opens.
        QVERIFY(registry.remove(kept));
        QVERIFY(library.refresh(refused));
        QTRY_COMPARE(library.channels(refused).size(), 2);
        QVERIFY(registry.list(refused).lastError.isEmpty());
    }

    // --- local lists

    void localFileThatIsNoPlainListIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("none.m3u");
        QTest::newRow("folder") << QStringLiteral("folder.m3u");
        QTest::newRow("pipe") << QStringLiteral("pipe.m3u");
        QTest::newRow("device") << QStringLiteral("device.m3u");
        QTest::newRow("50 MB") << QStringLiteral("huge.m3u");
        QTest::newRow("one byte past the bound") << QStringLiteral("over.m3u");
        QTest::newRow("no channels") << QStringLiteral("empty.m3u");
    }
    void localFileThatIsNoPlainListIsRefused()
    {
        QFETCH(QString, name);
        const QString path = m_files.filePath(name);
        const ChannelListResult result = ChannelListFetcher::readFile(path, path);
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.error.contains(path), qPrintable(result.error));
        QVERIFY(result.list.channels.isEmpty());
    }

    void localFileAtTheBoundIsRead()
    {
        const QString path = m_files.filePath(QStringLiteral("bound.m3u"));
        const ChannelListResult result = ChannelListFetcher::readFile(path, path);
        QCOMPARE(result.outcome, Outcome::Updated);
        QCOMPARE(result.bytes, qint64(M3uListReader::MaxBytes));
        QCOMPARE(result.list.channels.size(), 1);
    }

    void unreadableLocalFileIsRefused()
    {
        const QString path = m_files.filePath(QStringLiteral("locked.m3u"));
        writeFile(path, OldList);
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission (root)");
        const ChannelListResult result = ChannelListFetcher::readFile(path, path);
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY(result.error.contains(path));
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_files; // the local lists of every kind, made once
    QScopedPointer<QTemporaryDir> m_dir;
    QString m_cache;
};

QTEST_GUILESS_MAIN(ChannelListFetcherTest)
#include "channellistfetcher_test.moc"
