#include "tests/support/LoopbackHttpServer.h"
#include "update/HttpDownload.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using Response = LoopbackHttpServer::Response;
using Length = LoopbackHttpServer::Response::Length;

namespace
{

// What the component reported, in order.
struct Events {
    QList<QPair<qint64, qint64>> progress; // (TotalSize, Readed)
    int done = 0;
    int errors = 0;
    QString doneFile;
    qint64 doneSize = -1;
    QObject *sender = nullptr;

    void attach(HttpDownload &get)
    {
        get.OnProgress = [this](QObject *s, qint64 total, qint64 readed) {
            sender = s;
            progress.append({ total, readed });
        };
        get.OnDoneFile = [this](QObject *s, const QString &file, qint64 size) {
            sender = s;
            ++done;
            doneFile = file;
            doneSize = size;
        };
        get.OnError = [this](QObject *s) {
            sender = s;
            ++errors;
        };
    }
    int outcomes() const { return done + errors; }
};

QByteArray pattern(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char('a' + (i * 7 + i / 251) % 26);
    return data;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A listening socket that accepts connections (the kernel does) but never answers.
struct SilentServer {
    QTcpServer server;
    SilentServer() { server.listen(QHostAddress::LocalHost); }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }
};

} // namespace

class HttpGetTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void urlIsSplitAtTheFirstSlash_data();
    void urlIsSplitAtTheFirstSlash();
    void urlSpellingsReachTheServer_data();
    void urlSpellingsReachTheServer();
    void requestCarriesTheComponentsHeaders_data();
    void requestCarriesTheComponentsHeaders();
    void bodyMustMatchItsContentLength_data();
    void bodyMustMatchItsContentLength();
    void errorStatusIsAFailure_data();
    void errorStatusIsAFailure();
    void redirectIsFollowed();
    void refusedConnectionIsAFailureNotAnEmptyFile();
    void binaryDataWithoutLengthCreatesNoFile();
    void unwritableFileIsAFailure();
    void dripArrivesWhole();
    void endlessBodyStopsAtTheByteLimit();
    void announcedLengthOverTheLimitFailsAtOnce();
    void silentServerEndsAsAFailure_data();
    void silentServerEndsAsAFailure();
    void cancelAtEachStageEndsInError_data();
    void cancelAtEachStageEndsInError();
    void cancelWhenIdleDoesNothing();
    void cancelAfterTheLastBlockStillFails();
    void progressIsCappedButReachesTheTotal();
    void progressComesInBlocksOf1025();
    void twoInstancesTransferAtOnce();
    void startDuringATransferIsDropped();
    void waitThreadReturnsAfterTheOutcome();
    void destroyedComponentIsNeverReached();
    void componentDeletedInItsOwnProgressHandler();
    void handlerMayStartTheNextTransfer();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void waitIdle(HttpDownload &get, int timeoutMs = 15000)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!get.isRunning(), timeoutMs);
    }

    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void HttpGetTest::init()
{
    m_server = std::make_unique<LoopbackHttpServer>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void HttpGetTest::cleanup()
{
    // No worker of a test may outlive it, or the next test's counts would lie.
    QTRY_COMPARE_WITH_TIMEOUT(HttpDownload::runningWorkers(), 0, 15000);
    m_server.reset();
    m_dir.reset();
}

void HttpGetTest::urlIsSplitAtTheFirstSlash_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("path");

    QTest::newRow("plain") << "http://lumivortex.example/a/check.ini" << true << "lumivortex.example" << 80
                           << "/a/check.ini";
    QTest::newRow("capital scheme") << "HTTP://Lumivortex.example/A/check.ini" << true << "Lumivortex.example"
                                    << 80 << "/A/check.ini";
    QTest::newRow("mixed scheme") << "HtTp://host/x?y=1" << true << "host" << 80 << "/x?y=1";
    QTest::newRow("no scheme") << "host.example/dir/file" << true << "host.example" << 80 << "/dir/file";
    QTest::newRow("explicit port") << "http://host:8080/f" << true << "host" << 8080 << "/f";
    QTest::newRow("no scheme, port") << "127.0.0.1:81/f" << true << "127.0.0.1" << 81 << "/f";
    QTest::newRow("ipv6 literal") << "http://[::1]:8081/f" << true << "[::1]" << 8081 << "/f";
    QTest::newRow("no path") << "http://host" << true << "host" << 80 << "/";
    QTest::newRow("bad port") << "http://host:80x/f" << false << "" << 80 << "/f";
    QTest::newRow("port too big") << "http://host:70000/f" << false << "" << 80 << "/f";
    QTest::newRow("other scheme") << "https://host/f" << false << "" << 80 << "//host/f";
    QTest::newRow("empty host") << "http:///f" << false << "" << 80 << "/f";
    QTest::newRow("empty") << "" << false << "" << 80 << "/";
}

void HttpGetTest::urlIsSplitAtTheFirstSlash()
{
    QFETCH(QString, url);
    QFETCH(bool, valid);
    const HttpUrlParts parts = HttpDownload::splitUrl(url);
    QCOMPARE(parts.valid, valid);
    QTEST(parts.path, "path");
    if (valid) {
        QTEST(parts.host, "host");
        QTEST(int(parts.port), "port");
    }
}

void HttpGetTest::urlSpellingsReachTheServer_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::newRow("lower") << "http://";
    QTest::newRow("capital") << "HTTP://";
    QTest::newRow("none") << "";
}

void HttpGetTest::urlSpellingsReachTheServer()
{
    QFETCH(QString, prefix);
    Response r;
    r.body = "served";
    m_server->setResponse(QStringLiteral("/file.bin"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setURL(prefix + QStringLiteral("127.0.0.1:%1/file.bin").arg(m_server->port()));
    get.setFileName(path(QStringLiteral("out")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.done, 1);
    QCOMPARE(readFile(path(QStringLiteral("out"))), QByteArray("served"));
}

void HttpGetTest::requestCarriesTheComponentsHeaders_data()
{
    QTest::addColumn<bool>("useCache");
    QTest::addColumn<QString>("referer");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("post");
    QTest::addColumn<QByteArrayList>("present");
    QTest::addColumn<QByteArrayList>("absent");

    QTest::newRow("plain get") << false << QString() << QString() << QString()
                               << QByteArrayList { "GET /r HTTP/1.0\r\n", "User-Agent: Selvaric HTTPGet\r\n",
                                      "Accept: */*\r\n", "Cache-Control: no-cache\r\n",
                                      "Pragma: no-cache\r\n" }
                               << QByteArrayList { "Referer:", "Authorization:", "Content-Type:" };
    QTest::newRow("cache allowed") << true << QString() << QString() << QString()
                                   << QByteArrayList { "GET /r HTTP/1.0\r\n" }
                                   << QByteArrayList { "Pragma:", "Cache-Control:" };
    QTest::newRow("referer") << false << QStringLiteral("http://lumivortex.example/") << QString()
                             << QString() << QByteArrayList { "Referer: http://lumivortex.example/\r\n" }
                             << QByteArrayList {};
    QTest::newRow("credentials") << false << QString() << QStringLiteral("ana") << QString()
                                 << QByteArrayList { "Authorization: Basic "
                                        + QByteArray("ana:segredo").toBase64() + "\r\n" }
                                 << QByteArrayList {};
    QTest::newRow("post") << false << QString() << QString() << QStringLiteral("a=1&b=2")
                          << QByteArrayList { "POST /r HTTP/1.0\r\n",
                                 "Content-Type: application/x-www-form-urlencoded\r\n",
                                 "Content-Length: 7\r\n" }
                          << QByteArrayList { "GET " };
}

void HttpGetTest::requestCarriesTheComponentsHeaders()
{
    QFETCH(bool, useCache);
    QFETCH(QString, referer);
    QFETCH(QString, user);
    QFETCH(QString, post);
    QFETCH(QByteArrayList, present);
    QFETCH(QByteArrayList, absent);
    Response r;
    r.body = "ok";
    m_server->setResponse(QStringLiteral("/r"), r);

    HttpDownload get;
    QCOMPARE(get.AcceptTypes(), QStringLiteral("*/*"));
    QCOMPARE(get.Agent(), QStringLiteral("Selvaric HTTPGet"));
    get.setUseCache(useCache);
    get.setReferer(referer);
    get.setUserName(user);
    if (!user.isEmpty())
        get.setPassword(QStringLiteral("segredo"));
    get.setPostQuery(post);
    get.setURL(m_server->url(QStringLiteral("/r")));
    get.setFileName(path(QStringLiteral("r")));
    get.StartDownload();
    waitIdle(get);

    QCOMPARE(m_server->requests().size(), 1);
    const QByteArray head = m_server->requests().constFirst();
    for (const QByteArray &text : present)
        QVERIFY2(head.contains(text), (text + " missing in\n" + head).constData());
    for (const QByteArray &text : absent)
        QVERIFY2(!head.contains(text), (text + " present in\n" + head).constData());
}

void HttpGetTest::bodyMustMatchItsContentLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("bodySize");
    QTest::addColumn<bool>("success");
    QTest::addColumn<int>("fileSize"); // -1: no file

    QTest::newRow("correct") << int(Length::Correct) << 50000 << true << 50000;
    QTest::newRow("correct, empty") << int(Length::Correct) << 0 << true << 0;
    // Without a length only an empty body can be whole; the body is kept.
    QTest::newRow("missing") << int(Length::Missing) << 50000 << false << 50000;
    QTest::newRow("missing, empty") << int(Length::Missing) << 0 << true << 0;
    // The server sends twice what it announced: never more than announced is kept.
    QTest::newRow("short") << int(Length::Short) << 50000 << false << 25000;
    QTest::newRow("long") << int(Length::Long) << 50000 << false << 50000;
    QTest::newRow("malformed") << int(Length::Malformed) << 50000 << false << -1;
}

void HttpGetTest::bodyMustMatchItsContentLength()
{
    QFETCH(int, length);
    QFETCH(int, bodySize);
    QFETCH(bool, success);
    QFETCH(int, fileSize);
    Response r;
    r.body = pattern(bodySize);
    r.length = Length(length);
    m_server->setResponse(QStringLiteral("/b"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    const QString file = path(QStringLiteral("b"));
    get.setURL(m_server->url(QStringLiteral("/b")));
    get.setFileName(file);
    get.StartDownload();
    QVERIFY(get.isRunning());
    waitIdle(get);

    QCOMPARE(events.outcomes(), 1);
    QCOMPARE(events.done == 1, success);
    QCOMPARE(events.sender, &get);
    QCOMPARE(get.lastError().isEmpty(), success);
    if (success) {
        QCOMPARE(events.doneFile, file);
        QCOMPARE(events.doneSize, qint64(length == int(Length::Missing) ? 0 : bodySize));
    }
    QCOMPARE(QFile::exists(file), fileSize >= 0);
    QCOMPARE(get.lastCreatedFile(), fileSize >= 0);
    if (fileSize >= 0)
        QCOMPARE(readFile(file), r.body.left(fileSize));
}

void HttpGetTest::errorStatusIsAFailure_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("404") << 404;
    QTest::newRow("500") << 500;
    QTest::newRow("redirect without location") << 302;
}

void HttpGetTest::errorStatusIsAFailure()
{
    QFETCH(int, status);
    Response r;
    r.status = status;
    r.body = "<html>error page</html>";
    m_server->setResponse(QStringLiteral("/e"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setURL(m_server->url(QStringLiteral("/e")));
    get.setFileName(path(QStringLiteral("e")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.done, 0);
    QCOMPARE(events.errors, 1);
    QVERIFY2(get.lastError().contains(QString::number(status)), qPrintable(get.lastError()));
}

void HttpGetTest::redirectIsFollowed()
{
    Response moved;
    moved.status = 302;
    moved.location = m_server->url(QStringLiteral("/new")).toLatin1();
    moved.body = "moved";
    m_server->setResponse(QStringLiteral("/old"), moved);
    Response target;
    target.body = pattern(3000);
    m_server->setResponse(QStringLiteral("/new"), target);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setURL(m_server->url(QStringLiteral("/old")));
    get.setFileName(path(QStringLiteral("n")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.done, 1);
    QCOMPARE(events.doneSize, qint64(3000));
    QCOMPARE(readFile(path(QStringLiteral("n"))), target.body);
    QCOMPARE(m_server->requests().size(), 2);
    QVERIFY(m_server->requests().at(1).startsWith("GET /new HTTP/1.0"));
}

void HttpGetTest::refusedConnectionIsAFailureNotAnEmptyFile()
{
    HttpDownload get;
    Events events;
    events.attach(get);
    const QString file = path(QStringLiteral("refused"));
    get.setURL(QStringLiteral("http://127.0.0.1:%1/check.ini").arg(LoopbackHttpServer::unusedPort()));
    get.setFileName(file);
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.done, 0);
    QCOMPARE(events.errors, 1);
    QVERIFY(!QFile::exists(file));
}

void HttpGetTest::binaryDataWithoutLengthCreatesNoFile()
{
    Response r;
    r.body = "no length";
    r.length = Length::Missing;
    m_server->setResponse(QStringLiteral("/m"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setBinaryData(true);
    get.setURL(m_server->url(QStringLiteral("/m")));
    get.setFileName(path(QStringLiteral("m")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.errors, 1);
    QVERIFY(!QFile::exists(path(QStringLiteral("m"))));
}

void HttpGetTest::unwritableFileIsAFailure()
{
    Response r;
    r.body = "data";
    m_server->setResponse(QStringLiteral("/w"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setURL(m_server->url(QStringLiteral("/w")));
    get.setFileName(path(QStringLiteral("no/such/dir/w")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.done, 0);
    QCOMPARE(events.errors, 1);
}

void HttpGetTest::dripArrivesWhole()
{
    Response r;
    r.body = "0123456789";
    r.chunkBytes = 1;
    r.chunkDelayMs = 100;
    m_server->setResponse(QStringLiteral("/drip"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setStallTimeoutMs(2000);
    get.setURL(m_server->url(QStringLiteral("/drip")));
    get.setFileName(path(QStringLiteral("drip")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.done, 1);
    QCOMPARE(readFile(path(QStringLiteral("drip"))), r.body);
    // One byte every 100 ms, progress at most every 50 ms: every byte is shown.
    QVERIFY2(events.progress.size() >= 5, QByteArray::number(events.progress.size()).constData());
    QCOMPARE(events.progress.constLast(), qMakePair(qint64(10), qint64(10)));
    for (int i = 1; i < events.progress.size(); ++i)
        QVERIFY(events.progress.at(i).second > events.progress.at(i - 1).second);
}

void HttpGetTest::endlessBodyStopsAtTheByteLimit()
{
    Response r;
    r.endless = true;
    r.body = pattern(4000);
    m_server->setResponse(QStringLiteral("/endless"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setMaxBytes(64 * 1024);
    get.setURL(m_server->url(QStringLiteral("/endless")));
    get.setFileName(path(QStringLiteral("endless")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.errors, 1);
    QCOMPARE(QFileInfo(path(QStringLiteral("endless"))).size(), qint64(64 * 1024));
}

void HttpGetTest::announcedLengthOverTheLimitFailsAtOnce()
{
    Response r;
    r.body = pattern(70 * 1024);
    m_server->setResponse(QStringLiteral("/big"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setMaxBytes(64 * 1024);
    get.setURL(m_server->url(QStringLiteral("/big")));
    get.setFileName(path(QStringLiteral("big")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.errors, 1);
    QVERIFY(events.progress.isEmpty());
    QVERIFY(!QFile::exists(path(QStringLiteral("big"))));
}

void HttpGetTest::silentServerEndsAsAFailure_data()
{
    QTest::addColumn<bool>("afterHeaders");
    QTest::newRow("no answer at all") << false;
    QTest::newRow("stops mid-body") << true;
}

void HttpGetTest::silentServerEndsAsAFailure()
{
    QFETCH(bool, afterHeaders);
    SilentServer silent;
    Response r;
    r.body = pattern(5000);
    r.stallAfterBytes = 100;
    m_server->setResponse(QStringLiteral("/stall"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setStallTimeoutMs(1000);
    get.setURL(afterHeaders ? m_server->url(QStringLiteral("/stall")) : silent.url(QStringLiteral("/x")));
    get.setFileName(path(QStringLiteral("stall")));
    QElapsedTimer clock;
    clock.start();
    get.StartDownload();
    waitIdle(get, 10000);
    QCOMPARE(events.errors, 1);
    QVERIFY2(clock.elapsed() >= 900, QByteArray::number(clock.elapsed()).constData());
    QVERIFY2(get.lastError().contains(QLatin1String("nothing")), qPrintable(get.lastError()));
    if (afterHeaders)
        QCOMPARE(readFile(path(QStringLiteral("stall"))), r.body.left(100));
}

void HttpGetTest::cancelAtEachStageEndsInError_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<bool>("fileExpected");
    QTest::newRow("right after start") << "start" << false;
    QTest::newRow("waiting for the answer") << "answer" << false;
    QTest::newRow("in the progress handler") << "progress" << true;
    QTest::newRow("while the server is silent") << "stalled" << true;
}

void HttpGetTest::cancelAtEachStageEndsInError()
{
    QFETCH(QString, stage);
    QFETCH(bool, fileExpected);
    SilentServer silent;
    Response drip;
    drip.body = pattern(200);
    drip.chunkBytes = 10;
    drip.chunkDelayMs = 20;
    m_server->setResponse(QStringLiteral("/drip"), drip);
    Response stalled;
    stalled.body = pattern(5000);
    stalled.stallAfterBytes = 100;
    m_server->setResponse(QStringLiteral("/stall"), stalled);

    HttpDownload get;
    Events events;
    events.attach(get);
    int progressAtCancel = -1;
    if (stage == QLatin1String("progress")) {
        get.OnProgress = [&](QObject *, qint64, qint64) {
            events.progress.append({ 0, 0 });
            if (progressAtCancel < 0) {
                progressAtCancel = events.progress.size();
                get.Cancel();
            }
        };
    }
    const QString file = path(QStringLiteral("c"));
    QString url = m_server->url(QStringLiteral("/drip"));
    if (stage == QLatin1String("answer"))
        url = silent.url(QStringLiteral("/x"));
    else if (stage == QLatin1String("stalled"))
        url = m_server->url(QStringLiteral("/stall"));
    get.setURL(url);
    get.setFileName(file);
    get.StartDownload();
    QElapsedTimer clock;
    clock.start();
    if (stage == QLatin1String("start")) {
        get.Cancel();
    } else if (stage == QLatin1String("answer")) {
        QTRY_VERIFY(silent.server.hasPendingConnections());
        get.Cancel();
    } else if (stage == QLatin1String("stalled")) {
        QTRY_VERIFY(QFileInfo(file).size() == 100);
        get.Cancel();
    }
    waitIdle(get);
    QCOMPARE(events.done, 0);
    QCOMPARE(events.errors, 1);
    QCOMPARE(get.lastError(), QStringLiteral("cancelled"));
    // The stall timeout is 30 s: only the cancel can have ended it this soon.
    QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()).constData());
    if (stage == QLatin1String("progress"))
        QCOMPARE(events.progress.size(), progressAtCancel);
    QCOMPARE(QFile::exists(file), fileExpected);
    QCOMPARE(get.lastCreatedFile(), fileExpected);
    if (stage == QLatin1String("progress"))
        QVERIFY(QFileInfo(file).size() < 200);
    if (stage == QLatin1String("stalled"))
        QCOMPARE(QFileInfo(file).size(), qint64(100));
}

void HttpGetTest::cancelWhenIdleDoesNothing()
{
    HttpDownload get;
    Events events;
    events.attach(get);
    get.Cancel();
    QCoreApplication::processEvents();
    QCOMPARE(events.outcomes(), 0);
    QVERIFY(!get.isRunning());
}

void HttpGetTest::cancelAfterTheLastBlockStillFails()
{
    Response r;
    r.body = pattern(3000);
    m_server->setResponse(QStringLiteral("/c"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    // The last progress call comes after the last block: a Cancel there still counts.
    get.OnProgress = [&](QObject *, qint64 total, qint64 readed) {
        if (readed == total)
            get.Cancel();
    };
    get.setURL(m_server->url(QStringLiteral("/c")));
    get.setFileName(path(QStringLiteral("c")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.done, 0);
    QCOMPARE(events.errors, 1);
}

void HttpGetTest::progressIsCappedButReachesTheTotal()
{
    const int size = 4 * 1024 * 1024;
    Response r;
    r.body = pattern(size);
    r.chunkBytes = 64 * 1024;
    r.chunkDelayMs = 5;
    m_server->setResponse(QStringLiteral("/p"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setProgressIntervalMs(50);
    get.setURL(m_server->url(QStringLiteral("/p")));
    get.setFileName(path(QStringLiteral("p")));
    QElapsedTimer clock;
    clock.start();
    get.StartDownload();
    waitIdle(get);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(events.done, 1);
    QVERIFY(!events.progress.isEmpty());
    QCOMPARE(events.progress.constLast(), qMakePair(qint64(size), qint64(size)));
    // At most one call per 50 ms, plus the first and the last.
    QVERIFY2(events.progress.size() <= elapsed / 50 + 2,
        qPrintable(QStringLiteral("%1 calls in %2 ms").arg(events.progress.size()).arg(elapsed)));
    QCOMPARE(readFile(path(QStringLiteral("p"))), r.body);
}

void HttpGetTest::progressComesInBlocksOf1025()
{
    Response r;
    r.body = pattern(5000);
    m_server->setResponse(QStringLiteral("/blocks"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setProgressIntervalMs(0);
    get.setURL(m_server->url(QStringLiteral("/blocks")));
    get.setFileName(path(QStringLiteral("blocks")));
    get.StartDownload();
    waitIdle(get);
    QCOMPARE(events.done, 1);
    QVERIFY(events.progress.size() >= 5);
    qint64 previous = 0;
    for (const auto &step : std::as_const(events.progress)) {
        QCOMPARE(step.first, qint64(5000));
        QVERIFY(step.second > previous && step.second - previous <= 1025);
        previous = step.second;
    }
    QCOMPARE(previous, qint64(5000));
}

void HttpGetTest::twoInstancesTransferAtOnce()
{
    Response a;
    a.body = pattern(3000);
    a.chunkBytes = 300;
    a.chunkDelayMs = 20;
    m_server->setResponse(QStringLiteral("/a"), a);
    Response b = a;
    b.body = pattern(2000).toUpper();
    m_server->setResponse(QStringLiteral("/b"), b);

    HttpDownload first;
    HttpDownload second;
    Events firstEvents;
    Events secondEvents;
    firstEvents.attach(first);
    secondEvents.attach(second);
    first.setURL(m_server->url(QStringLiteral("/a")));
    first.setFileName(path(QStringLiteral("a")));
    second.setURL(m_server->url(QStringLiteral("/b")));
    second.setFileName(path(QStringLiteral("b")));
    first.StartDownload();
    second.StartDownload();
    QVERIFY(first.isRunning() && second.isRunning());
    QTRY_COMPARE(HttpDownload::runningWorkers(), 2);
    waitIdle(first);
    waitIdle(second);
    QCOMPARE(firstEvents.done, 1);
    QCOMPARE(secondEvents.done, 1);
    QCOMPARE(firstEvents.sender, &first);
    QCOMPARE(secondEvents.sender, &second);
    QCOMPARE(readFile(path(QStringLiteral("a"))), a.body);
    QCOMPARE(readFile(path(QStringLiteral("b"))), b.body);
    QCOMPARE(m_server->connectionCount(), 2);
}

void HttpGetTest::startDuringATransferIsDropped()
{
    Response r;
    r.body = pattern(300);
    r.chunkBytes = 30;
    r.chunkDelayMs = 20;
    m_server->setResponse(QStringLiteral("/first"), r);
    Response other;
    other.body = "other";
    m_server->setResponse(QStringLiteral("/second"), other);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setURL(m_server->url(QStringLiteral("/first")));
    get.setFileName(path(QStringLiteral("first")));
    get.StartDownload();
    get.setURL(m_server->url(QStringLiteral("/second")));
    get.setFileName(path(QStringLiteral("second")));
    get.StartDownload();
    QCOMPARE(get.runningFileName(), path(QStringLiteral("first")));
    waitIdle(get);
    QCOMPARE(events.done, 1);
    QCOMPARE(events.doneFile, path(QStringLiteral("first")));
    QCOMPARE(readFile(path(QStringLiteral("first"))), r.body);
    QVERIFY(!QFile::exists(path(QStringLiteral("second"))));
    QCOMPARE(m_server->connectionCount(), 1);
}

void HttpGetTest::waitThreadReturnsAfterTheOutcome()
{
    Response r;
    r.body = pattern(2000);
    r.chunkBytes = 500;
    r.chunkDelayMs = 20;
    m_server->setResponse(QStringLiteral("/w"), r);

    HttpDownload get;
    Events events;
    events.attach(get);
    get.setWaitThread(true);
    get.setURL(m_server->url(QStringLiteral("/w")));
    get.setFileName(path(QStringLiteral("w")));
    get.StartDownload();
    QVERIFY(!get.isRunning());
    QCOMPARE(events.done, 1);
    QVERIFY(!events.progress.isEmpty());
}

void HttpGetTest::destroyedComponentIsNeverReached()
{
    Response r;
    r.endless = true;
    r.body = pattern(1000);
    r.chunkBytes = 1000;
    r.chunkDelayMs = 5;
    m_server->setResponse(QStringLiteral("/endless"), r);

    auto calls = std::make_shared<int>(0);
    auto *get = new HttpDownload;
    get->setProgressIntervalMs(0);
    get->OnProgress = [calls](QObject *, qint64, qint64) { ++*calls; };
    get->OnError = [calls](QObject *) { ++*calls; };
    get->OnDoneFile = [calls](QObject *, const QString &, qint64) { ++*calls; };
    get->setURL(m_server->url(QStringLiteral("/endless")));
    get->setFileName(path(QStringLiteral("gone")));
    get->StartDownload();
    QTRY_VERIFY(*calls >= 3);

    QElapsedTimer clock;
    clock.start();
    delete get;
    QVERIFY2(clock.elapsed() < 200, QByteArray::number(clock.elapsed()).constData());
    const int before = *calls;
    QTRY_COMPARE_WITH_TIMEOUT(HttpDownload::runningWorkers(), 0, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(*calls, before);
}

void HttpGetTest::componentDeletedInItsOwnProgressHandler()
{
    Response r;
    r.body = pattern(20000);
    r.chunkBytes = 2000;
    r.chunkDelayMs = 10;
    m_server->setResponse(QStringLiteral("/p"), r);

    auto calls = std::make_shared<int>(0);
    auto *get = new HttpDownload;
    QPointer<HttpDownload> guard(get);
    get->setProgressIntervalMs(0);
    get->OnProgress = [calls, get](QObject *, qint64, qint64) {
        if (++*calls == 2)
            delete get;
    };
    get->OnError = [calls](QObject *) { *calls += 100; };
    get->setURL(m_server->url(QStringLiteral("/p")));
    get->setFileName(path(QStringLiteral("p")));
    get->StartDownload();
    QTRY_VERIFY(guard.isNull());
    QTRY_COMPARE_WITH_TIMEOUT(HttpDownload::runningWorkers(), 0, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(*calls, 2);
}

void HttpGetTest::handlerMayStartTheNextTransfer()
{
    Response r;
    r.body = "one";
    m_server->setResponse(QStringLiteral("/one"), r);

    HttpDownload get;
    int done = 0;
    get.OnDoneFile = [&](QObject *, const QString &, qint64) {
        if (++done == 1) {
            get.setFileName(path(QStringLiteral("two")));
            get.StartDownload();
        }
    };
    get.setURL(m_server->url(QStringLiteral("/one")));
    get.setFileName(path(QStringLiteral("one")));
    get.StartDownload();
    QTRY_COMPARE(done, 2);
    QCOMPARE(readFile(path(QStringLiteral("two"))), QByteArray("one"));
}

QTEST_GUILESS_MAIN(HttpGetTest)
#include "httpget_test.moc"
