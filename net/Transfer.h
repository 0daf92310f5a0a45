#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QObject;

// Stops a running transfer from another thread: the flag is checked between
// polls and in every callback, and the wakeup ends the poll at once instead of
// at its timeout.
class TransferCancel
{
public:
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

private:
    friend class Transfer;
    void attach(void *multi);

    std::atomic<bool> m_cancelled { false };
    std::mutex m_mutex; // guards m_multi against the wakeup during cleanup
    void *m_multi = nullptr;
};

struct TransferLimits {
    qint64 maxBytes = 0; // body bytes after decoding, so a small gzip bomb is refused as well; 0: no bound
    int connectTimeoutMs = 15000;
    int stallTimeoutMs = 30000; // the server sent nothing for this long
    int totalTimeoutMs = 5 * 60 * 1000; // 0: no bound
};

// One GET (or POST) over http or https.
struct TransferRequest {
    QByteArray url; // encoded (encodedUrl()); any other scheme is refused
    bool http10 = false; // an HTTP/1.0 request line instead of 1.1
    QList<QByteArray> headers; // "Name: value"
    QByteArray userAgent = defaultUserAgent(); // empty: none sent
    QByteArray referrer;
    QByteArray userName; // with the password: basic authentication
    QByteArray password;
    QByteArray postBody; // not empty: a POST with this body
    bool decodeContent = true; // ask for and decode every encoding libcurl knows
    // Read to the end of the connection whatever the Content-Length says, so
    // that the receiver sees a body that runs past it.
    bool readToClose = false;
    // For a channel list whose provider's certificate is broken; never the default.
    bool acceptInvalidCertificates = false;
    bool allowHttpsToHttp = false; // a redirect from https to plain http
    int maxRedirects = 10;
    TransferLimits limits;

    static QByteArray defaultUserAgent();
    // The address as libcurl takes it (spaces and non-ASCII escaped).
    static QByteArray encodedUrl(const QString &address);
};

// The head of the answer whose body follows (redirects and interim answers
// are not shown).
struct TransferHead {
    int status = 0;
    QByteArray url; // the address that answered, after redirects
    QList<QPair<QByteArray, QByteArray>> fields; // names in lower case, values trimmed, in order

    // The first value of the field, empty when absent.
    QByteArray value(const QByteArray &lowerName) const;
    QList<QByteArray> values(const QByteArray &lowerName) const;
};

// The one libcurl loop of the program: runs one request on the calling thread
// (a worker) with the limits, timeouts, redirects and protocol rule above.
// HTTPS always verifies certificates (TlsTrust), unless the request says not
// to; redirects follow the same rule as the first address: http or https
// only, and from https to http only when allowed.
class Transfer
{
public:
    enum class End {
        Finished, // the answer has ended: see status()
        Stopped, // a handler returned false
        Cancelled,
        Stalled, // nothing arrived for limits.stallTimeoutMs
        TimedOut, // limits.totalTimeoutMs passed
        TooLarge, // announced or received more than limits.maxBytes
        NoAnswer, // no connection within limits.connectTimeoutMs
        HostNotFound,
        ConnectionRefused,
        CertificateRefused, // the server's certificate did not verify
        SecureConnectionFailed, // any other TLS failure
        ProtocolRefused, // a scheme other than http(s), or a redirect from https to http
        TooManyRedirects,
        BadEncoding,
        ConnectionLost, // the connection ended before the answer did
        Failed, // anything else: errorText()
    };

    Transfer(const TransferRequest &request, TransferCancel &cancel);
    ~Transfer();
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;

    // Both run on the transferring thread; returning false ends the transfer
    // as Stopped. Time spent in them does not count as the server's silence.
    std::function<bool(const TransferHead &head)> onHead; // before the body
    std::function<bool(const char *data, qint64 size)> onBody; // never more than limits.maxBytes in all

    // From a handler: end as Finished once nothing more arrives for ms (for a
    // server that keeps the connection open after the whole body).
    void finishWhenQuietFor(int ms);

    End run(); // once

    int status() const; // of the answer whose head was shown; 0 before
    qint64 bodyBytes() const; // handed to onBody
    // Why the transfer did not finish, in libcurl's words, for logs.
    QString errorText() const;

    static const char *nameOf(End end);
    // What the user is told of an end that has to do with the server and the
    // connection, whatever was fetched ("Servidor não encontrado: host.");
    // empty for the ends whose words depend on what was fetched.
    static QString connectionFailureText(End end, const QString &host);

    struct Private;

private:
    std::unique_ptr<Private> d;
};

// The threads of the network layer. Each runs one piece of work and ends;
// the program's exit waits a moment for those still running, so that none
// runs under static destructors.
namespace TransferWorkers
{
void start(std::function<void()> work);
// Runs work on a worker; the function it returns is then called on the
// thread of owner, unless owner has been destroyed by then.
void startFor(QObject *owner, std::function<std::function<void()>()> work);
// Workers alive in the process, including those whose owners have gone.
int running();
} // namespace TransferWorkers
